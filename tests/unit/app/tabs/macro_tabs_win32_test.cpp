// The tabs on the real window in this process: the strip only with a second
// file, the keys between tabs, each tab's own place and query, its menu, and
// a macro's key working from a tab not shown.

#include "app/tabs/macro_tabs_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/common/resource.h"
#include "app/window/main_window_win32.h"
#include "platform/ansi_text.h"
#include "support/in_process_window.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

class MacroTabsTest : public testing::Test {
  protected:
    std::unique_ptr<MainWindow> Open() {
        auto tool = std::make_unique<MainWindow>(GetModuleHandleW(nullptr), dir_.File("chat.exe"));
        EXPECT_TRUE(tool->Open(SW_HIDE));
        return tool;
    }
    void Write(const std::string& name, const std::u16string& text) {
        test::WriteBytes(dir_.Path(name), ToAnsi(text));
    }
    std::u16string Ini() const { return FromAnsi(test::ReadBytes(dir_.Path("chat.ini"))); }
    static HWND ListOf(const MainWindow& tool) {
        return FindWindowExW(tool.Handle(), nullptr, L"ListBox", nullptr);
    }
    static HWND StripOf(const MainWindow& tool) {
        return FindWindowExW(tool.Handle(), nullptr, WC_TABCONTROLW, nullptr);
    }
    static HWND BoxOf(const MainWindow& tool) {
        return FindWindowExW(tool.Handle(), nullptr, L"Edit", nullptr);
    }
    static std::vector<std::wstring> Titles(const MainWindow& tool) {
        std::vector<std::wstring> titles;
        wchar_t text[256] = {};
        for (WPARAM i = 0;
             SendMessageW(ListOf(tool), LB_GETTEXT, i, reinterpret_cast<LPARAM>(text)) >= 0; ++i) {
            titles.emplace_back(text);
        }
        return titles;
    }
    static std::vector<std::wstring> Tabs(const MainWindow& tool) {
        std::vector<std::wstring> tabs;
        const HWND strip = StripOf(tool);
        for (int i = 0; strip != nullptr && i < TabCtrl_GetItemCount(strip); ++i) {
            wchar_t text[128] = {};
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = 128;
            TabCtrl_GetItem(strip, i, &item);
            tabs.emplace_back(text);
        }
        return tabs;
    }
    // Shown once the window is: the tests keep it hidden.
    static bool Shows(HWND window) {
        return (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
    }
    static int Selected(const MainWindow& tool) {
        return static_cast<int>(SendMessageW(ListOf(tool), LB_GETCURSEL, 0, 0));
    }
    // A key pressed in the list with these modifiers held, as the loop sees it.
    static void Press(MainWindow& tool, WPARAM key, std::initializer_list<int> held,
                      LPARAM keyData = 0) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        for (const int k : held) keys[k] = 0x80;
        SetKeyboardState(keys);
        MSG message{ListOf(tool), WM_KEYDOWN, key, keyData, 0, {}};
        tool.Dispatch(message);
        for (const int k : held) keys[k] = 0;
        SetKeyboardState(keys);
    }
    // A file dropped from Explorer on the list (or the strip), with Ctrl held or not.
    static void Drop(const MainWindow& tool, const std::filesystem::path& path, bool ctrl,
                     bool onStrip = false) {
        const std::wstring list = path.wstring() + L'\0' + L'\0';
        HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
        auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
        RECT titles{};  // where it lands: its middle
        GetWindowRect(onStrip ? StripOf(tool) : ListOf(tool), &titles);
        MapWindowPoints(nullptr, tool.Handle(), reinterpret_cast<POINT*>(&titles), 2);
        const POINT at{(titles.left + titles.right) / 2, (titles.top + titles.bottom) / 2};
        *files = DROPFILES{.pFiles = sizeof(DROPFILES), .pt = at, .fNC = FALSE, .fWide = TRUE};
        std::copy(list.begin(), list.end(), reinterpret_cast<wchar_t*>(files + 1));
        GlobalUnlock(drop);
        // Held as a drag from another program holds it: the system's state,
        // not this thread's.
        const auto ctrlKey = [](DWORD flags) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = VK_CONTROL;
            input.ki.dwFlags = flags;
            SendInput(1, &input, sizeof input);
        };
        if (ctrl) ctrlKey(0);
        if (ctrl) test::PumpUntil([] { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0; });
        SendMessageW(tool.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        if (ctrl) ctrlKey(KEYEVENTF_KEYUP);
        test::PumpUntil([] { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) == 0; });
    }
    // The strip's menu from the keyboard (the shown tab's), `keys` pressed in it.
    static void InTabMenu(MainWindow& tool, const std::vector<WPARAM>& keys) {
        std::thread user([thread = GetCurrentThreadId(), window = tool.Handle(), keys] {
            const HWND popup = test::ShownMenuOf(thread, window);
            for (const WPARAM key : keys) PostMessageW(popup, WM_KEYDOWN, key, 0);
        });
        SendMessageW(tool.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(StripOf(tool)),
                     MAKELPARAM(-1, -1));
        user.join();
    }

    test::TempDir dir_;
};

