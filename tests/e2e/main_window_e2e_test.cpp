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
#include <thread>

#include "app/common/resource.h"
#include "app/common/tool_menu.h"
#include "platform/ansi_text.h"
#include "platform/local_clock.h"
#include "platform/single_copy.h"
#include "platform/single_copy_win32.h"
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

// Aware of each monitor's DPI as the tool is: its windows in real pixels.
const bool kDpiAware =
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) != FALSE;

RECT ClientRectOf(HWND control, HWND parent) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::u16string Digits(int value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

using MainWindowE2eTest = e2e::ToolFolder;

// The lines a client was given, once it has `count` of them.
std::vector<std::string> LinesTo(const StandinClient& client, std::size_t count) {
    std::vector<std::string> lines;
    for (const standin::Event& event : client.WaitForEvents(count * 3)) {
        if (event.kind == "SETTEXT") lines.push_back(event.detail);
    }
    return lines;
}
// What the game receives for `text`.
std::string Said(const std::u16string& text) {
    return Hex(ToAnsi(text));
}

class WithGameClient : public MainWindowE2eTest {
  protected:
    void SetUp() override {
        MainWindowE2eTest::SetUp();
        ASSERT_TRUE(client_.Started());
    }
    StandinClient client_{dir_.Path("record.txt")};
};

// At close only the place (a maximised or minimised window's restored one)
// and the file: nothing of the options, though their dialog was opened.
TEST_F(MainWindowE2eTest, FirstRunWritesTheDefaultMacrosAndAtCloseOnlyTheRestoredPlaceAndFile) {
    const auto closedAs = [&](ToolProcess& tool, int state) {
        SetWindowPos(tool.Main(), nullptr, 40, 30, 300, 250, SWP_NOZORDER);
        ShowWindow(tool.Main(), state);
        ASSERT_TRUE(e2e::WaitFor(
            [&] { return state == SW_MAXIMIZE ? IsZoomed(tool.Main()) : IsIconic(tool.Main()); }));
        ASSERT_TRUE(tool.Close());
        EXPECT_EQ(Ini(),
                  "[Position]\r\nLeft=600\r\nTop=450\r\nWidth=4500\r\nHeight=3750\r\n"
                  "[Setting]\r\nFileName=" +
                      WindowsPath("chat.txt") + "\r\n")
            << state;
    };
    ToolProcess tool(Exe());
    EXPECT_EQ(e2e::TextOf(tool.Main()), L"KIV 会話マクロ");
    EXPECT_EQ(tool.Count(), 88);
    EXPECT_EQ(tool.Selected(), -1);
    EXPECT_EQ(std::filesystem::file_size(dir_.Path("chat.txt")), 2184u);
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("chat.ini"))) << "start-up never writes it";

    // Resized, the controls move by the rule (発言 2430 twips narrower).
    RECT frame{0, 0, 400, 300};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_CONTROLPARENT);
    SetWindowPos(tool.Main(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(tool.Ready());
    RECT client{};
    GetClientRect(tool.Main(), &client);
    const LONG top = client.bottom - 25;  // 375 twips at 96 DPI
    const RECT list = ClientRectOf(tool.List(), tool.Main());
    const RECT say = ClientRectOf(tool.SayButton(), tool.Main());
    const RECT next = ClientRectOf(tool.SayNextButton(), tool.Main());
    const RECT reload = ClientRectOf(tool.ReloadButton(), tool.Main());
    EXPECT_EQ((std::vector<LONG>{list.left, list.right, list.bottom, say.top, say.right - say.left,
                                 next.left, next.right - next.left, reload.left, reload.right}),
              (std::vector<LONG>{0, client.right, top, top, client.right - 162, say.right, 89,
                                 next.right, client.right}));
    PostMessageW(tool.Main(), WM_SYSCOMMAND, 0x0110, 0);  // ホットキーの設定..., cancelled
    ASSERT_TRUE(e2e::Dismiss(tool.WaitForModal()));
    closedAs(tool, SW_MAXIMIZE);
    ToolProcess again(Exe());
    closedAs(again, SW_MINIMIZE);
}

TEST(ToolProgram, CarriesItsVersionItsJapaneseNameAndWhatTodaysWindowsAsksOfIt) {
    const std::wstring exe = (standin::ProgramDirectory() / L"kivmacro.exe").wstring();
    DWORD ignored = 0;
    std::string block(GetFileVersionInfoSizeW(exe.c_str(), &ignored), '\0');
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(
        GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    const auto value = [&](const std::wstring& name) {
        wchar_t* text = nullptr;
        UINT length = 0;
        return VerQueryValueW(block.data(), (L"\\StringFileInfo\\041104B0\\" + name).c_str(),
                              reinterpret_cast<void**>(&text), &length)
                   ? std::wstring(text)
                   : std::wstring();
    };
    const std::string version = KIVMACRO_VERSION_TEXT;
    EXPECT_EQ(value(L"FileVersion"), std::wstring(version.begin(), version.end()));
    EXPECT_EQ(value(L"FileDescription"), L"KIV 会話マクロ");

    HMODULE image = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr);
    HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(image, found))),
                               SizeofResource(image, found));
    FreeLibrary(image);
    for (const char* wanted :
         {R"(<requestedExecutionLevel level="asInvoker" uiAccess="false"/>)",
          // Windows 10 1607 knows no PerMonitorV2 and ignores dpiAware
          // where dpiAwareness is: without the second it runs unaware.
          R"(>PerMonitorV2, PerMonitor</dpiAwareness>)", R"(>true/pm</dpiAware>)",
          R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")",
          R"(<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>)"}) {
        EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
    }
#ifdef KIVMACRO_PROCESS_CODE_PAGE
    // The CI build for a Windows that is not Japanese asks for its locale's
    // code page, given as a bare token that the resource compiler takes.
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

// A UTF-8 file as Notepad saves today (no mark; ♥ is not in CP932) reaches
// the game in CP932. Past 32,767 a 16-bit position would wrap to another
// macro or go negative.
TEST_F(WithGameClient, EveryWayToSayDeliversTheSelectedMacroOfAHundredThousand) {
    std::u16string text = u"こんにちは♥\\n<now>\tあいさつ\n";
    for (int i = 0; i < 100000; ++i) text += u"発言" + Digits(i) + u"\t" + Digits(i) + u"\n";
    WriteBytes(dir_.Path("chat.txt"), ToUtf8(text));
    ToolProcess tool(Exe());
    ASSERT_EQ(tool.Count(), 100001);

    tool.Select(0);
    tool.Click(tool.SayNextButton());
    tool.Select(100000);
    tool.Click(tool.SayNextButton());
    EXPECT_EQ(tool.Selected(), 0) << "wraps from the last to the first";
    tool.DoubleClick(32768);
    tool.Select(32769);
    tool.Click(tool.SayButton());
    const auto events = client_.WaitForEvents(15);
    ASSERT_EQ(events.size(), 15u);
    EXPECT_EQ(events[0].detail, Said(u"こんにちは?"));
    EXPECT_EQ(events[3].detail.size(), 16u) << "the time, HH:MM:SS";
    const int said[] = {99999, 32767, 32768};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(events[6 + 3 * i].detail, Said(u"発言" + Digits(said[i])));
    }
}

