// The real tool under Wine, driven from outside: a copy named chat.exe in a
// fresh folder, the stand-in game client beside it.

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/ansi_text.h"
#include "platform/utf8.h"
#include "support/temp_dir.h"
#include "tool_process.h"
#include "version.h"

namespace kiv {
namespace {

using e2e::ToolProcess;
using standin::Hex;
using standin::StandinClient;
using test::ReadBytes;
using test::WriteBytes;

// Aware of every monitor's DPI, as the tool is, so that the tool's windows
// are measured in real pixels.
const bool kDpiAware =
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) != FALSE;

// A picture of the window for people to look at, as a BMP.
void SaveScreenshot(HWND window, const std::filesystem::path& file) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    BITMAPINFOHEADER info{sizeof info, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const int stride = (width * 3 + 3) & ~3;
    std::string pixels(static_cast<std::size_t>(stride) * height, '\0');
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
              DIB_RGB_COLORS);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER header{0x4D42, 0, 0, 0, sizeof(BITMAPFILEHEADER) + sizeof info};
    header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
}

RECT ClientRectOf(HWND control, HWND parent) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A message box exists a moment before its text does.
bool WaitForBoxText(HWND box, const wchar_t* part) {
    return e2e::WaitFor([&] {
        wchar_t text[1024] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 1024);
        return std::wstring(text).find(part) != std::wstring::npos;
    });
}

std::u16string Digits(int value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

class MainWindowE2eTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 932u) << "run under a Japanese locale";
        std::filesystem::copy_file(standin::ProgramDirectory() / L"kivmacro.exe", Exe());
    }
    std::filesystem::path Exe() const { return dir_.Path("chat.exe"); }
    std::string WindowsPath(const std::string& name) const { return ToAnsi(dir_.File(name)); }
    void WriteMacros(const std::u16string& text, const std::string& name = "chat.txt") {
        WriteBytes(dir_.Path(name), ToAnsi(text));
    }

    test::TempDir dir_;
};

// With the stand-in game client up.
class WithGameClient : public MainWindowE2eTest {
  protected:
    void SetUp() override {
        MainWindowE2eTest::SetUp();
        ASSERT_TRUE(client_.Started());
    }
    StandinClient client_{dir_.Path("record.txt")};
};

TEST_F(MainWindowE2eTest, FirstRunWritesTheDefaultMacrosAndAtCloseTheSettings) {
    ToolProcess tool(Exe());
    ASSERT_TRUE(tool.Ready());
    EXPECT_EQ(e2e::TextOf(tool.Main()), L"KIV 会話マクロ");
    EXPECT_EQ(tool.Count(), 88);
    EXPECT_EQ(tool.Selected(), -1);
    EXPECT_EQ(std::filesystem::file_size(dir_.Path("chat.txt")), 2184u);
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("chat.ini"))) << "start-up never writes it";
    if (const char* shots = std::getenv("KIVMACRO_SCREENSHOT")) {
        SaveScreenshot(tool.Main(), shots);
    }
    ASSERT_TRUE(tool.Close());
    // Exactly "Position" with its four keys, then "Setting": nothing of the options.
    const std::string ini = ReadBytes(dir_.Path("chat.ini"));
    const std::string ending = "[Setting]\r\nFileName=" + WindowsPath("chat.txt") + "\r\n";
    EXPECT_EQ(ini.rfind("[Position]\r\nLeft=", 0), 0u) << ini;
    EXPECT_NE(ini.find("\r\nTop="), std::string::npos);
    EXPECT_NE(ini.find("\r\nWidth="), std::string::npos);
    EXPECT_NE(ini.find("\r\nHeight="), std::string::npos);
    EXPECT_EQ(std::count(ini.begin(), ini.end(), '\n'), 7) << ini;
    EXPECT_TRUE(ini.ends_with(ending)) << ini;
}

TEST(ToolProgram, CarriesItsVersionAndJapaneseNameForExplorer) {
    const std::wstring exe = (standin::ProgramDirectory() / L"kivmacro.exe").wstring();
    DWORD ignored = 0;
    std::string block(GetFileVersionInfoSizeW(exe.c_str(), &ignored), '\0');
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(
        GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    const auto value = [&](const wchar_t* name) {
        wchar_t* text = nullptr;
        UINT length = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
        if (!VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&text), &length)) {
            return std::wstring();
        }
        return std::wstring(text);
    };
    const std::string expected = KIVMACRO_VERSION_TEXT;
    EXPECT_EQ(value(L"FileVersion"), std::wstring(expected.begin(), expected.end()));
    EXPECT_EQ(value(L"FileDescription"), L"KIV 会話マクロ");
}

TEST(ToolProgram, DeclaresWhatTodaysWindowsAsksOfIt) {
    const std::wstring exe = (standin::ProgramDirectory() / L"kivmacro.exe").wstring();
    HMODULE image = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr);
    HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(image, found))),
                               SizeofResource(image, found));
    FreeLibrary(image);
    for (const char* wanted : {R"(<requestedExecutionLevel level="asInvoker" uiAccess="false"/>)",
                               R"(>PerMonitorV2</dpiAwareness>)",
                               R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")",
                               R"(<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>)"}) {
        EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
    }
#ifdef KIVMACRO_PROCESS_CODE_PAGE
    // The CI build for a Windows that is not Japanese asks for the code page
    // of the locale it was given (cmake/ProcessCodePage.cmake); the name comes
    // as a bare token, so that the resource compiler needs no quotes.