std::u16string Digits(int number) {
    const std::string digits = std::to_string(number);
    return {digits.begin(), digits.end()};
}

const std::vector<std::wstring> kChat = {L"挨拶", L"お礼", L"回復"};
const std::vector<std::wstring> kParty = {L"集合", L"出発"};

TEST_F(MacroTabsTest, ASecondFileOpensInATabAndEachKeepsItsPlaceAndQuery) {
    Write("chat.txt", u"こんにちは\t挨拶\r\nありがとう\tお礼\r\nかいふく\t回復\r\n");
    Write("party.txt", u"あつまれ\t集合\r\nしゅっぱつ\t出発\r\n");
    auto tool = Open();
    EXPECT_EQ(StripOf(*tool), nullptr) << "one file: the window as it always was";
    SendMessageW(ListOf(*tool), LB_SETCURSEL, 2, 0);
    Drop(*tool, dir_.Path("party.txt"), false);
    ASSERT_TRUE(test::PumpUntil([&] { return Titles(*tool) == kParty; }));
    EXPECT_EQ(StripOf(*tool), nullptr) << "a plain drop takes the tab's place";
    EXPECT_EQ(Ini().find(u"[Tabs]"), std::u16string::npos) << "the settings as they always were";
    Drop(*tool, dir_.Path("chat.txt"), true);
    ASSERT_TRUE(test::PumpUntil([&] { return Titles(*tool) == kChat; }));
    ASSERT_NE(StripOf(*tool), nullptr);
    EXPECT_TRUE(Shows(StripOf(*tool)));
    EXPECT_EQ(Tabs(*tool), (std::vector<std::wstring>{L"party", L"chat"}));
    const std::u16string tabs = u"[Tabs]\r\nFile1=" + dir_.Path("party.txt").u16string() +
                                u"\r\nFile2=" + dir_.Path("chat.txt").u16string() +
                                u"\r\nActive=2\r\n";
    EXPECT_NE(Ini().find(tabs), std::u16string::npos) << "kept once a second tab opened";

    // Each tab's own selection and query, through every key that switches.
    SendMessageW(ListOf(*tool), LB_SETCURSEL, 1, 0);
    Press(*tool, VK_TAB, {VK_CONTROL});
    EXPECT_EQ(Titles(*tool), kParty);
    SendMessageW(ListOf(*tool), WM_CHAR, u's', 0);  // opens the find box
    for (const char16_t c : std::u16string(u"hu")) SendMessageW(BoxOf(*tool), WM_CHAR, c, 0);
    ASSERT_EQ(Titles(*tool), std::vector<std::wstring>{L"出発"});
    Press(*tool, VK_NEXT, {VK_CONTROL});
    EXPECT_EQ(Titles(*tool), kChat) << "its own query: none";
    EXPECT_EQ(Selected(*tool), 1);
    EXPECT_FALSE(Shows(BoxOf(*tool)));
    SetFocus(ListOf(*tool));
    ASSERT_EQ(GetFocus(), ListOf(*tool));
    Press(*tool, VK_TAB, {VK_CONTROL, VK_SHIFT});
    EXPECT_EQ(GetFocus(), BoxOf(*tool)) << "the query takes the keys it took";
    EXPECT_EQ(Titles(*tool), std::vector<std::wstring>{L"出発"});
    EXPECT_EQ(test::TextOf(BoxOf(*tool)), L"shu");
    SendMessageW(BoxOf(*tool), WM_CHAR, u'x', 0);
    EXPECT_EQ(test::TextOf(BoxOf(*tool)), L"shux") << "typing goes on at its end";
    SendMessageW(BoxOf(*tool), WM_CHAR, VK_BACK, 0);
    Press(*tool, VK_PRIOR, {VK_CONTROL});
    EXPECT_EQ(Titles(*tool), kChat) << "wrapping";

    // A file open already is shown, never opened twice.
    Drop(*tool, dir_.Path("party.txt"), true);
    EXPECT_EQ(Tabs(*tool), (std::vector<std::wstring>{L"party", L"chat"}));
    EXPECT_EQ(Titles(*tool), std::vector<std::wstring>{L"出発"});

    // The menu's first item closes the tab shown; the last one stays.
    InTabMenu(*tool, {VK_DOWN, VK_RETURN});
    ASSERT_TRUE(test::PumpUntil([&] { return Titles(*tool) == kChat; }));
    EXPECT_FALSE(Shows(StripOf(*tool)));
    EXPECT_NE(
        Ini().find(u"[Tabs]\r\nFile1=" + dir_.Path("chat.txt").u16string() + u"\r\nActive=1\r\n"),
        std::u16string::npos)
        << "one tab, still listed";
    EXPECT_EQ(Selected(*tool), 1) << "the tab shown next kept its place";
}