// A new file is made only after the dialog's own question; a name the settings
// file cannot hold exactly (〜, stored as ～) and a hidden file are refused.
TEST_F(MainWindowE2eTest, TheDialogOpensAtTheMacroFileAsksBeforeANewFileAndRefusesWhatItCannot) {
    WriteMacros(u"a\r\nb\r\nc\r\n");
    WriteMacros(u"x\r\ny\r\n", "other.txt");
    WriteMacros(u"h\r\n", "hidden.txt");
    SetFileAttributesW(dir_.Path("hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    const std::filesystem::path wave = dir_.Root() / L"挨拶〜定型.txt";
    WriteMacros(u"w\r\n", "placeholder.txt");
    std::filesystem::rename(dir_.Path("placeholder.txt"), wave);
    {
        ToolProcess tool(Exe());
        tool.Select(1);
        const auto choose = [&](const std::wstring& name, const std::wstring& preset) {
            HWND dialog = tool.OpenFileDialog();
            EXPECT_TRUE(e2e::WaitFor([&] { return e2e::DialogName(dialog) == preset; }));
            // A bare name: found only if the dialog opened in the macro file's folder.
            if (!name.empty()) e2e::ChooseInDialog(dialog, name);
            return dialog;
        };
        HWND dialog = choose(L"", L"chat.txt");
        EXPECT_EQ(e2e::TextOf(dialog), L"ﾌｧｲﾙを開く");
        ASSERT_TRUE(e2e::Dismiss(dialog));

        dialog = choose(L"new.txt", L"chat.txt");
        tool.AnswerBox(IDNO, dialog);  // the question is a message box of the dialog's own
        EXPECT_TRUE(IsWindow(dialog)) << "いいえ: the dialog stays for another name";
        ASSERT_TRUE(e2e::Dismiss(dialog));
        EXPECT_FALSE(std::filesystem::exists(dir_.Path("new.txt")));

        choose(wave.filename().wstring(), L"chat.txt");
        EXPECT_NE(tool.AnswerBox().find(L"〜 (U+301C)"), std::wstring::npos);
        EXPECT_FALSE(std::filesystem::exists(dir_.Root() / L"挨拶～定型.txt")) << "no look-alike";
        // A hidden file is no macro file, and one cannot be written over it.
        choose(dir_.Path("hidden.txt").wstring(), L"chat.txt");
        EXPECT_NE(tool.AnswerBox().find(L"読み込めませんでした"), std::wstring::npos);
        ASSERT_TRUE(tool.Ready());
        EXPECT_EQ(tool.Count(), 3) << "cancel and refusals keep the list";
        EXPECT_EQ(tool.Selected(), 1);

        dialog = choose(L"new.txt", L"chat.txt");
        tool.AnswerBox(IDYES, dialog);
        EXPECT_TRUE(e2e::WaitFor([&] { return tool.Count() == 88; })) << "made, the default macros";
        choose(L"other.txt", L"new.txt");
        ASSERT_TRUE(e2e::WaitFor([&] { return tool.Count() == 2; }));
        EXPECT_EQ(tool.Selected(), -1);
    }
    ToolProcess again(Exe());
    EXPECT_EQ(again.Count(), 2) << "the next start loads the chosen file";
}

// A stored macro file in a folder that does not exist can be neither read nor
// made; a hotkey another program holds cannot be registered.
TEST_F(MainWindowE2eTest, WhatFailsAtStartUpIsToldWhenTheUserLooksAndTheStoredPathIsKept) {
    std::optional<test::KeyHeldElsewhere> other(std::in_place, MOD_CONTROL | MOD_ALT, 'K');
    if (!other->Held()) GTEST_SKIP() << "Ctrl+Alt+K is taken on this desktop";
    WriteIni("[Setting]\r\nFileName=" + WindowsPath("missing") +
             "\\x.txt\r\n[Option]\r\nHotkeyNext=Ctrl+Alt+K\r\n");
    {
        ToolProcess tool(Exe(), /*untilReady=*/false);
        SetForegroundWindow(tool.Main());
        const std::wstring told = tool.AnswerBox() + tool.AnswerBox();
        EXPECT_NE(told.find(L"マクロファイルを読み込めませんでした"), std::wstring::npos) << told;
        EXPECT_NE(told.find(L"「次へ」の Ctrl+Alt+K: ほかのプログラム"), std::wstring::npos);
        ASSERT_TRUE(tool.Ready());
        EXPECT_EQ(tool.Count(), 0);
    }
    other.reset();
    EXPECT_NE(Ini().find("missing\\x.txt"), std::string::npos)
        << "not replaced by a path that never loaded";
}

// A settings file another program holds at start-up reads as empty: the player is told why, and
// nothing of this run is written over it, not even once the other program let it go.
TEST_F(MainWindowE2eTest, ASettingsFileThatCouldNotBeReadAtStartUpIsNeverWrittenOver) {
    WriteMacros(u"一つ目\r\n");
    const std::string ini = "[Option]\r\nHotkeySay=Ctrl+Alt+S\r\n[Position]\r\nLeft=1\r\n";
    WriteIni(ini);
    UniqueFile held(CreateFileW(dir_.Path("chat.ini").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    {
        ToolProcess tool(Exe(), /*untilReady=*/false);
        SetForegroundWindow(tool.Main());
        EXPECT_NE(tool.AnswerBox().find(L"を読み込めませんでした"), std::wstring::npos);
        ASSERT_TRUE(tool.Ready());
        held.Reset();
        // An option, which is written the moment it changes.
        PostMessageW(tool.Main(), WM_SYSCOMMAND, static_cast<WPARAM>(MenuCommand::TopMost), 0);
        ASSERT_TRUE(tool.Settled());
        EXPECT_EQ(Ini(), ini);
    }
    EXPECT_EQ(Ini(), ini) << "nor at the close";
}

// How many handles are open on a kernel object, in every process.
ULONG HandlesOn(HANDLE object) {
    struct BasicInformation {
        ULONG attributes;
        ACCESS_MASK access;
        ULONG handles;
        ULONG references;
        ULONG reserved[10];
    } information{};
    using Query = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryObject")));
    return query != nullptr && query(object, 0, &information, sizeof information, nullptr) >= 0
               ? information.handles
               : 0;
}

// One copy per settings file. A second start from the same folder brings the first forward,
// restored, and ends, touching nothing; one from another folder runs beside it. One started while
// the first hands over (as it does when it starts again as administrator, which Wine cannot
// show) waits for it to end, and then runs.
TEST_F(MainWindowE2eTest, OneCopyRunsForEachSettingsFile) {
    WriteMacros(u"一つ目\r\n");
    const std::string ini = "[Setting]\r\nFileName=" + WindowsPath("chat.txt") + "\r\n";
    WriteIni(ini);
    const auto start = [](const std::filesystem::path& exe) {
        std::wstring command = L"\"" + exe.wstring() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       exe.parent_path().c_str(), &startup, &info);
        CloseHandle(info.hThread);
        return std::pair(UniqueHandle(info.hProcess), info.dwProcessId);
    };
    ToolProcess first(Exe());
    ShowWindow(first.Main(), SW_MINIMIZE);
    ASSERT_TRUE(e2e::WaitFor([&] { return IsIconic(first.Main()) != FALSE; }));
    const auto [second, secondId] = start(Exe());
    ASSERT_EQ(WaitForSingleObject(second.Get(), 15000), WAIT_OBJECT_0) << "the second ends";
    EXPECT_EQ(e2e::FindProcessWindow(secondId, L"KivMacroMainWindow"), nullptr);
    EXPECT_TRUE(e2e::WaitFor([&] {
        return !IsIconic(first.Main()) && GetForegroundWindow() == first.Main();
    })) << "the first brought forward";
    EXPECT_EQ(Ini(), ini) << "nothing written by the second";

    test::TempDir elsewhere;
    std::filesystem::copy_file(Exe(), elsewhere.Path("chat.exe"));
    ToolProcess beside(elsewhere.Path("chat.exe"));
    EXPECT_TRUE(e2e::WaitFor([&] { return beside.Count() == 88; })) << "runs beside it";

    // Closed only once the new copy holds the lock too: started later, it
    // would find none and run whether it waits for a hand-over or not.
    const std::u16string name = SingleCopyName(NormalisedPath(dir_.File("chat.ini")));
    const UniqueHandle lock(CreateMutexW(nullptr, FALSE, reinterpret_cast<LPCWSTR>(name.c_str())));
    const auto windowOf = [](DWORD process, const wchar_t* className) {
        HWND found = nullptr;
        e2e::WaitFor(
            [&] { return (found = e2e::FindProcessWindow(process, className)) != nullptr; });
        return found;
    };
    const auto closes = [](HANDLE process, HWND window) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        return WaitForSingleObject(process, 15000) == WAIT_OBJECT_0;
    };
    {
        const HandOver handOver(dir_.File("chat.ini"));
        const auto [taking, id] = start(Exe());
        ASSERT_TRUE(e2e::WaitFor([&] { return HandlesOn(lock.Get()) >= 3; }))
            << "the first, ours, its";
        ASSERT_TRUE(first.Close());
        HWND taken = windowOf(id, L"KivMacroMainWindow");
        ASSERT_NE(taken, nullptr) << "it waited for the first to end, and took over";
        EXPECT_TRUE(closes(taking.Get(), taken));
    }

    // A copy whose window is gone but whose process lingers (a share that
    // stopped answering holds it) lets go: a new start waits for that, not
    // for its window; one that never lets go is told.
    ASSERT_EQ(WaitForSingleObject(lock.Get(), 0), WAIT_OBJECT_0) << "held here, no window";
    const auto [waiting, waitingId] = start(Exe());
    ASSERT_TRUE(e2e::WaitFor([&] { return HandlesOn(lock.Get()) >= 2; }));
    ReleaseMutex(lock.Get());
    HWND came = windowOf(waitingId, L"KivMacroMainWindow");
    ASSERT_NE(came, nullptr);
    EXPECT_TRUE(closes(waiting.Get(), came));
    const std::string written = Ini();
    ASSERT_EQ(WaitForSingleObject(lock.Get(), 0), WAIT_OBJECT_0);
    const auto [told, toldId] = start(Exe());
    HWND box = windowOf(toldId, L"#32770");
    EXPECT_TRUE(e2e::WaitFor(
        [&] { return e2e::ItemText(box, 0xFFFF).find(L"応答しない") != std::wstring::npos; }));
    EXPECT_TRUE(closes(told.Get(), box));
    EXPECT_EQ(Ini(), written) << "nothing written by a copy that did not run";
    ReleaseMutex(lock.Get());
}

TEST_F(WithGameClient, TheListHasTheFocusBackFromTheGameAndGlobalHotkeysWorkWithTheGameInFront) {
    WriteMacros(u"一つ目\r\n二つ目\r\n三つ目\r\n");
    WriteIni(
        ToAnsi(u"[Option]\r\nHotkeySay=Ctrl+Alt+S\r\nHotkeyNext=ctrl + alt + n\r\n"
               u"[MacroHotkeys]\r\nCtrl+Alt+M=二つ目\r\n"));
    ToolProcess tool(Exe());
    ASSERT_TRUE(e2e::Activate(tool.Main()));
    EXPECT_TRUE(e2e::WaitFor([&] { return tool.Focus() == tool.List(); })) << "at start-up";
    tool.Select(0);
    e2e::TypeCombination("Return", tool.List());  // says it; the game comes to the front
    ASSERT_TRUE(e2e::WaitFor([] { return GetForegroundWindow() == StandinClient::MainWindow(); }));
    ASSERT_EQ(client_.WaitForEvents(3).size(), 3u);
    ASSERT_TRUE(e2e::Activate(tool.Main()));  // as with Alt+Tab or a click on its caption
    EXPECT_TRUE(e2e::WaitFor([&] { return tool.Focus() == tool.List(); }));
    e2e::TypeCombination("Down", tool.List());
    EXPECT_TRUE(e2e::WaitFor([&] { return tool.Selected() == 1; }));

    ASSERT_TRUE(e2e::Activate(StandinClient::MainWindow()));
    e2e::TypeCombination("ctrl+alt+n");
    EXPECT_TRUE(e2e::WaitFor([&] { return tool.Selected() == 2; })) << "次へ";
    const auto said = tool.CountOf(window_counts::kDeliveries);
    e2e::TypeCombination("ctrl+alt+s");
    // Keys pressed before a delivery ends are dropped: the next waits for it.
    ASSERT_TRUE(e2e::WaitFor([&] { return tool.CountOf(window_counts::kDeliveries) > said; }));
    e2e::TypeCombination("ctrl+alt+m");  // a macro's own key
    EXPECT_EQ(LinesTo(client_, 3),
              (std::vector<std::string>{Said(u"一つ目"), Said(u"三つ目"), Said(u"二つ目")}));
    EXPECT_EQ(tool.Selected(), 2) << "a macro's own key leaves the selection";
    EXPECT_EQ(GetForegroundWindow(), StandinClient::MainWindow()) << "the tool stays behind";
}

// The palette over the game: its key with the client in front, romaji typed,
// Enter: the line reaches that client, which is in front again; Esc gives
// the keyboard back with nothing said. Its counts go to the settings.
TEST_F(WithGameClient, ThePalettesKeyTypeAndEnterSayAMacroAndEscSaysNothing) {
    WriteMacros(u"一つ目\r\nよろしくお願いします\tよろしく\r\n");
    WriteIni("[Option]\r\nHotkeyPalette=Ctrl+Shift+Space\r\n");
    ToolProcess tool(Exe());
    ASSERT_TRUE(e2e::WaitFor([&] { return tool.Count() == 2; }));
    const auto palette = [] { return FindWindowW(L"KivMacroPalette", nullptr); };

    ASSERT_TRUE(e2e::Activate(StandinClient::MainWindow()));
    e2e::TypeCombination("ctrl+shift+space");
    ASSERT_TRUE(
        e2e::WaitFor([&] { return palette() != nullptr && GetForegroundWindow() == palette(); }));
    e2e::TypeCombination("y o r o Return");
    EXPECT_EQ(LinesTo(client_, 1), std::vector<std::string>{Said(u"よろしくお願いします")});
    EXPECT_TRUE(e2e::WaitFor([] { return GetForegroundWindow() == StandinClient::MainWindow(); }));
    EXPECT_TRUE(e2e::WaitFor([&] { return palette() == nullptr; }));

    e2e::TypeCombination("ctrl+shift+space");
    ASSERT_TRUE(
        e2e::WaitFor([&] { return palette() != nullptr && GetForegroundWindow() == palette(); }));
    const auto said = tool.CountOf(window_counts::kDeliveries);
    tool.Select(0);
    e2e::TypeCombination("Delete Escape");  // the box's own Delete, never the list's
    EXPECT_TRUE(e2e::WaitFor([] { return GetForegroundWindow() == StandinClient::MainWindow(); }));
    EXPECT_TRUE(e2e::WaitFor([&] { return palette() == nullptr; }));
    EXPECT_EQ(tool.CountOf(window_counts::kDeliveries), said) << "nothing said";
    ASSERT_TRUE(tool.Settled());
    EXPECT_EQ(tool.DialogOverMain(), nullptr) << "no macro offered for deletion";
    EXPECT_EQ(tool.Count(), 2);
    ASSERT_TRUE(tool.Close());
    EXPECT_NE(Ini().find("[Usage]\r\nFile1="), std::string::npos) << Ini();
}

// Tokens filled in as the macro is said twice: today's date, its count, one
// of three choices and the player's own name; the count goes to the
// settings. A waited line comes after its pause, the tool answering
// meanwhile, and before the macro said next.
TEST_F(WithGameClient, TokensAreFilledInAsAMacroIsSaidAndAWaitedLineComesAfterItsPause) {
    WriteMacros(
        u"<date> #<count> <rand:x|y|z> <相手>\tトークン\r\n"
        u"一行目\\n<wait.1>二行目\t待つ\r\nつぎ\r\n");
    WriteIni(ToAnsi(u"[Variables]\r\n相手=ゆうしゃ\r\n"));
    ToolProcess tool(Exe());
    ASSERT_TRUE(e2e::WaitFor([&] { return tool.Count() == 3; }));
    tool.Select(0);
    tool.Click(tool.SayButton());
    tool.Click(tool.SayButton());
    const std::vector<std::string> lines = LinesTo(client_, 2);
    ASSERT_EQ(lines.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        std::vector<std::string> may;
        for (const char16_t* choice : {u"x", u"y", u"z"}) {
            may.push_back(Said(DateText(LocalDayNumber()) + u" #" +
                               Digits(static_cast<int>(i) + 1) + u" " + choice + u" ゆうしゃ"));
        }
        EXPECT_NE(std::find(may.begin(), may.end(), lines[i]), may.end()) << i;
    }

    tool.Select(1);
    tool.Click(tool.SayButton());
    ASSERT_EQ(LinesTo(client_, 3).size(), 3u);
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutW(tool.Main(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 500, &answer), 0)
        << "the tool answers while the macro waits";
    EXPECT_EQ(LinesTo(client_, 4).size(), 4u);
    tool.Select(2);
    tool.Click(tool.SayButton());
    const std::vector<standin::Event> events = client_.WaitForEvents(15);
    ASSERT_EQ(events.size(), 15u);
    EXPECT_EQ(events[9].detail, Said(u"二行目"));
    EXPECT_GE(events[9].micros - events[6].micros, 1'000'000) << "after the pause";
    EXPECT_EQ(events[12].detail, Said(u"つぎ"));
    ASSERT_TRUE(tool.Close());
    EXPECT_NE(FromAnsi(Ini()).find(u"[Counters]\r\nFile1="), std::u16string::npos);
    EXPECT_NE(FromAnsi(Ini()).find(u"Macro1=2,1,トークン\r\n"), std::u16string::npos);
}

// Two tabs kept in the settings: a key of the second tab's macro says it with
// the first shown and the game in front, and the hotkey settings list that
// key as one that works, offering to take nothing away.
TEST_F(WithGameClient, AKeyOfTheSecondTabsMacroSaysItWhileTheFirstIsShown) {
    WriteMacros(u"一つ目\r\n二つ目\r\n");
    WriteMacros(u"あつまれ\t集合\r\n", "party.txt");
    const std::u16string chat = dir_.Path("chat.txt").u16string();
    const std::u16string party = dir_.Path("party.txt").u16string();
    WriteIni(ToAnsi(u"[Setting]\r\nFileName=" + chat + u"\r\n[Tabs]\r\nFile1=" + chat +
                    u"\r\nFile2=" + party +
                    u"\r\nActive=1\r\n[MacroHotkeys]\r\n"
                    u"Ctrl+Alt+M=集合\r\n"));
    ToolProcess tool(Exe());
    ASSERT_TRUE(e2e::WaitFor([&] {
        return tool.Titles() == std::vector<std::wstring>{L"一つ目", L"二つ目"};
    }));
    const HWND strip = FindWindowExW(tool.Main(), nullptr, L"SysTabControl32", nullptr);
    ASSERT_NE(strip, nullptr);
    EXPECT_TRUE(IsWindowVisible(strip));
    EXPECT_EQ(SendMessageW(strip, TCM_GETITEMCOUNT, 0, 0), 2);
    tool.Select(1);
    ASSERT_TRUE(e2e::Activate(StandinClient::MainWindow()));
    e2e::TypeCombination("ctrl+alt+m");
    EXPECT_EQ(LinesTo(client_, 1), (std::vector<std::string>{Said(u"あつまれ")}));
    EXPECT_EQ(tool.Titles(), (std::vector<std::wstring>{L"一つ目", L"二つ目"})) << "the list stays";
    EXPECT_EQ(tool.Selected(), 1);

    PostMessageW(tool.Main(), WM_SYSCOMMAND, 0x0110, 0);  // ホットキーの設定...
    const HWND dialog = tool.WaitForModal();
    ASSERT_NE(dialog, nullptr);
    wchar_t line[256] = {};
    SendDlgItemMessageW(dialog, IDC_HOTKEY_MACROS, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
    EXPECT_STREQ(line, L"Ctrl+Alt+M: 集合") << "a key that works, nothing to take away";
    ASSERT_TRUE(e2e::Dismiss(dialog));
    EXPECT_TRUE(tool.Close());
    EXPECT_NE(FromAnsi(Ini()).find(u"Ctrl+Alt+M=集合"), std::u16string::npos);
}

// On a Windows whose code page is UTF-8 a Shift_JIS settings file stays Shift_JIS: its macro
// file in a Japanese folder, a macro's key by its Japanese title and the files used lately read as
// written, the key says its macro, and the close changes none of their bytes; the Japanese tool
// then reads the same file as before and leaves it as it is.
TEST_F(WithGameClient, OnAUtf8SystemAShiftJisSettingsFileKeepsItsJapanese) {
    std::filesystem::copy_file(standin::ProgramDirectory() / L"kivmacro-utf8.exe", Exe(),
                               std::filesystem::copy_options::overwrite_existing);
    const std::filesystem::path folder = dir_.Root() / L"マクロ";
    std::filesystem::create_directory(folder);
    WriteBytes(folder / L"chat.txt", ToAnsi(u"一つ目\r\n回復お願いします\t回復依頼\r\n"));
    WriteMacros(u"二番目\r\n", "second.txt");
    const std::string japanese = ToAnsi((folder / L"chat.txt").u16string());
    const std::string fileName = "FileName=" + japanese + "\r\n";
    const std::string key = ToAnsi(u"[MacroHotkeys]\r\nCtrl+Alt+M=回復依頼\r\n");
    const std::string second =
        "File2=" + WindowsPath("second.txt") + "\r\nPlace2=1,0," + ToAnsi(u"二番目") + "\r\n";
    WriteIni("[Setting]\r\n" + fileName + key + "[RecentFiles]\r\nFile1=" + japanese + "\r\n" +
             second);
    {
        ToolProcess tool(Exe());
        ASSERT_EQ(tool.CountOf(window_counts::kCodePage), 65001u) << "the manifest's code page";
        ASSERT_TRUE(tool.Shows({L"一つ目", L"回復依頼"}));
        ASSERT_TRUE(e2e::Activate(client_.Main()));
        e2e::TypeCombination("ctrl+alt+m");
        EXPECT_EQ(LinesTo(client_, 1), std::vector<std::string>{Said(u"回復お願いします")});
        ASSERT_TRUE(tool.Close());
    }
    const std::string closed = Ini();
    for (const std::string& kept : {fileName, key, "File1=" + japanese + "\r\n", second}) {
        EXPECT_NE(closed.find(kept), std::string::npos) << kept << " in " << closed;
    }

    std::filesystem::copy_file(standin::ProgramDirectory() / L"kivmacro.exe", Exe(),
                               std::filesystem::copy_options::overwrite_existing);
    ToolProcess japaneseTool(Exe());
    EXPECT_TRUE(japaneseTool.Shows({L"一つ目", L"回復依頼"}));
    ASSERT_TRUE(japaneseTool.Close());
    EXPECT_EQ(Ini(), closed);
}

// On a UTF-8 system a new settings file is Shift_JIS too, which cannot name a folder with a ♥ in
// it: the player is told once, and nothing is written that would read back as another folder.
TEST_F(MainWindowE2eTest, OnAUtf8SystemAFolderTheSettingsCannotNameIsToldAndNothingWritten) {
    const std::filesystem::path folder = dir_.Root() / L"ツール♥";
    std::filesystem::create_directory(folder);
    std::filesystem::copy_file(standin::ProgramDirectory() / L"kivmacro-utf8.exe",
                               folder / L"chat.exe");
    {
        ToolProcess tool(folder / L"chat.exe", /*untilReady=*/false);
        SetForegroundWindow(tool.Main());
        EXPECT_NE(tool.AnswerBox().find(L"♥ (U+2665)"), std::wstring::npos);
        ASSERT_TRUE(tool.Ready());
        EXPECT_TRUE(e2e::WaitFor([&] { return tool.Count() == 88; }));
    }
    EXPECT_FALSE(std::filesystem::exists(folder / L"chat.ini"));
}

// The tool's brief tooltip (the target, the file switched to): its text
// stays after it hides, so a loaded machine that looks late still finds it.
HWND TargetTip(DWORD tool, std::wstring_view begins = L"送信先") {
    for (HWND tip = FindWindowExW(nullptr, nullptr, L"tooltips_class32", nullptr); tip != nullptr;
         tip = FindWindowExW(nullptr, tip, L"tooltips_class32", nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(tip, &pid);
        if (pid == tool && e2e::WindowText(tip).starts_with(begins)) return tip;
    }
    return nullptr;
}

// Two game clients through the tool: the one remembered is the target at
// start-up though the other was used last; 次のクライアント moves on in name
// order and wraps, the game kept in front, and names the target for a
// moment; 送信先 in the list's menu chooses one; the chosen one gone, a say
// sends nothing and is told once, its title kept for a client started later.
TEST_F(MainWindowE2eTest, TheTargetClientIsRememberedCycledChosenInTheMenuAndToldOnceGone) {
    StandinClient alpha(dir_.Path("alpha.txt"), L"--title alpha");
    StandinClient beta(dir_.Path("beta.txt"), L"--title beta");
    ASSERT_TRUE(alpha.Started() && beta.Started());
    ASSERT_TRUE(e2e::WaitFor([&] { return alpha.Activated() && beta.Activated(); }));
    WriteMacros(u"一\r\n二\r\n");
    WriteIni("[Option]\r\nHotkeySay=Ctrl+Alt+S\r\nHotkeyNextClient=Ctrl+Alt+C\r\nClient=alpha\r\n");
    ToolProcess tool(Exe());
    tool.Select(0);
    const std::string one = Said(u"一");
    const std::string two = Said(u"二");

    ASSERT_TRUE(e2e::Activate(beta.Main()));
    e2e::TypeCombination("ctrl+alt+s");
    EXPECT_EQ(LinesTo(alpha, 1), std::vector<std::string>{one}) << "remembered";
    ASSERT_TRUE(e2e::WaitFor([&] { return GetForegroundWindow() == alpha.Main(); }));

    const auto next = [&](const std::string& title, DWORD pid) {
        e2e::TypeCombination("ctrl+alt+c");
        EXPECT_TRUE(e2e::WaitFor([&] { return Ini().ends_with("Client=" + title + "\r\n"); }))
            << title;
        const std::wstring name(title.begin(), title.end());
        const std::wstring named = L"送信先: " + name + L" (PID " + std::to_wstring(pid) + L")";
        HWND tip = nullptr;
        EXPECT_TRUE(e2e::WaitFor([&] {
            return (tip = TargetTip(tool.Pid())) && e2e::WindowText(tip) == named;
        })) << title;
        EXPECT_TRUE(e2e::WaitFor([&] { return !IsWindowVisible(tip); })) << "gone by itself";
        EXPECT_EQ(GetForegroundWindow(), alpha.Main()) << "no window comes forward";
    };
    next("beta", beta.Process());
    next("alpha", alpha.Process());  // wrapped
    next("beta", beta.Process());
    e2e::TypeCombination("ctrl+alt+s");
    EXPECT_EQ(LinesTo(beta, 1), std::vector<std::string>{one});
    EXPECT_EQ(LinesTo(alpha, 1), std::vector<std::string>{one}) << "one client each time";

    // The menu lists 自動, then the clients by name: the second item is alpha.
    ASSERT_TRUE(e2e::OpenMenuOn(tool, 1));
    e2e::TypeCombination("Up Right Down Return");
    EXPECT_TRUE(e2e::WaitFor([&] { return Ini().ends_with("Client=alpha\r\n"); }));
    e2e::TypeCombination("ctrl+alt+s");
    EXPECT_EQ(LinesTo(alpha, 2), (std::vector<std::string>{one, two}));

    alpha.Close();
    ASSERT_TRUE(e2e::Activate(beta.Main()));
    const auto said = tool.CountOf(window_counts::kDeliveries);
    e2e::TypeCombination("ctrl+alt+s");
    ASSERT_TRUE(e2e::WaitFor([&] { return tool.CountOf(window_counts::kDeliveries) > said; }));
    ASSERT_TRUE(tool.Settled());
    EXPECT_EQ(tool.DialogOverMain(), nullptr) << "not over the game";
    ASSERT_TRUE(e2e::Activate(tool.Main()));
    const std::wstring told = tool.AnswerBox();
    EXPECT_NE(
        told.find(L"「alpha」(PID " + std::to_wstring(alpha.Process()) + L")は終了しています"),
        std::wstring::npos)
        << told;
    EXPECT_TRUE(Ini().ends_with("Client=alpha\r\n")) << "自動 for this run, the title kept";
    ASSERT_TRUE(e2e::Activate(beta.Main()));
    e2e::TypeCombination("ctrl+alt+s");
    EXPECT_EQ(LinesTo(beta, 2), (std::vector<std::string>{one, two})) << "to the one left";
    ASSERT_TRUE(e2e::Activate(tool.Main()));
    ASSERT_TRUE(tool.Settled());
    EXPECT_EQ(tool.DialogOverMain(), nullptr) << "told once";

    // Gone before a say, and found so as 送信先 is opened: told then.
    e2e::TypeCombination("ctrl+alt+c");
    ASSERT_TRUE(e2e::WaitFor([&] { return Ini().ends_with("Client=beta\r\n"); }));
    beta.Close();
    ASSERT_TRUE(e2e::OpenMenuOn(tool, 1));
    e2e::TypeCombination("Escape");
    EXPECT_NE(tool.AnswerBox().find(L"「beta」(PID "), std::wstring::npos);
    EXPECT_TRUE(Ini().ends_with("Client=beta\r\n"));
}

// `count` macros titled a10, a11 ... (for the letter a), saying "say a10" ...
std::u16string Numbered(char16_t letter, int count) {
    std::u16string text;
    for (int i = 10; i < 10 + count; ++i) {
        const std::u16string title = letter + Digits(i);
        text.append(u"say ").append(title).append(u"\t").append(title).append(u"\r\n");
    }
    return text;
}
std::vector<std::wstring> NumberedTitles(wchar_t letter, int count) {
    std::vector<std::wstring> titles;
    for (int i = 10; i < 10 + count; ++i) titles.push_back(letter + std::to_wstring(i));
    return titles;
}

// Three macro files used lately: 最近使ったファイル in the list's menu and
// the hotkeys switch between them, each back at its place; stepping keeps
// the menu's order and passes a file gone (told once the user looks); the
// one gone, chosen in the menu, is offered for removal and never made.
TEST_F(WithGameClient, RecentFilesSwitchByMenuAndHotkeysBackAtTheirPlaceAndAGoneOneIsNeverMade) {
    const auto chat = NumberedTitles(L'a', 30), second = NumberedTitles(L'b', 30);
    WriteMacros(Numbered(u'a', 30));
    WriteMacros(Numbered(u'b', 30), "second.txt");
    WriteMacros(Numbered(u'c', 30), "third.txt");
    WriteIni(
        "[Option]\r\nHotkeyPreviousFile=Ctrl+Alt+B\r\nHotkeyNextFile=Ctrl+Alt+F\r\n"
        "[RecentFiles]\r\nFile1=" +
        WindowsPath("chat.txt") + "\r\nFile2=" + WindowsPath("second.txt") +
        "\r\nPlace2=5,3,b14\r\nFile3=" + WindowsPath("third.txt") + "\r\n");
    ToolProcess tool(Exe());
    ASSERT_TRUE(tool.Shows(chat));
    tool.Select(7);
    tool.ScrollTo(4);
    const auto atPlace = [&](const std::vector<std::wstring>& titles, int selected, int top) {
        EXPECT_TRUE(tool.Shows(titles));
        EXPECT_TRUE(e2e::WaitFor([&] { return tool.Selected() == selected; })) << tool.Selected();
        EXPECT_EQ(tool.TopIndex(), top);
    };

    // The menu, opened on the row selected: its second file, at its place.
    ASSERT_TRUE(e2e::OpenMenuOn(tool, 7));
    e2e::TypeCombination("Up Up Right Down Return");
    atPlace(second, 4, 3);

    // 次のファイル from the first of [second, chat, third]: chat, where it was
    // left, the game kept in front and the file named.
    ASSERT_TRUE(e2e::Activate(client_.Main()));
    e2e::TypeCombination("ctrl+alt+f");
    atPlace(chat, 7, 4);
    HWND tip = nullptr;
    EXPECT_TRUE(e2e::WaitFor([&] {
        return (tip = TargetTip(tool.Pid(), L"マクロファイル")) &&
               e2e::WindowText(tip) == L"マクロファイル: chat.txt";
    }));
    EXPECT_EQ(GetForegroundWindow(), client_.Main());

    // On again: third is gone, passed, and around to second (the order kept,
    // or chat would have come first and second followed it).
    tool.Select(2);
    std::filesystem::remove(dir_.Path("third.txt"));
    e2e::TypeCombination("ctrl+alt+f");
    atPlace(second, 4, 3);
    ASSERT_TRUE(tool.Settled());
    EXPECT_EQ(tool.DialogOverMain(), nullptr) << "not over the game";
    e2e::TypeCombination("ctrl+alt+b");
    atPlace(chat, 2, 2);  // the selection scrolled it
    ASSERT_TRUE(e2e::Activate(tool.Main()));
    EXPECT_NE(tool.AnswerBox().find(dir_.Path("third.txt").wstring()), std::wstring::npos);

    // Chosen in the menu, the gone one: asked, taken out, never made.
    ASSERT_TRUE(e2e::OpenMenuOn(tool, 2));
    e2e::TypeCombination("Up Up Right Down Down Return");
    EXPECT_NE(tool.AnswerBox(IDYES).find(L"一覧から外しますか"), std::wstring::npos);
    EXPECT_TRUE(tool.Shows(chat)) << "the list as it was";
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("third.txt")));
    ASSERT_TRUE(tool.Close());
    EXPECT_NE(Ini().find("[RecentFiles]\r\nFile1=" + WindowsPath("second.txt") +
                         "\r\nPlace1=5,3,b14\r\nFile2=" + WindowsPath("chat.txt") +
                         "\r\nPlace2=3,2,a12\r\n"),
              std::string::npos)
        << Ini();
    EXPECT_EQ(Ini().find("third"), std::string::npos);

    ToolProcess again(Exe());
    EXPECT_TRUE(again.Shows(chat));
    EXPECT_TRUE(e2e::WaitFor([&] { return again.Selected() == 2; })) << "its place, at the start";
    EXPECT_EQ(again.TopIndex(), 2);
}

// Found as a player finds a line: romaji typed into the list, Enter says the
// one match; Esc twice gives the whole list back, the match still selected.
TEST_F(WithGameClient, RomajiTypedIntoTheListFindsTheMacroEnterSaysItAndEscTwiceEndsFinding) {
    WriteMacros(u"こんにちは\t挨拶\r\nありがとう\tお礼\r\nかいふく\t回復\r\n");
    ToolProcess tool(Exe());
    const HWND box = FindWindowExW(tool.Main(), nullptr, L"Edit", nullptr);
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(IsWindowVisible(box));
    ASSERT_TRUE(e2e::Activate(tool.Main()));
    ASSERT_TRUE(e2e::WaitFor([&] { return tool.Focus() == tool.List(); }));
    e2e::TypeCombination("a r i g a t o u", tool.List());
    // "ariga" already finds the one match: the last key is waited for.
    ASSERT_TRUE(e2e::WaitFor([&] { return e2e::WindowText(box) == L"arigatou"; }));
    ASSERT_TRUE(e2e::WaitFor([&] { return tool.Titles() == std::vector<std::wstring>{L"お礼"}; }));
    EXPECT_EQ(tool.Focus(), box);
    e2e::TypeCombination("Return", tool.Main());
    EXPECT_EQ(LinesTo(client_, 1), std::vector<std::string>{Said(u"ありがとう")});
    ASSERT_TRUE(e2e::WaitFor([] { return GetForegroundWindow() == StandinClient::MainWindow(); }));

    e2e::TypeCombination("Escape Escape", tool.Main());  // the focus back in the box first
    EXPECT_TRUE(e2e::WaitFor([&] { return !IsWindowVisible(box) && tool.Focus() == tool.List(); }));
    EXPECT_EQ(tool.Titles().size(), 3u);
    EXPECT_EQ(tool.Selected(), 1);
    e2e::TypeCombination("ctrl+f", tool.Main());  // through the tool's own loop, as pressed
    EXPECT_TRUE(e2e::WaitFor([&] { return IsWindowVisible(box) && tool.Focus() == box; }));
}

TEST_F(WithGameClient, NoHotkeySaysAnythingUnderADialogAndUnsavableSettingsAreToldAtClose) {
    WriteMacros(u"a\r\n");
    std::filesystem::create_directory(dir_.Path("chat.ini"));  // no file can be written there
    ToolProcess tool(Exe());
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
    ASSERT_TRUE(e2e::Dismiss(dialog));
    tool.Select(0);
    tool.Click(tool.SayButton());
    EXPECT_EQ(client_.WaitForEvents(3).size(), 3u) << "and afterwards all works as before";

    PostMessageW(tool.Main(), WM_CLOSE, 0, 0);
    EXPECT_NE(tool.AnswerBox().find(L"に保存できませんでした"), std::wstring::npos);
    EXPECT_TRUE(tool.Close());
}

// The file's folder may go (Explorer, a sync client) and come back.
TEST_F(MainWindowE2eTest, EditsToTheMacroFileShowUpByThemselvesButNeverUnderADialog) {
    const auto folder = dir_.Path("macros");
    std::filesystem::create_directory(folder);
    WriteMacros(Numbered(u'a', 40), "macros/chat.txt");
    WriteIni("[Setting]\r\nFileName=" + WindowsPath("macros") + "\\chat.txt\r\n");
    ToolProcess tool(Exe());
    const auto looks = [&] { return tool.CountOf(window_counts::kFileLooks); };
    tool.Select(30);
    tool.ScrollTo(25);
    // The same size, written again: only its content and write time tell.
    // The macro selected is there still, at its place.
    std::u16string rewritten = Numbered(u'x', 40);
    std::vector<std::wstring> titles = NumberedTitles(L'x', 40);
    const std::u16string selected = u"say a40\ta40\r\n";
    rewritten.replace(30 * selected.size(), selected.size(), selected);
    titles[30] = L"a40";
    WriteMacros(rewritten, "macros/chat.txt");
    EXPECT_TRUE(tool.Shows(titles));
    EXPECT_EQ(tool.Selected(), 30) << "the selection stays";
    EXPECT_EQ(tool.TopIndex(), 25) << "and so does the scroll position";

    // Saved in two steps, emptied and then filled (the second step after the
    // tool looked): it ends with the whole list, never shown empty on the way.
    std::size_t fewest = tool.Titles().size();
    auto before = looks();
    WriteBytes(folder / "chat.txt", "");
    ASSERT_TRUE(e2e::WaitFor([&] {
        fewest = std::min(fewest, tool.Titles().size());
        return looks() > before;
    }));
    WriteMacros(Numbered(u'y', 5), "macros/chat.txt");
    EXPECT_TRUE(e2e::WaitFor([&] {
        fewest = std::min(fewest, tool.Titles().size());
        return tool.Titles() == NumberedTitles(L'y', 5);
    }));
    EXPECT_GT(fewest, 0u);

    // Replaced as an editor saves (its copy renamed), beside a file ever changing: read.
    std::atomic<bool> busy{true};
    std::thread other([&] {
        for (int i = 0; busy; ++i) WriteBytes(folder / "log.txt", std::to_string(i));
    });
    WriteMacros(u"back\r\n", "macros/copy.txt");
    // Windows refuses the rename while the tool's look has the file open.
    EXPECT_TRUE(e2e::WaitFor([&] {
        std::error_code error;
        std::filesystem::rename(folder / "copy.txt", folder / "chat.txt", error);
        return !error;
    }));
    EXPECT_TRUE(tool.Shows({L"back"}, std::chrono::seconds(3)));
    busy = false;
    other.join();

    std::filesystem::remove_all(folder);
    ASSERT_FALSE(std::filesystem::exists(folder)) << "the tool holds nothing of it open";
    std::filesystem::create_directory(folder);
    WriteMacros(u"x\r\ny\r\nz\r\n", "macros/chat.txt");
    EXPECT_TRUE(tool.Shows({L"x", L"y", L"z"}));

    HWND dialog = tool.OpenFileDialog();
    ASSERT_NE(dialog, nullptr);
    before = looks();
    const auto reloads = tool.CountOf(window_counts::kReloads);
    WriteMacros(u"a\r\nb\r\n", "macros/chat.txt");
    // Looked at twice (a change, and once more after a wait), read neither time.
    ASSERT_TRUE(e2e::WaitFor([&] { return looks() >= before + 2; }));
    EXPECT_EQ(tool.Titles(), (std::vector<std::wstring>{L"x", L"y", L"z"}));
    EXPECT_EQ(tool.CountOf(window_counts::kReloads), reloads);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(tool.Shows({L"a", L"b"})) << "once the dialog is closed";
}

// A file held open without sharing is told once, when the user looks, and
// read once it is let go.
TEST_F(WithGameClient, AnUnreadableMacroFileIsToldOnceWhenTheUserLooks) {
    WriteMacros(u"a\r\n");
    ToolProcess tool(Exe());
    ASSERT_TRUE(e2e::Activate(StandinClient::MainWindow()));
    {
        const auto looks = tool.CountOf(window_counts::kFileLooks);
        WriteMacros(u"b\r\n");
        const UniqueFile held(CreateFileW(dir_.Path("chat.txt").c_str(), GENERIC_READ, 0, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
        EXPECT_TRUE(held);
        // Told once the tries have gone on for 10 s: at the fifth.
        EXPECT_TRUE(
            e2e::WaitFor([&] { return tool.CountOf(window_counts::kFileLooks) >= looks + 5; },
                         std::chrono::seconds(20)));
        ASSERT_TRUE(tool.Settled());
        EXPECT_EQ(tool.DialogOverMain(), nullptr) << "not over the game";
        SetForegroundWindow(tool.Main());
        EXPECT_NE(tool.AnswerBox().find(L"10 秒たっても読み込めません"), std::wstring::npos);
        EXPECT_EQ(tool.Titles(), std::vector<std::wstring>{L"a"}) << "the list stays";
    }
    EXPECT_TRUE(tool.Shows({L"b"})) << "read once let go, by the next try";
}

// A client that stops answering after the first line, said with 発言して次へ.
// Clicks are posted, as a user's are. Whether the line that timed out is handled once the client
// wakes is the system's affair (Windows may, Wine drops it): the player is
// told it may have gone, and that nothing after it was sent; nothing after
// it arrives, and the frozen client is not brought forward.
TEST_F(MainWindowE2eTest, AGameClientThatStopsAnsweringHoldsTheWindowOneReplyTimeoutAndIsTold) {
    StandinClient client(dir_.Path("record.txt"), L"--hung-ms 9000 --hang-after 1");
    ASSERT_TRUE(client.Started());
    WriteMacros(u"one\\ntwo\\nthree\tgreet\r\nx\r\ny\r\n");
    ToolProcess tool(Exe());
    ASSERT_TRUE(e2e::Activate(tool.Main()));
    tool.Select(0);
    const auto start = std::chrono::steady_clock::now();
    PostMessageW(tool.SayNextButton(), BM_CLICK, 0, 0);
    PostMessageW(tool.SayNextButton(), BM_CLICK, 0, 0);  // impatient
    ASSERT_TRUE(tool.Settled());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
    EXPECT_EQ(tool.CountOf(window_counts::kDeliveries), 1u) << "the second click was dropped";
    EXPECT_EQ(tool.Selected(), 0) << "the macro cut short stays selected";
    const std::wstring told = tool.AnswerBox();
    for (const std::wstring line :
         {L"マクロ「greet」を最後まで送れませんでした", L"1 行目「one」: 送りました",
          L"2 行目「two」: 届いたかどうか", L"3 行目「three」: 送っていません"}) {
        EXPECT_NE(told.find(line), std::wstring::npos) << told;
    }
    EXPECT_NE(GetForegroundWindow(), client.Main()) << "left behind";
    DWORD_PTR ignored = 0;  // once the client answers, it has recorded all that reached it
    ASSERT_TRUE(SendMessageTimeoutW(StandinClient::MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 15000,
                                    &ignored));
    std::vector<std::string> texts;
    for (const standin::Event& event : client.Received()) {
        if (event.kind == "SETTEXT") texts.push_back(event.detail);
    }
    EXPECT_TRUE(texts == std::vector<std::string>{Hex("one")} ||
                texts == (std::vector<std::string>{Hex("one"), Hex("two")}));
}

// The ctest run that makes a display for one kind of test names it in
// KIVMACRO_E2E_DISPLAY: there a display not so fails; elsewhere it skips.
void RequireDisplay(const std::string& kind, bool present) {
    const char* made = std::getenv("KIVMACRO_E2E_DISPLAY");
    if (present) return;
    if (made != nullptr && made == kind) FAIL() << "not " << kind;
    GTEST_SKIP() << "needs a display with " << kind;
}

class TwoMonitors : public MainWindowE2eTest {
  protected:
    void SetUp() override {
        MainWindowE2eTest::SetUp();
        RequireDisplay("two-monitors", GetSystemMetrics(SM_CMONITORS) == 2 &&
                                           GetSystemMetrics(SM_CXVIRTUALSCREEN) == 2560);
    }
    RECT OpenWith(const std::string& position) {
        WriteIni("[Position]\r\n" + position);
        ToolProcess tool(Exe());
        RECT rect{};
        GetWindowRect(tool.Main(), &rect);
        return rect;
    }
};

// 33,000 twips is x = 2,200 px: past the 16-bit range of the old check.
TEST_F(TwoMonitors, AWindowComesBackOnTheRightMonitorAndACaptionOutOfReachComesBack) {
    RECT rect = OpenWith("Left=33000\r\nTop=1500\r\nWidth=3750\r\nHeight=3360\r\n");
    EXPECT_EQ(rect.left, 2200);
    EXPECT_EQ(rect.top, 100);
    EXPECT_EQ(rect.right - rect.left, 250);
    EXPECT_NE(Ini().find("Left=33000\r\nTop=1500\r\n"), std::string::npos)
        << "and is stored there again at close";
    rect = OpenWith("Left=38220\r\nTop=1500\r\nWidth=3750\r\nHeight=3360\r\n");
    EXPECT_EQ(rect.right, 2560) << "95 % past the right edge: moved back in whole";
    EXPECT_EQ(rect.right - rect.left, 250);
}

class At150Percent : public MainWindowE2eTest {
  protected:
    void SetUp() override {
        MainWindowE2eTest::SetUp();
        RequireDisplay("dpi-144", GetDpiForSystem() == 144);
    }
};

TEST_F(At150Percent, PositionsAreTenTwipsAPixelAndTheWindowKeepsItsDesignSize) {
    WriteMacros(u"こんにちは\r\n");
    WriteIni("[Position]\r\nLeft=1500\r\nTop=600\r\n");
    RECT window{};
    {
        ToolProcess tool(Exe());
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
    }
    const std::string ini = Ini();
    EXPECT_NE(ini.find("Left=1500\r\nTop=600\r\nWidth=" +
                       std::to_string(10 * (window.right - window.left)) +
                       "\r\nHeight=" + std::to_string(10 * (window.bottom - window.top)) + "\r\n"),
              std::string::npos)
        << ini;
}

}  // namespace
}  // namespace kiv
