// The main window in this process as if the tool ran from a fresh folder: what only the real window
// shows, checked where Wine cannot show it from outside.

#include "app/window/main_window_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <objidl.h>
#include <shlobj.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "app/common/resource.h"
#include "app/window/tool_menu_win32.h"
#include "platform/ansi_text.h"
#include "platform/window_counts_win32.h"
#include "support/in_process_window.h"
#include "support/stalled_share.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

class MainWindowTest : public testing::Test {
  protected:
    // The tool's window for chat.exe in `folder` (default dir_), up and hidden.
    std::unique_ptr<MainWindow> Open(int show = SW_HIDE, std::filesystem::path folder = {}) {
        if (folder.empty()) folder = dir_.Root();
        auto tool = std::make_unique<MainWindow>(GetModuleHandleW(nullptr),
                                                 (folder / "chat.exe").u16string());
        EXPECT_TRUE(tool->Open(show));
        return tool;
    }
    void WriteMacros(const std::u16string& text, const std::string& name = "chat.txt") {
        test::WriteBytes(dir_.Path(name), ToAnsi(text));
    }
    static HWND ListOf(const MainWindow& tool) {
        return FindWindowExW(tool.Handle(), nullptr, L"ListBox", nullptr);
    }
    static void Command(const MainWindow& tool, MenuCommand command) {
        SendMessageW(tool.Handle(), WM_SYSCOMMAND, static_cast<WPARAM>(command), 0);
    }
    static std::vector<std::wstring> Entries(HWND list) {
        std::vector<std::wstring> entries(
            static_cast<std::size_t>(SendMessageW(list, LB_GETCOUNT, 0, 0)));
        for (std::size_t i = 0; i < entries.size(); ++i) {
            wchar_t text[256] = {};
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            entries[i] = text;
        }
        return entries;
    }
    static std::vector<std::wstring> Titles(const MainWindow& tool) {
        return Entries(ListOf(tool));
    }
    // A file dropped from Explorer: a DROPFILES block, as the shell builds it.
    static void Drop(const MainWindow& tool, const std::filesystem::path& path) {
        const std::wstring list = path.wstring() + L'\0' + L'\0';
        HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
        auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
        *files = DROPFILES{.pFiles = sizeof(DROPFILES), .pt = {}, .fNC = FALSE, .fWide = TRUE};
        std::copy(list.begin(), list.end(), reinterpret_cast<wchar_t*>(files + 1));
        GlobalUnlock(drop);
        SendMessageW(tool.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);  // frees it
    }

    test::TempDir dir_;
};