// Three tabs and then sixteen: the keys step each way and move and close, a
// tab moved takes its list along, an edit is undone only in its own tab, and a
// seventeenth is refused.
TEST_F(MacroTabsTest, TabsStepMoveAndUndoTheirOwnUpToSixteen) {
    std::u16string many;
    for (int i = 0; i < 100; ++i) many += u"m\t行" + Digits(i) + u"\r\n";
    Write("chat.txt", many);
    Write("party.txt", u"あつまれ\t集合\r\nしゅっぱつ\t出発\r\n");
    Write("raid.txt", u"とつげき\t突撃\r\n");
    const std::vector<std::wstring> raid = {L"突撃"};
    auto tool = Open();
    ASSERT_TRUE(test::PumpUntil([&] { return Titles(*tool).size() == 100; }));
    SendMessageW(ListOf(*tool), LB_SETCURSEL, 45, 0);
    SendMessageW(ListOf(*tool), LB_SETTOPINDEX, 40, 0);
    const auto top = [&] { return SendMessageW(ListOf(*tool), LB_GETTOPINDEX, 0, 0); };
    ASSERT_EQ(top(), 40);
    Drop(*tool, dir_.Path("party.txt"), true);
    Drop(*tool, dir_.Path("raid.txt"), true);
    ASSERT_TRUE(test::PumpUntil([&] { return Titles(*tool) == raid; }));

    Press(*tool, VK_NEXT, {VK_CONTROL});
    EXPECT_TRUE(test::PumpUntil([&] { return Titles(*tool).size() == 100 && top() == 40; }))
        << "PageDown wraps to the first, scrolled as it was left";
    EXPECT_EQ(Selected(*tool), 45);
    Press(*tool, VK_PRIOR, {VK_CONTROL});
    Press(*tool, VK_PRIOR, {VK_CONTROL});
    ASSERT_EQ(Titles(*tool), kParty);

    SendMessageW(ListOf(*tool), LB_SETCURSEL, 0, 0);
    const std::string party = test::ReadBytes(dir_.Path("party.txt"));
    const auto run = [&](MenuCommand command) {
        SendMessageW(tool->Handle(), WM_SYSCOMMAND, static_cast<WPARAM>(command), 0);
    };
    run(MenuCommand::MoveDown);
    ASSERT_EQ(Titles(*tool), (std::vector<std::wstring>{L"出発", L"集合"}));
    Press(*tool, VK_TAB, {VK_CONTROL});
    ASSERT_EQ(Titles(*tool), raid);
    run(MenuCommand::Undo);
    EXPECT_NE(test::ReadBytes(dir_.Path("party.txt")), party) << "another tab's edit stays";
    Press(*tool, VK_TAB, {VK_CONTROL, VK_SHIFT});
    run(MenuCommand::Undo);
    EXPECT_EQ(test::ReadBytes(dir_.Path("party.txt")), party);

    InTabMenu(*tool, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});  // 右へ移動
    EXPECT_EQ(Tabs(*tool), (std::vector<std::wstring>{L"chat", L"raid", L"party"}));
    EXPECT_EQ(Titles(*tool), kParty);
    Press(*tool, VK_PRIOR, {VK_CONTROL});
    EXPECT_EQ(Titles(*tool), raid) << "the list went with its tab";
    Press(*tool, VK_PRIOR, {VK_CONTROL, VK_SHIFT});
    EXPECT_EQ(Tabs(*tool), (std::vector<std::wstring>{L"raid", L"chat", L"party"}));
    EXPECT_EQ(Titles(*tool), raid);
    Write("swap.txt", u"こうたい\t交代\r\n");
    Drop(*tool, dir_.Path("swap.txt"), false);
    ASSERT_TRUE(
        test::PumpUntil([&] { return Titles(*tool) == std::vector<std::wstring>{L"交代"}; }));
    EXPECT_EQ(Tabs(*tool), (std::vector<std::wstring>{L"swap", L"chat", L"party"}))
        << "a plain drop: the shown tab's file replaced";

    for (int i = 4; i <= 17; ++i) {
        const std::string name = "f" + std::to_string(i) + ".txt";
        Write(name, u"x\t題" + Digits(i) + u"\r\n");
        if (i == 17) break;
        Drop(*tool, dir_.Path(name), i != 4, i == 4);  // on the strip: a tab, Ctrl or not
        ASSERT_TRUE(test::PumpUntil([&] {
            return Titles(*tool) == std::vector<std::wstring>{L"題" + std::to_wstring(i)};
        }));
    }
    ASSERT_EQ(Tabs(*tool).size(), 16u);
    test::ModalAnswerer told(GetCurrentThreadId(), IDOK);
    Drop(*tool, dir_.Path("f17.txt"), true);
    ASSERT_TRUE(told.Answered());
    EXPECT_NE(told.Text().find(L"16"), std::wstring::npos) << told.Text();
    EXPECT_EQ(Tabs(*tool).size(), 16u);
    EXPECT_EQ(Titles(*tool), std::vector<std::wstring>{L"題16"});

    InTabMenu(*tool, {VK_DOWN, VK_RETURN});  // the last tab, shown, closes
    ASSERT_TRUE(test::PumpUntil([&] {
        return Titles(*tool) == std::vector<std::wstring>{L"題15"};
    })) << "the tab before it shown";
    EXPECT_EQ(Tabs(*tool).back(), L"f15");
    SendMessageW(BoxOf(*tool), WM_IME_STARTCOMPOSITION, 0, 0);
    Press(*tool, 'W', {VK_CONTROL});
    EXPECT_EQ(Tabs(*tool).size(), 15u) << "a key of the input method's while it composes";
    SendMessageW(BoxOf(*tool), WM_IME_ENDCOMPOSITION, 0, 0);
    Press(*tool, 'W', {VK_CONTROL});
    EXPECT_EQ(Titles(*tool), std::vector<std::wstring>{L"題14"});
    Press(*tool, VK_F4, {VK_CONTROL}, 1 << 30);  // the key held down
    EXPECT_EQ(Tabs(*tool).size(), 14u) << "a key held closes one tab";
    Press(*tool, VK_F4, {VK_CONTROL});
    EXPECT_EQ(Titles(*tool), std::vector<std::wstring>{L"題13"});
}