#define KIVMACRO_TEXT_OF(name) #name
#define KIVMACRO_TEXT(name) KIVMACRO_TEXT_OF(name)
    const std::string code_page = KIVMACRO_TEXT(KIVMACRO_PROCESS_CODE_PAGE);
    const std::string element =
        R"(<activeCodePage xmlns="http://schemas.microsoft.com/SMI/2019/WindowsSettings">)" +
        code_page + "</activeCodePage>";
    EXPECT_NE(manifest.find(element), std::string::npos) << manifest;
#else
    EXPECT_EQ(manifest.find("<activeCodePage"), std::string::npos)
        << "the ANSI code page stays CP932";
#endif
}

TEST_F(WithGameClient, SayAdvanceAndDoubleClickDeliverTheSelectedMacro) {
    WriteMacros(u"一つ目\tone\r\n二つ目\ttwo\r\n三つ目\tthree\r\n");
    ToolProcess tool(Exe());
    ASSERT_TRUE(tool.Ready());
    ASSERT_EQ(tool.Count(), 3);

    tool.Click(tool.SayButton());  // nothing selected: nothing said
    tool.Select(2);
    tool.Click(tool.SayNextButton());
    EXPECT_EQ(tool.Selected(), 0) << "wraps from the last to the first";
    tool.DoubleClick(1);
    tool.Click(tool.SayButton());
    tool.Select(0);
    // Enter in the list presses the default button, "発言".
    PostMessageW(tool.List(), WM_KEYDOWN, VK_RETURN, 0);
    const auto events = client_.WaitForEvents(12);
    ASSERT_EQ(events.size(), 12u);
    EXPECT_EQ(events[0].detail, Hex(ToAnsi(u"三つ目")));
    EXPECT_EQ(events[3].detail, Hex(ToAnsi(u"二つ目")));
    EXPECT_EQ(events[6].detail, Hex(ToAnsi(u"二つ目")));
    EXPECT_EQ(events[9].detail, Hex(ToAnsi(u"一つ目")));
}

TEST_F(WithGameClient, AHundredThousandMacrosLoadAndEachPositionSaysItsOwn) {
    std::u16string text;
    for (int i = 0; i < 100000; ++i) text += u"発言" + Digits(i) + u"\t" + Digits(i) + u"\r\n";
    WriteMacros(text);
    ToolProcess tool(Exe());
    ASSERT_TRUE(tool.Ready());
    ASSERT_EQ(tool.Count(), 100000);
    // Past 32,767 a 16-bit position would wrap to another macro or go negative.
    const int positions[] = {0, 32767, 32768, 99999};
    for (const int position : positions) {
        tool.Select(position);
        tool.Click(tool.SayButton());
    }
    const auto events = client_.WaitForEvents(12);
    ASSERT_EQ(events.size(), 12u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(events[3 * i].detail, Hex(ToAnsi(u"発言" + Digits(positions[i]))));
    }
}

TEST_F(MainWindowE2eTest, TheDialogOpensAtTheMacroFileAndOkLoadsTheChoice) {
    WriteMacros(u"a\r\nb\r\nc\r\n");
    WriteMacros(u"x\r\ny\r\n", "other.txt");
    {
        ToolProcess tool(Exe());
        ASSERT_TRUE(tool.Ready());
        tool.Select(1);
        HWND dialog = tool.OpenFileDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(e2e::WaitFor([&] { return e2e::TextOf(dialog) == L"ﾌｧｲﾙを開く"; }));
        EXPECT_TRUE(e2e::WaitFor([&] { return e2e::DialogName(dialog) == L"chat.txt"; }));
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        // The window answers while the dialog is up (the dialog's loop serves it).
        ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(dialog); }));
        EXPECT_EQ(tool.Count(), 3) << "cancel keeps everything";
        EXPECT_EQ(tool.Selected(), 1);

        dialog = tool.OpenFileDialog();
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(e2e::WaitFor([&] { return e2e::DialogName(dialog) == L"chat.txt"; }));
        // A bare name: found only if the dialog opened in the macro file's folder.
        e2e::ChooseInDialog(dialog, L"other.txt");
        ASSERT_TRUE(e2e::WaitFor([&] { return tool.Count() == 2; }));
        EXPECT_EQ(tool.Selected(), -1);
    }
    ToolProcess again(Exe());
    ASSERT_TRUE(again.Ready());
    EXPECT_EQ(again.Count(), 2) << "the next start loads the chosen file";
}

