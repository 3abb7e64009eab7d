// The macro dialog in this process, driven from a thread of its own while the modal loop holds
// ours.

#include "app/editing/macro_dialog_win32.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <regex>
#include <set>
#include <vector>

#include "app/common/resource.h"
#include "app/hotkeys/hotkey_conflicts.h"
#include "app/hotkeys/tool_hotkeys_win32.h"
#include "platform/local_clock.h"
#include "support/in_process_window.h"

namespace kiv {
namespace {

using test::AnswerBoxOver;
using test::TextIn;
using test::TextOf;

void SetLine(HWND dialog, int line, const wchar_t* text) {
    SetDlgItemTextW(dialog, IDC_MACRO_LINE_FIRST + line - 1, text);
}

void SetHotkeyField(HWND dialog, WORD value) {
    test::SetHotkeyField(dialog, IDC_MACRO_HOTKEY, value);
}

// True while the dialog stays open after OK.
bool StaysOpenOnOk(HWND dialog) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    return IsWindowVisible(dialog) != FALSE;
}

std::optional<MacroDialogResult> Show(const MacroDialogRequest& request,
                                      std::function<void(HWND)> drive) {
    test::DialogDriver driver(GetCurrentThreadId(), std::move(drive));
    std::optional<MacroDialogResult> result =
        ShowMacroDialog(nullptr, GetModuleHandleW(nullptr), request);
    EXPECT_TRUE(driver.Drove());
    return result;
}

const Hotkey kCtrlAltQ{kModCtrl | kModAlt, 'Q'};

// The system's message font, for the run of one test: Wine maps "MS Shell
// Dlg" to its message font's face, so a face of its own tells them apart.
class MessageFontAs {
  public:
    explicit MessageFontAs(const wchar_t* face, LONG height = 0) {
        old_.cbSize = sizeof old_;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof old_, &old_, 0);
        NONCLIENTMETRICSW changed = old_;
        wcscpy_s(changed.lfMessageFont.lfFaceName, face);
        if (height != 0) changed.lfMessageFont.lfHeight = height;
        SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof changed, &changed, 0);
    }
    ~MessageFontAs() { SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof old_, &old_, 0); }
    MessageFontAs(const MessageFontAs&) = delete;
    MessageFontAs& operator=(const MessageFontAs&) = delete;

  private:
    NONCLIENTMETRICSW old_{};
};

TEST(MacroDialog, OpensOnTheTitleSelectedPreviewsAsTypedAndCancelGivesNothing) {
    const MessageFontAs meiryo(L"Meiryo UI", -16);
    MacroDialogRequest request;
    request.macro = Macro(u"A", u"名前");
    // The tool's preview context: the next count, a choice and a question as they are.
    request.previewContext = [] {
        FillContext context{.clock = LocalTimeOfDay, .count = [] { return std::uint64_t{5}; }};
        context.preview = true;
        return context;
    };
    const auto result = Show(request, [](HWND dialog) {
        EXPECT_EQ(TextOf(dialog), L"マクロの編集");
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui);
        EXPECT_EQ(gui.hwndFocus, GetDlgItem(dialog, IDC_MACRO_TITLE));
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_MACRO_TITLE, EM_GETSEL, 0, 0), MAKELRESULT(0, 2))
            << "the whole title selected";
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_MACRO_REST)));
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        EXPECT_STREQ(font.lfFaceName, L"Meiryo UI") << "the message font's, not MS Shell Dlg's";
        EXPECT_EQ(font.lfHeight, -16) << "and its size, 12 points at 96 DPI";

        SetLine(dialog, 2, L"<now>");
        SetLine(dialog, 3, L"♥です");
        const std::wstring preview = TextIn(dialog, IDC_MACRO_PREVIEW);
        EXPECT_TRUE(std::regex_match(preview, std::wregex(L"A\r\n\\d\\d:\\d\\d:\\d\\d\r\n\\?です")))
            << preview;
        SetLine(dialog, 1, L"<ask:誰に?> #<count> <rand:右|左>");
        EXPECT_TRUE(TextIn(dialog, IDC_MACRO_PREVIEW).starts_with(L"[誰に?] #5 右(ランダム)\r\n"))
            << TextIn(dialog, IDC_MACRO_PREVIEW);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(result);
}