TEST_F(MacroTabsTest, AKeyOfATabNotShownWorksAndIsNeverCalledGone) {
    Write("chat.txt", u"こんにちは\t挨拶\r\n");
    Write("party.txt", u"あつまれ\t集合\r\n");
    Write("chat.ini", u"[Setting]\r\nFileName=" + dir_.Path("chat.txt").u16string() +
                          u"\r\n[Tabs]\r\nFile1=" + dir_.Path("chat.txt").u16string() +
                          u"\r\nFile2=" + dir_.Path("party.txt").u16string() + u"\r\nFile3=" +
                          dir_.Path("gone.txt").u16string() +
                          u"\r\nActive=2\r\n[MacroHotkeys]\r\nF9=集合\r\nF10=消えた\r\n" +
                          u"[RecentFiles]\r\nFile1=" + dir_.Path("chat.txt").u16string() +
                          u"\r\nFile2=" + dir_.Path("other.txt").u16string() + u"\r\nFile3=" +
                          dir_.Path("party.txt").u16string() + u"\r\n");
    if (test::HotkeyHeld(0, VK_F9)) GTEST_SKIP() << "F9 is taken on this desktop";
    auto tool = Open();
    ASSERT_TRUE(test::PumpUntil([&] {
        return Titles(*tool) == std::vector<std::wstring>{L"挨拶"};
    })) << "FileName wins over Active";
    EXPECT_TRUE(test::PumpUntil([] { return test::HotkeyHeld(0, VK_F9); }))
        << "the other tab's macro's key is registered";

    // A tab whose file went stays, empty, and says why once the player looks.
    EXPECT_EQ(Tabs(*tool), (std::vector<std::wstring>{L"chat", L"party", L"gone"}));
    test::ModalAnswerer told(GetCurrentThreadId(), IDOK);
    ShowWindow(tool->Handle(), SW_SHOW);
    ASSERT_TRUE(test::PumpUntil([&] {
        SetForegroundWindow(tool->Handle());
        return GetForegroundWindow() == tool->Handle();
    }));
    ASSERT_TRUE(told.Answered());
    EXPECT_EQ(told.Text(),
              L"以下のタブのマクロファイルが見つかりません。移動したか、削除された可能性があります"
              L"。\n\n" +
                  dir_.Path("gone.txt").wstring() +
                  L"\n\nそのタブを右クリックして [タブを閉じる] を選ぶ (Ctrl+W でも閉じます) か、"
                  L"そのタブを表示して [設定再読込] でほかのファイルを開いてください。");
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("gone.txt"))) << "never made anew";

    std::vector<std::wstring> lines;
    test::DialogDriver settings(GetCurrentThreadId(), [&](HWND dialog) {
        const HWND list = GetDlgItem(dialog, IDC_HOTKEY_MACROS);
        for (int i = 0; i < static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); ++i) {
            wchar_t text[256] = {};
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            lines.emplace_back(text);
        }
    });
    SendMessageW(tool->Handle(), WM_SYSCOMMAND, static_cast<WPARAM>(MenuCommand::HotkeySettings),
                 0);
    ASSERT_TRUE(settings.Drove());
    EXPECT_EQ(lines, (std::vector<std::wstring>{
                         L"F9: 集合",
                         L"F10: 消えた (開いているどのタブにもないタイトルのため働きません)"}));

    tool.reset();
    const std::u16string ini = Ini();
    const std::size_t recent = ini.find(u"[RecentFiles]");
    ASSERT_NE(recent, std::u16string::npos);
    const auto at = [&](const char* name) { return ini.find(dir_.Path(name).u16string(), recent); };
    EXPECT_LT(at("chat.txt"), at("other.txt")) << "the tabs read at start-up are no use";
    EXPECT_LT(at("other.txt"), at("party.txt"));
}

}  // namespace
}  // namespace kiv