// A name typed for a file that does not exist is made only after the
// dialog's own question; a name the settings file cannot hold exactly (〜,
// which Windows would store as ～) is never made or loaded.
TEST_F(MainWindowE2eTest, TheDialogAsksBeforeANewFileIsMadeAndRefusesNamesCp932Lacks) {
    WriteMacros(u"a\r\nb\r\n");
    ToolProcess tool(Exe());
    ASSERT_TRUE(tool.Ready());
    const auto choose = [&](const std::wstring& name, const std::wstring& preset = L"chat.txt") {
        HWND dialog = tool.OpenFileDialog();
        EXPECT_TRUE(e2e::WaitFor([&] { return e2e::DialogName(dialog) == preset; }));
        e2e::ChooseInDialog(dialog, name);
        return dialog;
    };
    // The question is a message box of the dialog's own.
    const auto answer = [&](HWND dialog, int button) {
        HWND box = nullptr;
        EXPECT_TRUE(e2e::WaitFor([&] {
            return (box = e2e::FindProcessWindow(tool.Pid(), L"#32770", dialog)) != nullptr;
        }));
        PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
    };

    HWND dialog = choose(L"new.txt");
    answer(dialog, IDNO);
    ASSERT_TRUE(e2e::WaitFor(
        [&] { return e2e::FindProcessWindow(tool.Pid(), L"#32770", dialog) == nullptr; }));
    EXPECT_TRUE(IsWindow(dialog)) << "いいえ: the dialog stays for another name";
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(dialog); }));
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("new.txt")));

    dialog = choose(L"new.txt");
    answer(dialog, IDYES);
    EXPECT_TRUE(e2e::WaitFor([&] { return tool.Count() == 88; })) << "made with the default macros";

    const std::filesystem::path wave = dir_.Root() / L"挨拶〜定型.txt";
    WriteMacros(u"x\r\n", "placeholder.txt");
    std::filesystem::rename(dir_.Path("placeholder.txt"), wave);
    choose(wave.filename().wstring(), L"new.txt");
    HWND box = nullptr;
    ASSERT_TRUE(e2e::WaitFor([&] {
        box = e2e::FindProcessWindow(tool.Pid(), L"#32770", tool.Main());
        return box != nullptr && e2e::TextOf(box) == L"KIV 会話マクロ";
    }));
    EXPECT_TRUE(WaitForBoxText(box, L"〜 (U+301C)"));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(tool.Ready());
    EXPECT_EQ(tool.Count(), 88) << "the list stays";
    EXPECT_FALSE(std::filesystem::exists(dir_.Root() / L"挨拶～定型.txt")) << "no look-alike made";
}