// A face far too tall for the screen: the dialog is made again in the
// template's own font, whole on its monitor, rather than cut off.
TEST(MacroDialog, OneTooTallForItsMonitorInTheToolsFontIsMadeInItsOwn) {
    const MessageFontAs huge(L"Meiryo UI", -200);
    const auto result = Show({}, [](HWND dialog) {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        EXPECT_STRNE(font.lfFaceName, L"Meiryo UI");
        RECT frame{};
        GetWindowRect(dialog, &frame);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
        EXPECT_LE(frame.bottom - frame.top, monitor.rcWork.bottom - monitor.rcWork.top);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(result);
}

// A refusal stays until the field it names changes; a key's clash is told
// as the key is typed.
TEST(MacroDialog, ARefusalKeepsTheDialogOpenWithTheReasonUntilItsFieldChanges) {
    MacroDialogRequest request;
    request.macro = Macro(u"A", u"t");
    std::set<std::u16string> titlesAsked;
    request.hotkeyClash = [&](const Hotkey& key, const std::u16string& title) {
        titlesAsked.insert(title);
        return key == kCtrlAltQ
                   ? std::optional(MacroKeyClash{u"「B」が使っています。", {}})
                   : MacroKeyClashOf(key, title, u"t", {}, {}, [](auto) { return true; });
    };
    const auto status = [](HWND dialog) { return TextIn(dialog, IDC_MACRO_STATUS); };
    const auto result = Show(request, [&](HWND dialog) {
        SetLine(dialog, 1, L"");
        EXPECT_TRUE(StaysOpenOnOk(dialog));
        EXPECT_NE(status(dialog).find(L"1 行目"), std::wstring::npos);
        SetLine(dialog, 2, L"x");
        EXPECT_NE(status(dialog), L"") << "another field";
        SetLine(dialog, 1, L"♥");
        EXPECT_EQ(status(dialog), L"");

        EXPECT_TRUE(StaysOpenOnOk(dialog));
        EXPECT_NE(status(dialog).find(L"U+2665"), std::wstring::npos);
        SetLine(dialog, 1, L"B");
        SetLine(dialog, 2, L"");
        EXPECT_EQ(status(dialog), L"");
        SetDlgItemTextW(dialog, IDC_MACRO_TITLE, L"t\tu");
        EXPECT_TRUE(StaysOpenOnOk(dialog));
        EXPECT_NE(status(dialog).find(L"タイトル"), std::wstring::npos);
        SetDlgItemTextW(dialog, IDC_MACRO_TITLE, L"t");
        EXPECT_EQ(status(dialog), L"");

        SetHotkeyField(dialog, MAKEWORD('A', HOTKEYF_SHIFT));
        EXPECT_NE(status(dialog).find(L"Ctrl"), std::wstring::npos) << "told as typed";
        EXPECT_TRUE(StaysOpenOnOk(dialog));
        SetHotkeyField(dialog, MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT));
        EXPECT_EQ(status(dialog), L"「B」が使っています。");
        SetDlgItemTextW(dialog, IDC_MACRO_TITLE, L"t");
        EXPECT_EQ(status(dialog), L"「B」が使っています。");
        EXPECT_TRUE(StaysOpenOnOk(dialog));

        // Space with Ctrl is a key like another, where the field alone
        // would clear itself at it.
        // (The keys held are the dialog's thread's: this one shares them.)
        const DWORD dialogThread = GetWindowThreadProcessId(dialog, nullptr);
        AttachThreadInput(GetCurrentThreadId(), dialogThread, TRUE);
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = keys[VK_SHIFT] = 0x80;
        SetKeyboardState(keys);
        SendDlgItemMessageW(dialog, IDC_MACRO_HOTKEY, WM_KEYDOWN, VK_SPACE, 0);
        SendDlgItemMessageW(dialog, IDC_MACRO_HOTKEY, WM_CHAR, u' ', 0);
        keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        AttachThreadInput(GetCurrentThreadId(), dialogThread, FALSE);
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_MACRO_HOTKEY, HKM_GETHOTKEY, 0, 0),
                  MAKEWORD(VK_SPACE, HOTKEYF_CONTROL | HOTKEYF_SHIFT));
        EXPECT_EQ(status(dialog), L"") << "told as a key that may be set";

        // BackSpace clears the field, as the dialog says, though the field
        // itself tells no change then.
        SendDlgItemMessageW(dialog, IDC_MACRO_HOTKEY, WM_KEYDOWN, VK_BACK, 0);
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_MACRO_HOTKEY, HKM_GETHOTKEY, 0, 0), 0);
        EXPECT_EQ(status(dialog), L"");
        EXPECT_FALSE(StaysOpenOnOk(dialog));
    });
    EXPECT_EQ(titlesAsked, std::set<std::u16string>{u"t"});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->macro, Macro(u"B", u"t"));
    EXPECT_TRUE(result->macroChanged);
    EXPECT_EQ(result->hotkey, std::nullopt);
}