// Items added while the window's own copy of the menu is first made would go
// into one not on screen (Wine cannot show it across processes, hence here).
TEST_F(MainWindowTest, TheWindowMenuHoldsTheToolsItemsBeforeItFirstOpens) {
    WriteMacros(u"a\r\nb\r\n");
    const auto tool = Open();
    HMENU menu = GetSystemMenu(tool->Handle(), FALSE);
    for (const MenuItem& item : ToolMenuItems()) {
        if (item.command == MenuCommand::Separator) continue;
        wchar_t text[64] = {};
        EXPECT_GT(GetMenuStringW(menu, static_cast<UINT>(item.command), text, 64, MF_BYCOMMAND), 0)
            << static_cast<unsigned>(item.command);
        EXPECT_EQ(std::u16string(text, text + wcslen(text)), item.text);
    }
    const int first = GetMenuItemCount(menu) - static_cast<int>(ToolMenuItems().size()) - 2;
    EXPECT_NE(GetMenuState(menu, static_cast<UINT>(first - 1), MF_BYPOSITION) & MF_SEPARATOR, 0u)
        << "the items last, after a separator, then 最近使ったファイル and 送信先";
    // Ticked and greyed by the window's state as the menu opens.
    const auto state = [&](MenuCommand command) {
        return GetMenuState(menu, static_cast<UINT>(command), MF_BYCOMMAND);
    };
    const auto opens = [&](int selected) {
        SendMessageW(ListOf(*tool), LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
        SendMessageW(tool->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
                     MAKELPARAM(0, TRUE));
    };
    opens(1);
    EXPECT_EQ(state(MenuCommand::TopMost) & MF_CHECKED, 0u);
    EXPECT_NE(state(MenuCommand::Undo) & MF_GRAYED, 0u) << "nothing to undo";
    EXPECT_EQ(state(MenuCommand::MoveUp) & MF_GRAYED, 0u);
    EXPECT_NE(state(MenuCommand::MoveDown) & MF_GRAYED, 0u) << "the last";
    opens(0);
    EXPECT_NE(state(MenuCommand::MoveUp) & MF_GRAYED, 0u) << "the first";
    // お気に入り ticks the macro selected; 使用回数を消去 greyed until a count.
    EXPECT_EQ(state(MenuCommand::Favorite) & MF_CHECKED, 0u);
    EXPECT_NE(state(MenuCommand::ClearUsage) & MF_GRAYED, 0u) << "nothing counted";
    Command(*tool, MenuCommand::Favorite);
    opens(0);
    EXPECT_NE(state(MenuCommand::Favorite) & MF_CHECKED, 0u) << "pinned";
    opens(1);
    EXPECT_EQ(state(MenuCommand::Favorite) & MF_CHECKED, 0u) << "another macro";
    opens(0);
    Command(*tool, MenuCommand::Favorite);
    opens(0);
    EXPECT_EQ(state(MenuCommand::Favorite) & MF_CHECKED, 0u) << "unpinned";
    UpdateSystemMenu(tool->Handle(), {.topMost = true, .canUndo = true});
    EXPECT_NE(state(MenuCommand::TopMost) & MF_CHECKED, 0u);
    EXPECT_EQ(state(MenuCommand::Undo) & MF_GRAYED, 0u);

    // 送信先: the game clients running as the menu opens, the target ticked;
    // a client chosen is remembered by its title, for the next start.
    WNDCLASSW client{};
    client.lpfnWndProc = DefWindowProcW;
    client.hInstance = GetModuleHandleW(nullptr);
    client.lpszClassName = L"KIVCLI";
    RegisterClassW(&client);
    UniqueWindow gameWindow(CreateWindowW(L"KIVCLI", L"ゲーム", WS_OVERLAPPED, 0, 0, 50, 50,
                                          nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    // Another program's item after the tool's: 送信先 is still found to fill.
    AppendMenuW(GetSystemMenu(tool->Handle(), FALSE), MF_STRING, 0xE000, L"他のプログラム");
    // The window menu's submenus: 最近使ったファイル, then 送信先.
    const auto submenu = [&](const MainWindow& of, int which) {
        HMENU menu = GetSystemMenu(of.Handle(), FALSE);
        SendMessageW(of.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
                     MAKELPARAM(0, TRUE));
        HMENU items = nullptr;
        for (int i = 0; i < GetMenuItemCount(menu) && which >= 0; ++i) {
            if ((items = GetSubMenu(menu, i)) != nullptr) --which;
        }
        std::vector<std::wstring> shown;
        for (int i = 0; i < GetMenuItemCount(items); ++i) {
            wchar_t text[256] = {};
            GetMenuStringW(items, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
            const UINT state = GetMenuState(items, static_cast<UINT>(i), MF_BYPOSITION);
            shown.push_back(std::wstring((state & MF_CHECKED) != 0 ? L"✓" : L"") +
                            ((state & MF_GRAYED) != 0 ? L"-" : L"") + std::wstring(text));
        }
        return shown;
    };
    const auto sendTo = [&](const MainWindow& of) { return submenu(of, 1); };
    const std::u16string chat = RecentFileItemText(0, dir_.File("chat.txt"));
    EXPECT_EQ(submenu(*tool, 0),
              (std::vector<std::wstring>{L"✓" + std::wstring(chat.begin(), chat.end()), L"-",
                                         L"一覧を消去(&C)"}))
        << "the file shown, ticked";
    // 一覧を消去, as Wine sends a choice in the window menu's submenu.
    SendMessageW(tool->Handle(), WM_COMMAND, kClearRecentFilesId, 0);
    EXPECT_EQ(submenu(*tool, 0), (std::vector<std::wstring>{L"-(なし)", L"-", L"-一覧を消去(&C)"}));
    const std::wstring game = L"ゲーム (PID " + std::to_wstring(GetCurrentProcessId()) + L")";
    const auto ini = [&] { return FromAnsi(test::ReadBytes(dir_.Path("chat.ini"))); };
    EXPECT_EQ(sendTo(*tool), (std::vector<std::wstring>{L"✓自動(&A)", game}));
    // Chosen in the window menu itself, opened with Alt+Space: Up past the
    // other program's item to 送信先, its items, the second.
    ShowWindow(tool->Handle(), SW_SHOW);
    SetForegroundWindow(tool->Handle());
    std::thread user([thread = GetCurrentThreadId(), window = tool->Handle()] {
        const HWND popup = test::ShownMenuOf(thread, window);
        for (const WPARAM key : {VK_UP, VK_UP, VK_RIGHT, VK_DOWN, VK_RETURN}) {
            PostMessageW(popup, WM_KEYDOWN, key, 0);
        }
    });
    SendMessageW(tool->Handle(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
    user.join();
    ASSERT_TRUE(test::PumpUntil([&] { return ini().ends_with(u"Client=ゲーム\r\n"); }));
    EXPECT_EQ(sendTo(*tool), (std::vector<std::wstring>{L"自動(&A)", L"✓" + game}));
    EXPECT_TRUE(ini().ends_with(u"Client=ゲーム\r\n")) << "written when chosen";
    EXPECT_EQ(sendTo(*Open()), (std::vector<std::wstring>{L"自動(&A)", L"✓" + game}))
        << "the next start";
    SendMessageW(tool->Handle(), WM_SYSCOMMAND, SendToItemId(0), 0);
    EXPECT_EQ(sendTo(*tool), (std::vector<std::wstring>{L"✓自動(&A)", game}));
    EXPECT_EQ(ini().find(u"Client="), std::u16string::npos) << "自動 takes it away";
}

// Explorer drops a shortcut's own path: the tool loads what it points to,
// never the .lnk's bytes; a dropped file that is not there is never made.
TEST_F(MainWindowTest, ADroppedShortcutLoadsItsTargetAndAMissingFileIsNeverMade) {
    WriteMacros(u"a\r\n");
    WriteMacros(u"x\r\ny\r\n", "other.txt");
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkW, reinterpret_cast<void**>(&link))));
    link->SetPath(dir_.Path("other.txt").c_str());
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
    ASSERT_TRUE(SUCCEEDED(file->Save(dir_.Path("macros.lnk").c_str(), TRUE)));
    file->Release();
    link->Release();

    const auto tool = Open(SW_SHOW);
    Drop(*tool, dir_.Path("macros.lnk"));
    EXPECT_EQ(Titles(*tool), (std::vector<std::wstring>{L"x", L"y"}));
    EnableWindow(tool->Handle(), FALSE);  // as under a dialog of its own
    Drop(*tool, dir_.Path("chat.txt"));
    EnableWindow(tool->Handle(), TRUE);
    EXPECT_EQ(Titles(*tool), (std::vector<std::wstring>{L"x", L"y"})) << "nothing under a dialog";

    // Told at once only with the tool in front (after a drop Explorer may be).
    SetForegroundWindow(tool->Handle());
    ASSERT_TRUE(test::PumpUntil([&] { return GetForegroundWindow() == tool->Handle(); }));
    test::ModalAnswerer answerer(GetCurrentThreadId(), IDOK);
    Drop(*tool, dir_.Path("missing.txt"));
    ASSERT_TRUE(answerer.Answered());
    EXPECT_NE(answerer.Text().find(L"見つかりません"), std::wstring::npos);
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("missing.txt")));
    EXPECT_EQ(Titles(*tool), (std::vector<std::wstring>{L"x", L"y"}));
    CoUninitialize();
}

// Settings kept in UTF-8 can name any folder: a file dropped from one CP932 cannot name loads.
TEST_F(MainWindowTest, SettingsInUtf8TakeAFileFromAFolderCp932CannotName) {
    test::WriteBytes(dir_.Path("chat.ini"), "\xEF\xBB\xBF[Other]\r\nk=v\r\n");
    WriteMacros(u"a\r\n");
    const std::filesystem::path folder = dir_.Root() / L"マクロ♥";
    std::filesystem::create_directory(folder);
    test::WriteBytes(folder / L"chat.txt", "x\r\n");
    const auto tool = Open();
    Drop(*tool, folder / L"chat.txt");
    EXPECT_EQ(Titles(*tool), std::vector<std::wstring>{L"x"});
}

// In a folder whose name CP932 cannot hold (the profile functions would write
// to a look-alike's file) the settings are never kept: told once, not at close.
TEST_F(MainWindowTest, AToolFolderTheSettingsCannotBeKeptInIsToldOnce) {
    const std::filesystem::path folder = dir_.Root() / L"ツール〜";
    std::filesystem::create_directory(folder);
    test::ModalAnswerer told(GetCurrentThreadId(), IDOK);
    const auto tool = Open(SW_SHOW, folder);
    SetForegroundWindow(tool->Handle());
    ASSERT_TRUE(told.Answered());
    EXPECT_NE(told.Text().find(L"〜 (U+301C)"), std::wstring::npos);
    EXPECT_NE(told.Text().find(L"保存されません"), std::wstring::npos);
    test::ModalAnswerer again(GetCurrentThreadId(), IDOK);
    SendMessageW(tool->Handle(), WM_CLOSE, 0, 0);  // a box would hold this call until answered
    EXPECT_FALSE(IsWindow(tool->Handle()));
    EXPECT_FALSE(again.Answered(std::chrono::milliseconds(0))) << "not told again at close";
}

// A write of the macro file cut short (a crash, a power cut) left its side
// files: the user is told where they are, and nothing deletes them.
TEST_F(MainWindowTest, SideFilesAnInterruptedWriteLeftAreToldAndKept) {
    WriteMacros(u"a\r\n");
    WriteMacros(u"old\r\n", "chat.txt.kivmacro-old-4-1");
    test::ModalAnswerer told(GetCurrentThreadId(), IDOK);
    const auto tool = Open(SW_SHOW);
    SetForegroundWindow(tool->Handle());
    ASSERT_TRUE(told.Answered());
    EXPECT_NE(
        told.Text().find(dir_.Path("chat.txt.kivmacro-old-4-1").wstring() + L" (変更前の内容)"),
        std::wstring::npos)
        << std::filesystem::path(told.Text()).string();
    EXPECT_TRUE(std::filesystem::exists(dir_.Path("chat.txt.kivmacro-old-4-1")));
}

// Every key is free while the settings are open, so that any can be typed.
// What OK sets is written at once: a crash before the close must not lose it.
// A key whose macro is gone does nothing yet keeps the key from the others:
// the settings take it away, and a macro may take it over on the user's word.
TEST_F(MainWindowTest, HotkeysAreWrittenAtOnceAndAKeyWhoseMacroIsGoneIsTakenAwayOrOver) {
    WriteMacros(u"a\r\n");
    test::WriteBytes(dir_.Path("chat.ini"),
                     ToAnsi(u"[Option]\r\nTopMost=1\r\nHotkeySay=Win+F5\r\nHotkeyPrevious=Ctrl+"
                            u"Alt+P\r\n[MacroHotkeys]\r\nF7=旧名\r\nF8=b\r\nF9=a\r\n"));
    std::optional<test::KeyHeldElsewhere> other(std::in_place, MOD_CONTROL | MOD_ALT, 'K');
    if (!other->Held()) GTEST_SKIP() << "Ctrl+Alt+K is taken on this desktop";
    const auto tool = Open();
    const auto ini = [&] { return FromAnsi(test::ReadBytes(dir_.Path("chat.ini"))); };
    const auto topMost = [&] {
        return (GetWindowLongW(tool->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    };
    EXPECT_TRUE(topMost()) << "as the file says";
    Command(*tool, MenuCommand::TopMost);
    EXPECT_FALSE(topMost());
    const auto previousIsFree = [] { return !test::HotkeyHeld(MOD_CONTROL | MOD_ALT, 'P'); };
    test::DialogDriver cancel(GetCurrentThreadId(), [&](HWND dialog) {
        EXPECT_TRUE(previousIsFree());
        // A macro's key refused as typed, and free once its key is taken away.
        const auto status = [&] { return test::TextIn(dialog, IDC_HOTKEY_STATUS); };
        test::SetHotkeyField(dialog, IDC_HOTKEY_FIRST + 6, MAKEWORD(VK_F9, 0));
        EXPECT_NE(status().find(L"マクロ「a」"), std::wstring::npos);
        HWND macroKeys = GetDlgItem(dialog, IDC_HOTKEY_MACROS);
        SendMessageW(macroKeys, LB_SETCURSEL, 2, 0);
        SendMessageW(dialog, WM_COMMAND, IDC_HOTKEY_REMOVE, 0);
        EXPECT_EQ(status().find(L"マクロ「a」"), std::wstring::npos);
        test::SetHotkeyField(dialog, IDC_HOTKEY_FIRST + 6, MAKEWORD(VK_F9, HOTKEYF_SHIFT));
        test::SetHotkeyField(dialog, IDC_HOTKEY_FIRST + 6, MAKEWORD(VK_F9, 0));
        EXPECT_EQ(status().find(L"マクロ「a」"), std::wstring::npos);
        test::SetHotkeyField(dialog, IDC_HOTKEY_FIRST + 2,
                             MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT));
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    Command(*tool, MenuCommand::HotkeySettings);
    ASSERT_TRUE(cancel.Drove());
    EXPECT_FALSE(previousIsFree()) << "キャンセル: the old keys are the tool's again";

    test::DialogDriver settings(GetCurrentThreadId(), [&](HWND dialog) {
        const auto okSays = [&](BYTE key, BYTE modifiers, const wchar_t* part) {
            test::SetHotkeyField(dialog, IDC_HOTKEY_FIRST + 1, MAKEWORD(key, modifiers));
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
            return test::TextIn(dialog, IDC_HOTKEY_STATUS).find(part) != std::wstring::npos;
        };
        // F7: taken, but with what it costs said under the fields.
        test::SetHotkeyField(dialog, IDC_HOTKEY_FIRST + 1, MAKEWORD(VK_F7, 0));
        EXPECT_EQ(test::TextIn(dialog, IDC_HOTKEY_CAUTION)
                      .find(L"「発言して次へ」の F7 は日本語入力の変換キー"),
                  0u);
        HWND list = GetDlgItem(dialog, IDC_HOTKEY_MACROS);
        EXPECT_EQ(Entries(list).at(0), L"F7: 旧名 (このタイトルのマクロがないため働きません)");
        SendMessageW(list, LB_SETCURSEL, 0, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_HOTKEY_MACROS, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        SendMessageW(dialog, WM_COMMAND, IDC_HOTKEY_REMOVE, 0);
        EXPECT_TRUE(okSays('A', 0, L"「発言して次へ」のキーは使えません"));
        EXPECT_EQ(test::TextIn(dialog, IDC_HOTKEY_CAUTION), L"");
        EXPECT_TRUE(okSays(VK_F2, 0, L"「発言して次へ」の F2: このキーは"));  // the tool's own
        const BYTE ctrlAlt = HOTKEYF_CONTROL | HOTKEYF_ALT;
        EXPECT_TRUE(okSays('P', ctrlAlt, L"「前へ」と「発言して次へ」に同じキーは使えません"));
        EXPECT_TRUE(okSays('K', ctrlAlt, L"「発言して次へ」の Ctrl+Alt+K: ほかのプログラム"));
        EXPECT_TRUE(previousIsFree()) << "a trial holds no key";
        // A macro's key is refused as it is typed, and the words go when it is changed.
        test::SetHotkeyField(dialog, IDC_HOTKEY_FIRST + 6, MAKEWORD(VK_F9, 0));
        EXPECT_EQ(
            test::TextIn(dialog, IDC_HOTKEY_STATUS),
            L"「発言」の Win+F5 は欄に Win なしで出ます (そのままなら変わりません)。\n"
            L"「次のファイル」の F9 はマクロ「a」のホットキーです。別のキーにするか、下の一覧で"
            L"マクロのキーを外してください。\n")
            << "what the start said of a key left as it was stays";
        // One whose macro is gone is taken over on the user's word.
        test::SetHotkeyField(dialog, IDC_HOTKEY_FIRST + 6, MAKEWORD(VK_F8, 0));
        EXPECT_EQ(test::TextIn(dialog, IDC_HOTKEY_STATUS).find(L"F9"), std::wstring::npos);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_NE(test::AnswerBoxOver(dialog, IDYES).find(L"一覧にないマクロ「b」"),
                  std::wstring::npos);
        EXPECT_TRUE(
            test::PumpUntil([&] { return Entries(list) == std::vector<std::wstring>{L"F9: a"}; }));
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);  // again: kept as chosen
    });
    Command(*tool, MenuCommand::HotkeySettings);
    ASSERT_TRUE(settings.Drove());
    other.reset();
    EXPECT_NE(ini().find(u"HotkeySayNext=Ctrl+Alt+K\r\n"), std::u16string::npos);
    EXPECT_NE(ini().find(u"[MacroHotkeys]\r\nF9=a\r\n"), std::u16string::npos);
    EXPECT_NE(ini().find(u"HotkeyNextFile=F8\r\n"), std::u16string::npos);
    EXPECT_EQ(ini().find(u"F7="), std::u16string::npos) << "taken away";
    EXPECT_EQ(ini().find(u"[Position]"), std::u16string::npos) << "the rest waits for the close";
    SendMessageW(tool->Handle(), WM_CLOSE, 0, 0);
    EXPECT_NE(ini().find(u"[Option]\r\nTopMost=0\r\nHotkeySay=Win+F5\r\nHotkeySayNext=Ctrl+Alt+"
                         u"K\r\nHotkeyPrevious=Ctrl+Alt+P\r\nHotkeyNext=\r\n"),
              std::u16string::npos)
        << test::ReadBytes(dir_.Path("chat.ini"));

    // A new macro's key, through the window's menu: written and registered.
    test::WriteBytes(dir_.Path("chat.ini"), ToAnsi(u"[MacroHotkeys]\r\nF7=旧名\r\n"));
    const auto again = Open();
    test::DialogDriver takeover(GetCurrentThreadId(), [](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_MACRO_LINE_FIRST, L"n");
        test::SetHotkeyField(dialog, IDC_MACRO_HOTKEY, MAKEWORD(VK_F7, 0));
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        // The question over the dialog, a box of its own.
        EXPECT_NE(test::AnswerBoxOver(dialog, IDYES), L"") << "no question came";
    });
    Command(*again, MenuCommand::NewMacro);
    ASSERT_TRUE(takeover.Drove());
    EXPECT_EQ(ini(), u"[MacroHotkeys]\r\nF7=n\r\n") << "taken over from the title no macro has";
    EXPECT_TRUE(test::HotkeyHeld(0, VK_F7));
}

std::wstring PreviewAt(HWND list, int entry);

// While finding, a row is not a macro's place in the file: the preview, the
// menu, a move and a deletion all act on the macro shown on the row. The box
// takes the top of the list's place, the buttons stay; hidden, the list has
// all of it again.
TEST_F(MainWindowTest, WhileFindingEveryCommandActsOnTheMacroShownOnTheRow) {
    WriteMacros(u"ありがとう\tお礼\r\nx\tほか\r\ny\tべつ\r\nどうも\tお礼2\r\n");
    const auto tool = Open(SW_SHOW);
    const HWND list = ListOf(*tool);
    const auto place = [&](HWND control) {
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, tool->Handle(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    const RECT whole = place(list);
    SendMessageW(list, WM_CHAR, u'礼', 0);
    ASSERT_EQ(Titles(*tool), (std::vector<std::wstring>{L"お礼", L"お礼2"}));
    const HWND box = GetFocus();
    const RECT shown = place(list);
    EXPECT_EQ(place(box).top, whole.top);
    EXPECT_LE(place(box).bottom, shown.top);
    EXPECT_LE(place(box).right, place(GetDlgItem(tool->Handle(), 105)).left) << "the count beside";
    EXPECT_EQ(shown.bottom, whole.bottom);

    EXPECT_EQ(PreviewAt(list, 1), L"どうも");
    HMENU menu = GetSystemMenu(tool->Handle(), FALSE);
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    SendMessageW(tool->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
                 MAKELPARAM(0, TRUE));
    EXPECT_NE(
        GetMenuState(menu, static_cast<UINT>(MenuCommand::MoveDown), MF_BYCOMMAND) & MF_GRAYED, 0u)
        << "the last row shown";

    SendMessageW(list, LB_SETCURSEL, 0, 0);
    Command(*tool, MenuCommand::MoveDown);
    ASSERT_TRUE(test::PumpUntil([&] {
        return Titles(*tool) == std::vector<std::wstring>{L"お礼2", L"お礼"};
    }));
    EXPECT_EQ(FromAnsi(test::ReadBytes(dir_.Path("chat.txt"))),
              u"どうも\tお礼2\r\nx\tほか\r\ny\tべつ\r\nありがとう\tお礼\r\n");
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1) << "the moved macro";
    test::ModalAnswerer yes(GetCurrentThreadId(), IDYES);
    Command(*tool, MenuCommand::DeleteMacro);
    ASSERT_TRUE(yes.Answered());
    ASSERT_TRUE(test::PumpUntil([&] { return Titles(*tool).size() == 1; }));
    EXPECT_EQ(FromAnsi(test::ReadBytes(dir_.Path("chat.txt"))),
              u"どうも\tお礼2\r\nx\tほか\r\ny\tべつ\r\n");

    SendMessageW(box, WM_KEYDOWN, VK_ESCAPE, 0);
    SendMessageW(box, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(IsWindowVisible(box));
    const RECT again = place(list);
    EXPECT_TRUE(EqualRect(&whole, &again));
}

// Keys typed into the find box edit the query, pressed as the tool's loop
// takes them: none may reach the tool's Delete, Insert or Ctrl+Z, which
// would delete, add or undo a macro while the user only fixes a typo.
TEST_F(MainWindowTest, TheFindBoxsEditingKeysEditTheQueryNeverTheMacros) {
    WriteMacros(u"x\tabc\r\ny\tabd\r\n");
    const auto tool = Open();
    SendMessageW(ListOf(*tool), LB_SETCURSEL, 0, 0);
    Command(*tool, MenuCommand::MoveDown);  // something for a stray Ctrl+Z to undo
    const std::string moved = "y\tabd\r\nx\tabc\r\n";
    ASSERT_TRUE(test::PumpUntil([&] { return test::ReadBytes(dir_.Path("chat.txt")) == moved; }));
    SendMessageW(ListOf(*tool), WM_CHAR, u'a', 0);
    const HWND box = GetFocus();
    SetWindowTextW(box, L"abc");
    const test::ModalAnswerer unasked(GetCurrentThreadId(), IDCANCEL);

    struct Press {
        int from, to;  // the box's selection before
        BYTE modifier;
        WORD key;
        const wchar_t* text;  // the box's text after
        DWORD selection;      // and its selection
    };
    const Press presses[] = {
        {3, 3, VK_SHIFT, VK_HOME, L"abc", MAKELONG(0, 3)},
        {0, 3, VK_CONTROL, 'C', L"abc", MAKELONG(0, 3)},
        {0, 1, 0, VK_DELETE, L"bc", MAKELONG(0, 0)},
        {0, 0, VK_CONTROL, 'Z', L"abc", 0},
        {1, 3, VK_CONTROL, 'X', L"a", MAKELONG(1, 1)},
        {1, 1, VK_CONTROL, 'V', L"abc", MAKELONG(3, 3)},
        {1, 1, 0, VK_INSERT, L"abc", MAKELONG(1, 1)},
        {0, 0, VK_SHIFT, VK_END, L"abc", MAKELONG(0, 3)},
    };
    for (const Press& press : presses) {
        if (press.key != 'Z') SendMessageW(box, EM_SETSEL, press.from, press.to);
        BYTE keys[256] = {};
        keys[press.modifier] = 0x80;
        SetKeyboardState(keys);
        MSG message{box, WM_KEYDOWN, press.key, 1, GetTickCount(), {}};
        tool->Dispatch(message);
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) tool->Dispatch(message);
        keys[press.modifier] = 0;
        SetKeyboardState(keys);
        // A question answered here would leave the next one to hang.
        ASSERT_EQ(unasked.Text(), L"") << press.key << ": no dialog, no question";
        EXPECT_EQ(test::TextOf(box), press.text) << press.key;
        if (press.key != 'Z') {
            EXPECT_EQ(SendMessageW(box, EM_GETSEL, 0, 0), press.selection) << press.key;
        }
    }
    EXPECT_EQ(test::ReadBytes(dir_.Path("chat.txt")), moved) << "nothing deleted, added or undone";
    EXPECT_EQ(Titles(*tool), std::vector<std::wstring>{L"abc"}) << "the query as edited";
    MSG tab{box, WM_KEYDOWN, VK_TAB, 1, GetTickCount(), {}};
    tool->Dispatch(tab);
    EXPECT_EQ(GetFocus(), ListOf(*tool)) << "Tab leaves the box";
}

// Enter held where nothing comes forward after a saying (a client showing
// only its log window, a refused send): the keyboard repeats the key-down,
// bit 30 set, and each repeat came to 発言 as a new press. One press says
// one macro, in the list and in the find box, as the tool's loop takes them.
TEST_F(MainWindowTest, EnterHeldDownSaysTheMacroOncePerPress) {
    WriteMacros(u"a\r\nb\r\n");
    const auto tool = Open();
    const HWND list = ListOf(*tool);
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    SendMessageW(list, WM_CHAR, u'b', 0);  // opens the find box
    const HWND box = GetDlgItem(tool->Handle(), MacroFinder::kBox);
    for (const HWND where : {list, box}) {
        const auto said = window_counts::Get(tool->Handle(), window_counts::kDeliveries);
        for (const LPARAM keyData : {0x00000001, 0x40000001, 0x40000001, 0x40000001, 0x00000001}) {
            MSG enter{where, WM_KEYDOWN, VK_RETURN, keyData, GetTickCount(), {}};
            tool->Dispatch(enter);
        }
        EXPECT_EQ(window_counts::Get(tool->Handle(), window_counts::kDeliveries), said + 2)
            << (where == list ? "the list" : "the find box");
    }
}

class OnAShare : public MainWindowTest {
  protected:
    test::StalledShare share_;
};

// The window answers while a share holds a reading; the file chosen is shown
// even if the one shown changes meanwhile; a newer load wins.
TEST_F(OnAShare, AFileIsReadOffTheWindowsThreadAndANewerLoadWins) {
    WriteMacros(u"a\r\n");
    WriteMacros(u"x\r\n", "other.txt");
    WriteMacros(u"z\r\n", "third.txt");
    const auto tool = Open();
    ASSERT_TRUE(test::PumpUntil([&] { return Titles(*tool) == std::vector<std::wstring>{L"a"}; }));
    share_.first.Hold(u"other.txt");
    Drop(*tool, dir_.Path("other.txt"));  // returns while the reading waits
    ASSERT_TRUE(test::PumpUntil([&] { return share_.first.Met(); }));
    WriteMacros(u"changed\r\n");
    const auto looks = [&] {
        return window_counts::Get(tool->Handle(), window_counts::kFileLooks);
    };
    ASSERT_TRUE(test::PumpUntil([&] { return looks() >= 2; })) << "the change seen, put off";
    EXPECT_EQ(Titles(*tool), std::vector<std::wstring>{L"a"}) << "the list shown meanwhile";
    {
        test::DialogDriver none(GetCurrentThreadId(), [](HWND) {});
        Command(*tool, MenuCommand::NewMacro);
        EXPECT_FALSE(none.Drove(std::chrono::milliseconds(0))) << "no edit of a list about to go";
    }
    share_.first.Release();
    EXPECT_TRUE(test::PumpUntil([&] { return Titles(*tool) == std::vector<std::wstring>{L"x"}; }))
        << "the file chosen, not the one left";

    const auto ended = [&] { return window_counts::Get(tool->Handle(), window_counts::kReadings); };
    share_.second.Hold(u"third.txt");
    Drop(*tool, dir_.Path("third.txt"));
    ASSERT_TRUE(test::PumpUntil([&] { return share_.second.Met(); }));
    const std::uintptr_t before = ended();
    Drop(*tool, dir_.Path("chat.txt"));
    ASSERT_TRUE(
        test::PumpUntil([&] { return Titles(*tool) == std::vector<std::wstring>{L"changed"}; }));
    share_.second.Release();
    ASSERT_TRUE(test::PumpUntil([&] { return ended() == before + 2; }));
    EXPECT_EQ(Titles(*tool), std::vector<std::wstring>{L"changed"})
        << "the older reading, done last, dropped";
}

// There too the window answers, a key follows its macro's new title (in the
// settings file and registered again), and a quit asked for meanwhile is
// handed on to the loop outside.
TEST_F(OnAShare, AnEditIsMadeOffTheWindowsThread) {
    WriteMacros(u"a\r\nb\r\n");
    test::WriteBytes(dir_.Path("chat.ini"), "[MacroHotkeys]\r\nF7=a\r\n");
    const auto tool = Open();
    ASSERT_TRUE(test::PumpUntil([&] { return Titles(*tool).size() == 2; }));
    SendMessageW(ListOf(*tool), LB_SETCURSEL, 0, 0);
    test::DialogDriver rename(GetCurrentThreadId(), [](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_MACRO_TITLE, L"c");
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    share_.first.Hold(u"chat.txt");
    std::atomic<bool> answered{false};
    const DWORD windowsThread = GetCurrentThreadId();
    std::thread other([&] {
        EXPECT_TRUE(test::PumpUntil([&] { return share_.first.Met(); }));
        DWORD_PTR ignored = 0;
        answered =
            SendMessageTimeoutW(tool->Handle(), WM_NULL, 0, 0, SMTO_NORMAL, 3000, &ignored) != 0;
        PostThreadMessageW(windowsThread, WM_QUIT, 7, 0);
        share_.first.Release();
    });
    Command(*tool, MenuCommand::EditMacro);
    other.join();
    MSG quit{};  // looked for before anything here pumps
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && quit.wParam == 7)
        << "the quit is the outer loop's";
    ASSERT_TRUE(rename.Drove());
    EXPECT_TRUE(share_.first.Met()) << "the edit read the file";
    EXPECT_TRUE(answered) << "the window answered while the edit waited";
    EXPECT_EQ(test::ReadBytes(dir_.Path("chat.txt")), "a\tc\r\nb\r\n");
    EXPECT_EQ(test::ReadBytes(dir_.Path("chat.ini")), "[MacroHotkeys]\r\nF7=c\r\n")
        << "the key moved on the edit's copy of the keys is the window's";
    EXPECT_TRUE(test::PumpUntil([&] {
        return Titles(*tool) == std::vector<std::wstring>{L"c", L"b"};
    }));
    EXPECT_TRUE(test::HotkeyHeld(0, VK_F7));
}

// The tooltip's text with the mouse at `at` in the list, as the list's own
// mouse message leads to it.
std::wstring PreviewAtPoint(HWND list, POINT at) {
    SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    HWND tip = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
    while (tip != nullptr && GetWindow(tip, GW_OWNER) != GetParent(list)) {
        tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr);
    }
    if (tip == nullptr) return L"";
    std::wstring text(1024, L'\0');
    TOOLINFOW info{sizeof info, 0, list, 1, {}, nullptr, text.data(), 0, nullptr};
    SendMessageW(tip, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&info));
    text.resize(wcslen(text.c_str()));
    return text;
}

std::wstring PreviewAt(HWND list, int entry) {
    RECT item{};
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(entry), reinterpret_cast<LPARAM>(&item));
    return PreviewAtPoint(list, {item.left + 5, (item.top + item.bottom) / 2});
}

TEST_F(MainWindowTest, HoveringAnEntryPreviewsWhatTheGameReceivesAfterEveryReloadToo) {
    WriteMacros(u"一行目\\n二行目\t見出し\r\n同じ\r\n");
    const auto tool = Open(SW_SHOW);
    HWND list = ListOf(*tool);
    EXPECT_EQ(PreviewAt(list, 0), L"一行目\r\n二行目");
    EXPECT_EQ(PreviewAt(list, 1), L"") << "its title says it all";
    EXPECT_EQ(PreviewAt(list, 0), L"一行目\r\n二行目");
    WriteMacros(u"新しい\t見出し\r\n");
    ASSERT_TRUE(test::PumpUntil([&] { return Titles(*tool).size() == 1; }));
    EXPECT_EQ(PreviewAt(list, 0), L"新しい") << "the refilled list's own";

    // Another list came (a key, a tab) with the mouse still: below its
    // entries there is nothing to preview, not the last list's message.
    SendMessageW(list, WM_KEYDOWN, VK_END, 0);
    RECT client{};
    GetClientRect(list, &client);
    EXPECT_EQ(PreviewAtPoint(list, {5, client.bottom - 2}), L"");
}

}  // namespace
}  // namespace kiv