TEST_F(MainWindowE2eTest, AMaximisedOrMinimisedWindowStoresItsRestoredPlaceAndLostPlacesComeBack) {
    for (const int state : {SW_MAXIMIZE, SW_MINIMIZE}) {
        {
            ToolProcess tool(Exe());
            ASSERT_TRUE(tool.Ready());
            SetWindowPos(tool.Main(), nullptr, 40, 30, 300, 250, SWP_NOZORDER);
            ShowWindow(tool.Main(), state);
            ASSERT_TRUE(e2e::WaitFor([&] {
                return state == SW_MAXIMIZE ? IsZoomed(tool.Main()) : IsIconic(tool.Main());
            }));
        }
        const std::string ini = ReadBytes(dir_.Path("chat.ini"));
        EXPECT_NE(ini.find("Left=600\r\nTop=450\r\nWidth=4500\r\nHeight=3750\r\n"),
                  std::string::npos)
            << state << ini;
    }

    // Far beyond the 1280 x 800 screen: brought back onto it, size kept.
    WriteBytes(dir_.Path("chat.ini"),
               "[Position]\r\nLeft=30000\r\nTop=30000\r\nWidth=4500\r\nHeight=3750\r\n");
    ToolProcess tool(Exe());
    ASSERT_TRUE(tool.Ready());
    RECT rect{};
    GetWindowRect(tool.Main(), &rect);
    EXPECT_LE(rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_LE(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(rect.right - rect.left, 300);
}

TEST_F(MainWindowE2eTest, ResizingMovesTheControlsByTheRule) {
    ToolProcess tool(Exe());
    ASSERT_TRUE(tool.Ready());
    RECT frame{0, 0, 400, 300};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_CONTROLPARENT);
    SetWindowPos(tool.Main(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(tool.Ready());
    RECT client{};
    GetClientRect(tool.Main(), &client);
    const LONG width = client.right;
    const LONG top = client.bottom - 25;  // 375 twips at 96 DPI
    const RECT list = ClientRectOf(tool.List(), tool.Main());
    EXPECT_EQ(list.left, 0);
    EXPECT_EQ(list.right, width);
    EXPECT_EQ(list.bottom, top);
    const RECT say = ClientRectOf(tool.SayButton(), tool.Main());
    const RECT next = ClientRectOf(tool.SayNextButton(), tool.Main());
    const RECT reload = ClientRectOf(tool.ReloadButton(), tool.Main());
    EXPECT_EQ(say.top, top);
    EXPECT_EQ(say.right - say.left, width - 162);  // 2430 twips
    EXPECT_EQ(next.left, say.right);
    EXPECT_EQ(next.right - next.left, 89);
    EXPECT_EQ(reload.left, next.right);
    EXPECT_EQ(reload.right, width);
}

TEST_F(MainWindowE2eTest, SettingsThatCannotBeSavedAreReportedAtClose) {
    WriteMacros(u"a\r\n");
    std::filesystem::create_directory(dir_.Path("chat.ini"));  // no file can be written there
    ToolProcess tool(Exe());
    ASSERT_TRUE(tool.Ready());
    PostMessageW(tool.Main(), WM_CLOSE, 0, 0);
    HWND box = tool.WaitForModal();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(WaitForBoxText(box, L"に保存できませんでした"));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(tool.Close());
}

TEST_F(MainWindowE2eTest, AMacroFileThatCannotBeLoadedIsReportedAndChangesNothing) {
    // The stored file lies in a folder that does not exist: it can be neither read nor created.
    WriteBytes(dir_.Path("chat.ini"),
               "[Setting]\r\nFileName=" + WindowsPath("missing") + "\\x.txt\r\n");
    {
        ToolProcess tool(Exe());
        SetForegroundWindow(tool.Main());  // told when the user looks at it
        HWND box = tool.WaitForModal();
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(WaitForBoxText(box, L"マクロファイルを読み込めませんでした"));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(tool.Ready());
        EXPECT_EQ(tool.Count(), 0);
    }
    EXPECT_NE(ReadBytes(dir_.Path("chat.ini")).find("missing\\x.txt"), std::string::npos)
        << "the stored path is kept, not replaced by one that never loaded";

    // A stored path that is a folder: reported the same way.
    std::filesystem::create_directory(dir_.Path("folder.txt"));
    WriteBytes(dir_.Path("chat.ini"),
               "[Setting]\r\nFileName=" + WindowsPath("folder.txt") + "\r\n");
    {
        ToolProcess tool(Exe());
        SetForegroundWindow(tool.Main());
        HWND box = tool.WaitForModal();
        ASSERT_NE(box, nullptr);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(tool.Ready());
        EXPECT_EQ(tool.Count(), 0);
    }

    // A good list, then a choice that fails: the good list stays and works.
    WriteBytes(dir_.Path("chat.ini"), "");
    WriteMacros(u"a\r\nb\r\n");
    ToolProcess tool(Exe());
    ASSERT_TRUE(tool.Ready());
    tool.Select(1);
    HWND dialog = tool.OpenFileDialog();
    ASSERT_NE(dialog, nullptr);
    // A hidden file is no macro file, and one cannot be written over it.
    WriteBytes(dir_.Path("hidden.txt"), "h\r\n");
    SetFileAttributesW(dir_.Path("hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(e2e::WaitFor([&] { return e2e::DialogName(dialog) == L"chat.txt"; }));
    e2e::ChooseInDialog(dialog, dir_.Path("hidden.txt").wstring());
    HWND box = nullptr;
    ASSERT_TRUE(e2e::WaitFor([&] {
        box = e2e::FindProcessWindow(tool.Pid(), L"#32770", tool.Main());
        return box != nullptr && box != dialog && IsWindow(box) && !IsWindow(dialog);
    }));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(tool.Ready());
    EXPECT_EQ(tool.Count(), 2);
    EXPECT_EQ(tool.Selected(), 1);
}

TEST_F(WithGameClient, TheListHasTheFocusAgainWhenTheToolIsBackFromTheGame) {
    WriteMacros(u"a\r\nb\r\nc\r\n");
    ToolProcess tool(Exe());
    ASSERT_TRUE(tool.Ready());
    SetForegroundWindow(tool.Main());
    ASSERT_TRUE(e2e::WaitFor([&] { return GetForegroundWindow() == tool.Main(); }));
    EXPECT_TRUE(e2e::WaitFor([&] { return tool.Focus() == tool.List(); })) << "at start-up";
    tool.Select(0);
    e2e::PressKey(VK_RETURN);  // says the selected macro; the game comes to the front
    ASSERT_TRUE(e2e::WaitFor([] { return GetForegroundWindow() == StandinClient::MainWindow(); }));
    ASSERT_EQ(client_.WaitForEvents(3).size(), 3u);
    // Back to the tool, as with Alt+Tab or a click on its caption.
    SetForegroundWindow(tool.Main());
    ASSERT_TRUE(e2e::WaitFor([&] { return GetForegroundWindow() == tool.Main(); }));
    EXPECT_TRUE(e2e::WaitFor([&] { return tool.Focus() == tool.List(); }));
    e2e::PressKey(VK_DOWN);
    EXPECT_TRUE(e2e::WaitFor([&] { return tool.Selected() == 1; }));
}

TEST_F(WithGameClient, GlobalHotkeysWorkWhileTheGameHasTheFocus) {
    WriteMacros(u"一つ目\r\n二つ目\r\n三つ目\r\n");
    WriteBytes(dir_.Path("chat.ini"),
               "[Option]\r\nHotkeySay=Ctrl+Alt+S\r\nHotkeyNext=ctrl + alt + n\r\n");
    ToolProcess tool(Exe());
    ASSERT_TRUE(tool.Ready());
    SetForegroundWindow(StandinClient::MainWindow());
    ASSERT_TRUE(e2e::WaitFor([] { return GetForegroundWindow() == StandinClient::MainWindow(); }));

    e2e::TypeCombination("ctrl+alt+n");
    EXPECT_TRUE(e2e::WaitFor([&] { return tool.Selected() == 0; })) << "次へ: the first entry";
    e2e::TypeCombination("ctrl+alt+n");
    EXPECT_TRUE(e2e::WaitFor([&] { return tool.Selected() == 1; }));
    EXPECT_EQ(GetForegroundWindow(), StandinClient::MainWindow()) << "the tool stays behind";

    e2e::TypeCombination("ctrl+alt+s");
    const auto events = client_.WaitForEvents(3);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].detail, Hex(ToAnsi(u"二つ目")));
    EXPECT_EQ(GetForegroundWindow(), StandinClient::MainWindow());
}

TEST_F(WithGameClient, NoHotkeySaysAnythingUnderADialog) {
    WriteMacros(u"a\r\n");
    ToolProcess tool(Exe());
    ASSERT_TRUE(tool.Ready());
    tool.Select(0);
    HWND dialog = tool.OpenFileDialog();
    ASSERT_NE(dialog, nullptr);
    PostMessageW(tool.Main(), WM_HOTKEY, 1, 0);  // 発言's hotkey
    PostMessageW(tool.Main(), WM_CLOSE, 0, 0);
    // Taken in order, behind the two above: once it is handled, so are they.
    PostMessageW(tool.List(), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    ASSERT_TRUE(e2e::WaitFor([&] { return tool.Selected() == -1; }));
    EXPECT_EQ(tool.CountOf(window_counts::kDeliveries), 0u);
    EXPECT_TRUE(client_.Received().empty());
    EXPECT_TRUE(IsWindow(tool.Main())) << "nor does a close take the window from under it";
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(dialog); }));
    tool.Select(0);
    tool.Click(tool.SayButton());
    EXPECT_EQ(client_.WaitForEvents(3).size(), 3u) << "and afterwards all works as before";
}

TEST_F(MainWindowE2eTest, AHotkeyAnotherProgramHoldsIsRefusedInTheDialog) {
    // This test holds Ctrl+Alt+K, as another program would.
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'K'));
    ToolProcess tool(Exe());
    ASSERT_TRUE(tool.Ready());
    PostMessageW(tool.Main(), WM_SYSCOMMAND, 0x0110, 0);  // ホットキーの設定...
    HWND dialog = tool.WaitForModal();
    ASSERT_NE(dialog, nullptr);
    HWND say = nullptr;
    ASSERT_TRUE(e2e::WaitFor([&] { return (say = GetDlgItem(dialog, 201)) != nullptr; }));
    SendMessageW(say, HKM_SETHOTKEY, MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
    SendMessageW(GetDlgItem(dialog, 204), HKM_SETHOTKEY,
                 MAKEWORD('J', HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(e2e::WaitFor([&] {
        wchar_t status[512] = {};
        GetDlgItemTextW(dialog, 210, status, 512);
        return std::wstring(status).find(L"「発言」の Ctrl+Alt+K は") != std::wstring::npos;
    }));
    EXPECT_TRUE(IsWindow(dialog)) << "stays open for another choice";
    // While it is open no key is the tool's, so that any can be typed into a field.
    EXPECT_TRUE(RegisterHotKey(nullptr, 2, MOD_CONTROL | MOD_ALT, 'J'))
        << "the key that went through is held still";
    UnregisterHotKey(nullptr, 2);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(dialog); }));
    UnregisterHotKey(nullptr, 1);
    ASSERT_TRUE(tool.Close());
    EXPECT_EQ(ReadBytes(dir_.Path("chat.ini")).find("Option"), std::string::npos)
        << "cancelled: nothing to keep";
}