// Nothing is written then, and the key the field cannot show is kept.
TEST(MacroDialog, OkOnAMacroLeftAsItWasGivesItBackUnchangedWithItsWinKey) {
    MacroDialogRequest request;
    request.macro = Macro(u"A\\nB\\nC\\nD\\nE", u"t");
    request.hotkey = Hotkey{kModCtrl | kModWin, 'X'};
    request.hotkeyClash = [](const Hotkey&, const std::u16string&) {
        return std::optional(MacroKeyClash{u"使えません", {}});
    };
    const auto result = Show(request, [](HWND dialog) {
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_MACRO_REST)));
        EXPECT_EQ(TextIn(dialog, IDC_MACRO_REST), L"\\nD\\nE");
        EXPECT_EQ(TextIn(dialog, IDC_MACRO_PREVIEW), L"A\r\nB\r\nC\\nD\\nE");
        EXPECT_NE(TextIn(dialog, IDC_MACRO_STATUS).find(L"Ctrl+Win+X"), std::wstring::npos);
        EXPECT_FALSE(StaysOpenOnOk(dialog)) << TextIn(dialog, IDC_MACRO_STATUS);
    });
    ASSERT_TRUE(result);
    EXPECT_EQ(result->macro, request.macro);
    EXPECT_FALSE(result->macroChanged);
    EXPECT_EQ(result->hotkey, request.hotkey);
}

TEST(MacroDialog, ANewMacroInAUtf8FileMayHoldWhatCp932Lacks) {
    MacroDialogRequest request;
    request.isNew = true;
    request.fileEncoding = TextEncoding::Utf8;
    std::set<std::u16string> titlesAsked;
    request.hotkeyClash = [&](const Hotkey&, const std::u16string& title) {
        titlesAsked.insert(title);
        return std::optional<MacroKeyClash>();
    };
    const auto result = Show(request, [](HWND dialog) {
        EXPECT_EQ(TextOf(dialog), L"新しいマクロ");
        SetLine(dialog, 1, L"♥");
        SetLine(dialog, 3, L"x");
        SetHotkeyField(dialog, MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT));
        EXPECT_FALSE(StaysOpenOnOk(dialog)) << TextIn(dialog, IDC_MACRO_STATUS);
    });
    EXPECT_EQ(titlesAsked, std::set<std::u16string>{u"♥\\n\\nx"});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->macro, Macro(u"♥\\n\\nx", u"♥\\n\\nx"));
    EXPECT_TRUE(result->macroChanged);
    EXPECT_EQ(result->hotkey, kCtrlAltQ);
}

// F7 is the IME's: accepted, with what it costs under the field. A key kept
// for a title no macro has is the user's to take, and taken only on a yes.
TEST(MacroDialog, AnImeKeyIsToldUnderItsFieldAndAKeyThatDoesNothingMayBeTakenOver) {
    MacroDialogRequest request;
    request.macro = Macro(u"A", u"t");
    request.hotkeyClash = [](const Hotkey& key, const std::u16string&) {
        return key == Hotkey{0, VK_F7} ? std::optional(MacroKeyClash{u"付け替えますか?", u"旧名"})
                                       : std::nullopt;
    };
    const auto result = Show(request, [](HWND dialog) {
        EXPECT_EQ(TextIn(dialog, IDC_MACRO_HOTKEY_CAUTION), L"");
        SetHotkeyField(dialog, MAKEWORD(VK_F7, 0));
        EXPECT_NE(TextIn(dialog, IDC_MACRO_HOTKEY_CAUTION).find(L"F7 は日本語入力の変換キー"),
                  std::wstring::npos);
        EXPECT_NE(TextIn(dialog, IDC_MACRO_STATUS).find(L"「旧名」のキーとして残っています。OK を"),
                  std::wstring::npos)
            << "named as typed; OK asks";
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(AnswerBoxOver(dialog, IDNO), L"付け替えますか?");
        EXPECT_TRUE(test::PumpUntil([&] {
            return TextIn(dialog, IDC_MACRO_STATUS).find(L"別のキーに") != std::wstring::npos;
        }));
        EXPECT_TRUE(IsWindowVisible(dialog)) << "no: the dialog stays, and says why";
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(AnswerBoxOver(dialog, IDYES), L"付け替えますか?");
    });
    ASSERT_TRUE(result);
    EXPECT_EQ(result->hotkey, (Hotkey{0, VK_F7}));
    EXPECT_EQ(result->keyTakenFrom, u"旧名");
}

}  // namespace
}  // namespace kiv
