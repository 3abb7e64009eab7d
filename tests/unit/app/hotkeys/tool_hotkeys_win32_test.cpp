// The tool's global hotkeys with Windows: the actions' and the macros' keys
// together, and what another program holds.

#include "app/hotkeys/tool_hotkeys_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <vector>

#include "platform/handle_win32.h"
#include "support/in_process_window.h"

namespace kiv {
namespace {

// RegisterHotKey gives one error for a key another program holds and for one
// Windows keeps for itself, and Wine keeps none: a stand-in refuses them here.
BOOL WINAPI RefuseWinLAndCtrlAltK(HWND window, int id, UINT modifiers, UINT key) {
    const bool winL = (modifiers & MOD_WIN) != 0 && key == 'L';
    const bool ctrlAltK =
        (modifiers & (MOD_CONTROL | MOD_ALT)) == (MOD_CONTROL | MOD_ALT) && key == 'K';
    if (winL || ctrlAltK) {
        SetLastError(ERROR_HOTKEY_ALREADY_REGISTERED);
        return FALSE;
    }
    return RegisterHotKey(window, id, modifiers, key);
}

TEST(ToolHotkeys, TellWhatEachKeyIsForAndWhatWasRefusedAndBlameNoOtherProgramWrongly) {
    UniqueWindow window(
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    ASSERT_TRUE(RegisterHotKey(nullptr, 99, MOD_CONTROL | MOD_ALT,
                               'K'));  // as another program
    ToolHotkeys hotkeys;
    hotkeys.SetWindow(window.Get());
    Options options;
    options.hotkeys = {u"Ctrl+Alt+F9", u"Ctrl+Alt+F10", u"Ctrl+Alt+F11", u"Ctrl+Alt+N"};
    MacroHotkeys macros;
    macros.Set(u"回復", u"回復", Hotkey{kModCtrl | kModAlt, 'K'});
    macros.Set(u"挨拶", u"挨拶", Hotkey{kModCtrl | kModAlt, 'H'});
    macros.Set(u"消えた", u"消えた", Hotkey{kModCtrl | kModAlt, 'G'});

    const std::vector<HotkeyRefusal> refused = hotkeys.Register(
        options, macros, [](std::u16string_view title) { return title != u"消えた"; });
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].owner, u"回復");
    EXPECT_EQ(refused[0].key, u"Ctrl+Alt+K");
    EXPECT_NE(refused[0].reason.find(u"ほかのプログラム"), std::u16string::npos);
    // The ids WM_HOTKEY brings back, one per action in the dialog's order.
    const HotkeyAction actions[] = {HotkeyAction::Say, HotkeyAction::SayNext,
                                    HotkeyAction::Previous, HotkeyAction::Next};
    for (int id = 1; id <= 4; ++id) EXPECT_EQ(hotkeys.ActionOf(id), actions[id - 1]) << id;
    EXPECT_EQ(hotkeys.MacroTitleOf(0x101), u"挨拶");
    EXPECT_EQ(hotkeys.MacroTitleOf(4), std::nullopt);
    EXPECT_EQ(hotkeys.ActionRefusals(), (std::array<std::u16string, kHotkeyActions>{}));
    EXPECT_FALSE(test::HotkeyHeld(MOD_CONTROL | MOD_ALT, 'G'))
        << "the key of a title no macro has is left to other programs";
    EXPECT_TRUE(test::HotkeyHeld(MOD_CONTROL | MOD_ALT, 'N')) << "the tool's now";

    hotkeys.Release();
    EXPECT_EQ(hotkeys.ActionOf(4), std::nullopt) << "a late WM_HOTKEY asks for nothing";
    HotkeySet tried;
    tried[0] = Hotkey{kModCtrl | kModAlt, 'K'};
    const std::array<std::u16string, kHotkeyActions> trial = hotkeys.Try(tried);
    EXPECT_NE(trial[0].find(u"ほかのプログラム"), std::u16string::npos);
    EXPECT_EQ(trial[1] + trial[2] + trial[3], u"");
    EXPECT_FALSE(test::HotkeyHeld(MOD_CONTROL | MOD_ALT, 'N')) << "a trial leaves every key free";
    UnregisterHotKey(nullptr, 99);

    // The tool's own duplicate and Windows' own keys are not another program's.
    SetRegisterHotkeyCall(RefuseWinLAndCtrlAltK);
    options.hotkeys = {u"Alt+Ctrl+A", u"Win+L", u"Ctrl+Alt+K", u""};
    MacroHotkeys recovery;
    recovery.Set(u"回復", u"回復", Hotkey{kModCtrl | kModAlt, 'A'});
    const std::vector<HotkeyRefusal> blamed =
        hotkeys.Register(options, recovery, [](std::u16string_view) { return true; });
    SetRegisterHotkeyCall(nullptr);
    hotkeys.Release();
    ASSERT_EQ(blamed.size(), 3u);
    std::map<std::u16string, std::u16string> reasons;
    for (const HotkeyRefusal& refusal : blamed) reasons[refusal.owner] = refusal.reason;
    EXPECT_NE(reasons[u"回復"].find(u"「発言」"), std::u16string::npos);
    EXPECT_NE(reasons[u"発言して次へ"].find(u"Windows"), std::u16string::npos);
    EXPECT_NE(reasons[u"前へ"].find(u"ほかのプログラム"), std::u16string::npos);
}

}  // namespace
}  // namespace kiv