TEST_F(MainWindowE2eTest, TheHotkeyDialogKeepsWhatItIsNotGivenAndRefusesWhatCannotWork) {
    WriteBytes(dir_.Path("chat.ini"),
               "[Option]\r\nHotkeySay=Win+F5\r\nHotkeyPrevious=Ctrl+Alt+P\r\n");
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'K'));  // as another program
    ToolProcess tool(Exe());
    ASSERT_TRUE(tool.Ready());
    const auto open = [&] {
        PostMessageW(tool.Main(), WM_SYSCOMMAND, 0x0110, 0);  // ホットキーの設定...
        HWND dialog = tool.WaitForModal();
        EXPECT_TRUE(e2e::WaitFor([&] { return GetDlgItem(dialog, 204) != nullptr; }));
        return dialog;
    };
    const auto set = [](HWND dialog, int action, BYTE key, BYTE modifiers) {
        SendMessageW(GetDlgItem(dialog, 201 + action), HKM_SETHOTKEY, MAKEWORD(key, modifiers), 0);
    };
    const auto okSays = [](HWND dialog, const wchar_t* part) {
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        return e2e::WaitFor([&] {
            wchar_t status[512] = {};
            GetDlgItemTextW(dialog, 210, status, 512);
            return std::wstring(status).find(part) != std::wstring::npos;
        });
    };

    HWND dialog = open();
    set(dialog, 2, 'Q', HOTKEYF_CONTROL | HOTKEYF_ALT);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(dialog); }));
    EXPECT_FALSE(RegisterHotKey(nullptr, 2, MOD_CONTROL | MOD_ALT, 'P'))
        << "キャンセル: the old keys are the tool's again";

    dialog = open();
    set(dialog, 1, 'A', 0);
    EXPECT_TRUE(okSays(dialog, L"「発言して次へ」のキーは使えません"));
    set(dialog, 1, VK_F2, 0);  // the tool's own key to edit a macro
    EXPECT_TRUE(okSays(dialog, L"「発言して次へ」の F2: このキーは"));
    set(dialog, 1, 'P', HOTKEYF_CONTROL | HOTKEYF_ALT);
    EXPECT_TRUE(okSays(dialog, L"「前へ」と「発言して次へ」に同じキーは使えません"));
    set(dialog, 1, 'K', HOTKEYF_CONTROL | HOTKEYF_ALT);
    EXPECT_TRUE(okSays(dialog, L"「発言して次へ」の Ctrl+Alt+K はほかのプログラム"));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);  // again: kept as chosen
    ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(dialog); }));
    UnregisterHotKey(nullptr, 1);
    ASSERT_TRUE(tool.Close());
    EXPECT_NE(ReadBytes(dir_.Path("chat.ini"))
                  .find("[Option]\r\nTopMost=0\r\nHotkeySay=Win+F5\r\n"
                        "HotkeySayNext=Ctrl+Alt+K\r\nHotkeyPrevious=Ctrl+Alt+P\r\nHotkeyNext=\r\n"),
              std::string::npos)
        << "Win+F5, which the field cannot show, survives untouched";
}

TEST_F(MainWindowE2eTest, HotkeysRefusedAtStartUpAreToldWhenTheUserLooks) {
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'K'));  // as another program
    WriteBytes(dir_.Path("chat.ini"), "[Option]\r\nHotkeyNext=Ctrl+Alt+K\r\n");
    ToolProcess tool(Exe());
    SetForegroundWindow(tool.Main());
    HWND box = tool.WaitForModal();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(WaitForBoxText(box, L"「次へ」の Ctrl+Alt+K: ほかのプログラム"));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    UnregisterHotKey(nullptr, 1);
    EXPECT_TRUE(tool.Close());
}

TEST_F(MainWindowE2eTest, AlwaysOnTopComesFromTheFileAndTheMenuSetsIt) {
    const auto topMost = [](HWND window) {
        return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    };
    WriteBytes(dir_.Path("chat.ini"), "[Option]\r\nTopMost=1\r\n");
    {
        ToolProcess tool(Exe());
        ASSERT_TRUE(tool.Ready());
        EXPECT_TRUE(topMost(tool.Main()));
        PostMessageW(tool.Main(), WM_SYSCOMMAND, 0x0100, 0);  // 常に手前に表示
        EXPECT_TRUE(e2e::WaitFor([&] { return !topMost(tool.Main()); }));
    }
    EXPECT_NE(ReadBytes(dir_.Path("chat.ini")).find("[Option]\r\nTopMost=0\r\nHotkeySay=\r\n"),
              std::string::npos);
}

TEST_F(WithGameClient, AUtf8FileFromAnEditorReachesTheGameInCp932) {
    // As Notepad saves today: UTF-8 without a mark; ♥ is not in CP932.
    WriteBytes(dir_.Path("chat.txt"), ToUtf8(u"こんにちは♥\\n<now>\tあいさつ\n"));
    ToolProcess tool(Exe());
    ASSERT_TRUE(tool.Ready());
    ASSERT_EQ(tool.Count(), 1);
    tool.Select(0);
    tool.Click(tool.SayButton());
    const auto events = client_.WaitForEvents(6);
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[0].detail, Hex(ToAnsi(u"こんにちは?")));
    EXPECT_EQ(events[3].detail.size(), 16u) << "the time, HH:MM:SS";
}

std::u16string Numbered(char16_t letter, int count) {
    std::u16string text;
    for (int i = 10; i < 10 + count; ++i) text += letter + Digits(i) + u"\r\n";
    return text;
}
std::vector<std::wstring> NumberedTitles(wchar_t letter, int count) {
    std::vector<std::wstring> titles;
    for (int i = 10; i < 10 + count; ++i) titles.push_back(letter + std::to_wstring(i));
    return titles;
}

TEST_F(MainWindowE2eTest, EditsToTheMacroFileShowUpByThemselves) {
    WriteMacros(Numbered(u'a', 40));
    ToolProcess tool(Exe());
    ASSERT_TRUE(tool.Ready());
    tool.Select(30);
    tool.ScrollTo(25);
    // The same size, written again: only its content and write time tell.
    WriteMacros(Numbered(u'x', 40));
    EXPECT_TRUE(e2e::WaitFor([&] { return tool.Titles() == NumberedTitles(L'x', 40); }));
    EXPECT_EQ(tool.Selected(), 30) << "the selection stays";
    EXPECT_EQ(tool.TopIndex(), 25) << "and so does the scroll position";

    // Saved in two steps, emptied and then filled (the second step after the
    // tool looked): it ends with the whole list, never shown empty on the way.
    std::size_t fewest = tool.Titles().size();
    const auto looks = tool.CountOf(window_counts::kFileLooks);
    WriteBytes(dir_.Path("chat.txt"), "");
    ASSERT_TRUE(e2e::WaitFor([&] {
        fewest = std::min(fewest, tool.Titles().size());
        return tool.CountOf(window_counts::kFileLooks) > looks;
    }));
    WriteMacros(Numbered(u'y', 5));
    EXPECT_TRUE(e2e::WaitFor([&] {
        fewest = std::min(fewest, tool.Titles().size());
        return tool.Titles() == NumberedTitles(L'y', 5);
    }));
    EXPECT_GT(fewest, 0u);

    // Deleted: the list stays, and no default file appears in its place.
    const auto looksBefore = tool.CountOf(window_counts::kFileLooks);
    std::filesystem::remove(dir_.Path("chat.txt"));
    ASSERT_TRUE(
        e2e::WaitFor([&] { return tool.CountOf(window_counts::kFileLooks) > looksBefore; }));
    EXPECT_EQ(tool.Titles(), NumberedTitles(L'y', 5));
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("chat.txt")));
    // Back in place (as an editor renames its copy), beside a file that never
    // stops changing: read again.
    std::atomic<bool> busy{true};
    std::thread other([&] {
        for (int i = 0; busy; ++i) WriteBytes(dir_.Path("log.txt"), std::to_string(i));
    });
    WriteMacros(u"back\r\n", "copy.txt");
    std::filesystem::rename(dir_.Path("copy.txt"), dir_.Path("chat.txt"));
    EXPECT_TRUE(e2e::WaitFor([&] { return tool.Titles() == std::vector<std::wstring>{L"back"}; },
                             std::chrono::seconds(3)));
    busy = false;
    other.join();
}

TEST_F(MainWindowE2eTest, NothingIsReloadedUnderADialogAndTheListFollowsOnceItCloses) {
    WriteMacros(u"a\r\nb\r\n");
    ToolProcess tool(Exe());
    ASSERT_TRUE(tool.Ready());
    HWND dialog = tool.OpenFileDialog();
    ASSERT_NE(dialog, nullptr);
    const auto looks = tool.CountOf(window_counts::kFileLooks);
    WriteMacros(u"x\r\ny\r\nz\r\n");
    // Looked at twice (a change, and once more after a wait), read neither time.
    ASSERT_TRUE(e2e::WaitFor([&] { return tool.CountOf(window_counts::kFileLooks) >= looks + 2; }));
    EXPECT_EQ(tool.Titles(), (std::vector<std::wstring>{L"a", L"b"}));
    EXPECT_EQ(tool.CountOf(window_counts::kReloads), 0u);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(e2e::WaitFor([&] {
        return tool.Titles() == std::vector<std::wstring>{L"x", L"y", L"z"};
    }));
}

// A file that cannot be read (held open by another program without
// sharing) is told once, and only when the user looks at the tool.
TEST_F(WithGameClient, AnUnreadableMacroFileIsToldOnceWhenTheUserLooks) {
    WriteMacros(u"a\r\n");
    ToolProcess tool(Exe());
    ASSERT_TRUE(tool.Ready());
    const auto unreadable = [&](const std::u16string& text, std::uintptr_t tries) {
        const auto looks = tool.CountOf(window_counts::kFileLooks);
        WriteMacros(text);
        UniqueFile held(CreateFileW(dir_.Path("chat.txt").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
        EXPECT_TRUE(held);
        EXPECT_TRUE(
            e2e::WaitFor([&] { return tool.CountOf(window_counts::kFileLooks) >= looks + tries; }));
        return held;
    };
    const auto box = [&] { return e2e::FindProcessWindow(tool.Pid(), L"#32770", tool.Main()); };
    // A marker behind whatever the activation asked of the tool.
    const auto settled = [&] {
        PostMessageW(tool.List(), LB_SETCURSEL, 0, 0);
        return e2e::WaitFor([&] { return tool.Selected() == 0; });
    };

    SetForegroundWindow(StandinClient::MainWindow());
    ASSERT_TRUE(e2e::WaitFor([] { return GetForegroundWindow() == StandinClient::MainWindow(); }));
    {
        const UniqueFile held = unreadable(u"b\r\n", 3);  // three tries before it tells
        EXPECT_EQ(box(), nullptr) << "not over the game";
        SetForegroundWindow(tool.Main());
        HWND told = tool.WaitForModal();
        ASSERT_NE(told, nullptr);
        EXPECT_TRUE(WaitForBoxText(told, L"読み込めませんでした"));
        PostMessageW(told, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(e2e::WaitFor([&] { return box() == nullptr; }));
    }
    SetForegroundWindow(StandinClient::MainWindow());
    ASSERT_TRUE(e2e::WaitFor([] { return GetForegroundWindow() == StandinClient::MainWindow(); }));
    {
        const UniqueFile held = unreadable(u"c\r\n", 1);
        SetForegroundWindow(tool.Main());
        ASSERT_TRUE(e2e::WaitFor([&] { return GetForegroundWindow() == tool.Main(); }));
        ASSERT_TRUE(settled());
        EXPECT_EQ(box(), nullptr) << "a second failure is not told again";
    }
    EXPECT_EQ(tool.Titles(), std::vector<std::wstring>{L"a"}) << "the list stays";
}

TEST_F(MainWindowE2eTest, AMacroFolderRemovedAndMadeAgainIsFollowed) {
    const auto folder = dir_.Path("macros");
    std::filesystem::create_directory(folder);
    WriteMacros(u"a\r\nb\r\n", "macros/chat.txt");
    WriteBytes(dir_.Path("chat.ini"),
               "[Setting]\r\nFileName=" + WindowsPath("macros") + "\\chat.txt\r\n");
    ToolProcess tool(Exe());
    ASSERT_TRUE(tool.Ready());
    ASSERT_EQ(tool.Titles(), (std::vector<std::wstring>{L"a", L"b"}));
    // As a sync client or Explorer does with the folder.
    std::filesystem::remove_all(folder);
    ASSERT_FALSE(std::filesystem::exists(folder)) << "the tool holds nothing of it open";
    std::filesystem::create_directory(folder);
    WriteMacros(u"x\r\ny\r\nz\r\n", "macros/chat.txt");
    EXPECT_TRUE(e2e::WaitFor(
        [&] {
            return tool.Titles() == std::vector<std::wstring>{L"x", L"y", L"z"};
        },
        std::chrono::seconds(5)));
    WriteMacros(u"later\r\n", "macros/chat.txt");
    EXPECT_TRUE(e2e::WaitFor([&] { return tool.Titles() == std::vector<std::wstring>{L"later"}; },
                             std::chrono::seconds(5)))
        << "and every edit after it";
}

// What the user feels: a click the window takes while the game hangs is
// answered within one reply timeout (5 s) and a second, and the clicks made
// meanwhile do not say the macro again. (A sent message would not show it:
// the tool answers those even while it waits for the client.)
TEST_F(MainWindowE2eTest, AHungGameClientHoldsTheWindowOneReplyTimeoutAtMost) {
    StandinClient client(dir_.Path("record.txt"), L"--hung-ms 9000");
    ASSERT_TRUE(client.Started());
    WriteMacros(u"one\\ntwo\\nthree\r\nx\r\ny\r\n");
    ToolProcess tool(Exe());
    ASSERT_TRUE(tool.Ready());
    tool.Select(0);
    const auto start = std::chrono::steady_clock::now();
    PostMessageW(tool.SayButton(), BM_CLICK, 0, 0);
    PostMessageW(tool.SayButton(), BM_CLICK, 0, 0);  // impatient
    PostMessageW(tool.List(), LB_SETCURSEL, 2, 0);   // handled once the window is free
    ASSERT_TRUE(e2e::WaitFor([&] { return tool.Selected() == 2; }, std::chrono::seconds(15)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
    EXPECT_EQ(tool.CountOf(window_counts::kDeliveries), 1u) << "the second click was dropped";
}

// Displays made for one kind of test (two monitors, 150 %) by their own ctest
// run, which names the kind in KIVMACRO_E2E_DISPLAY: there a display that is
// not so fails the test; anywhere else the test is skipped.
#define REQUIRE_DISPLAY(kind, present)                                                 \
    do {                                                                               \
        const char* made = std::getenv("KIVMACRO_E2E_DISPLAY");                        \
        if (!(present)) {                                                              \
            if (made != nullptr && std::string(made) == (kind)) FAIL() << "not " kind; \
            GTEST_SKIP() << "needs a display with " kind;                              \
        }                                                                              \
    } while (false)

class TwoMonitors : public MainWindowE2eTest {
  protected:
    void SetUp() override {
        MainWindowE2eTest::SetUp();
        REQUIRE_DISPLAY("two-monitors", GetSystemMetrics(SM_CMONITORS) == 2 &&
                                            GetSystemMetrics(SM_CXVIRTUALSCREEN) == 2560);
    }
    RECT OpenWith(const std::string& position) {
        WriteBytes(dir_.Path("chat.ini"), "[Position]\r\n" + position);
        ToolProcess tool(Exe());
        EXPECT_TRUE(tool.Ready());
        RECT rect{};
        GetWindowRect(tool.Main(), &rect);
        return rect;
    }
};

TEST_F(TwoMonitors, AWindowOnTheRightMonitorComesBackThere) {
    // 33,000 twips is x = 2,200 px: past the 16-bit range of the old check.
    const RECT rect = OpenWith("Left=33000\r\nTop=1500\r\nWidth=3750\r\nHeight=3360\r\n");
    EXPECT_EQ(rect.left, 2200);
    EXPECT_EQ(rect.top, 100);
    EXPECT_EQ(rect.right - rect.left, 250);
    EXPECT_NE(ReadBytes(dir_.Path("chat.ini")).find("Left=33000\r\nTop=1500\r\n"),
              std::string::npos)
        << "and is stored there again at close";
}

TEST_F(TwoMonitors, ACaptionOutOfReachComesBack) {
    RECT rect = OpenWith("Left=33000\r\nTop=-300\r\nWidth=3750\r\nHeight=3360\r\n");
    EXPECT_EQ(rect.left, 2200) << "above the top edge: only moved down";
    EXPECT_EQ(rect.top, 0);
    rect = OpenWith("Left=38220\r\nTop=1500\r\nWidth=3750\r\nHeight=3360\r\n");
    EXPECT_EQ(rect.right, 2560) << "95 % past the right edge: moved back in whole";
    EXPECT_EQ(rect.right - rect.left, 250);
}

class At150Percent : public MainWindowE2eTest {
  protected:
    void SetUp() override {
        MainWindowE2eTest::SetUp();
        REQUIRE_DISPLAY("dpi-144", GetDpiForSystem() == 144);
    }
};

TEST_F(At150Percent, PositionsAreTenTwipsAPixelAndTheWindowKeepsItsDesignSize) {
    WriteMacros(u"こんにちは\r\n");
    WriteBytes(dir_.Path("chat.ini"), "[Position]\r\nLeft=1500\r\nTop=600\r\n");
    RECT window{};
    {
        ToolProcess tool(Exe());
        ASSERT_TRUE(tool.Ready());
        GetWindowRect(tool.Main(), &window);
        EXPECT_EQ(window.left, 150);
        EXPECT_EQ(window.top, 60);
        RECT client{};
        GetClientRect(tool.Main(), &client);
        EXPECT_EQ(client.right, 363);   // 3,630 twips
        EXPECT_EQ(client.bottom, 296);  // 2,955 twips
        const RECT say = ClientRectOf(tool.SayButton(), tool.Main());
        EXPECT_EQ(say.bottom - say.top, 38);  // 375 twips
        EXPECT_EQ(say.bottom, client.bottom);
        if (const char* shots = std::getenv("KIVMACRO_SCREENSHOT"))
            SaveScreenshot(tool.Main(), shots);
    }
    const std::string ini = ReadBytes(dir_.Path("chat.ini"));
    EXPECT_NE(ini.find("Left=1500\r\nTop=600\r\nWidth=" +
                       std::to_string(10 * (window.right - window.left)) +
                       "\r\nHeight=" + std::to_string(10 * (window.bottom - window.top)) + "\r\n"),
              std::string::npos)
        << ini;
}

}  // namespace
}  // namespace kiv
