// Global hotkeys with Windows: held while registered, let go with their set, refusals told.

#include "app/hotkeys/global_hotkeys_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <regex>

#include "platform/handle_win32.h"
#include "platform/system_error.h"
#include "support/in_process_window.h"

namespace kiv {
namespace {

TEST(GlobalHotkeys, HoldEachKeySetUntilReplacedOrGoneAndTellWhatWasRefused) {
    UniqueWindow window(
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    {
        GlobalHotkeys keys(0x200, window.Get());
        const Hotkey f9{kModCtrl | kModAlt, VK_F9};
        EXPECT_EQ(keys.Register({f9, std::nullopt, f9}),
                  (std::vector<std::uint32_t>{0, 0, ERROR_HOTKEY_ALREADY_REGISTERED}));
        EXPECT_TRUE(test::HotkeyHeld(MOD_CONTROL | MOD_ALT, VK_F9));
        EXPECT_EQ(keys.IndexOf(0x200), 0u);
        EXPECT_EQ(keys.IndexOf(0x202), 2u);
        EXPECT_EQ(keys.IndexOf(0x203), std::nullopt);
        EXPECT_EQ(keys.IndexOf(0x1FF), std::nullopt);

        // Under another id: Wine would let a key of the same id replace the old one.
        EXPECT_EQ(keys.Register({std::nullopt, Hotkey{kModCtrl | kModAlt, VK_F10}}),
                  (std::vector<std::uint32_t>{0, 0}));
        EXPECT_FALSE(test::HotkeyHeld(MOD_CONTROL | MOD_ALT, VK_F9))
            << "the keys set before are let go";
        EXPECT_TRUE(test::HotkeyHeld(MOD_CONTROL | MOD_ALT, VK_F10));
    }
    EXPECT_FALSE(test::HotkeyHeld(MOD_CONTROL | MOD_ALT, VK_F10)) << "and so are all at the end";
}

UINT asked = 0;
BOOL WINAPI RecordModifiers(HWND, int, UINT modifiers, UINT) {
    asked = modifiers;
    return TRUE;
}

// A key held down repeats; one press must say a macro once. Wine's keyboard
// under a test sends no repeats, so the flag is checked as it is passed.
TEST(GlobalHotkeys, AskThatAHeldKeyDoesNotRepeat) {
    SetRegisterHotkeyCall(RecordModifiers);
    GlobalHotkeys keys(1);
    keys.Register({Hotkey{kModShift, VK_F9}});
    keys.UnregisterAll();
    SetRegisterHotkeyCall(nullptr);
    EXPECT_EQ(asked, static_cast<UINT>(MOD_SHIFT | MOD_NOREPEAT));
}

TEST(HotkeyRefusalReason, NamesWindowsForItsOwnKeysAnotherProgramForTheRestAndElseTheSystemsWords) {
    EXPECT_EQ(HotkeyRefusalReason(ERROR_HOTKEY_ALREADY_REGISTERED, {kModWin, 'E'}),
              u"Windows が自分のショートカットのために取ってあるキーです。");
    EXPECT_EQ(
        HotkeyRefusalReason(ERROR_HOTKEY_ALREADY_REGISTERED, {kModCtrl | kModAlt, 'E'}),
        u"ほかのプログラムが使っています。KIV 会話マクロがすでに起動している可能性があります。");
    const std::u16string denied = HotkeyRefusalReason(ERROR_ACCESS_DENIED, {kModCtrl, 'E'});
    EXPECT_EQ(denied, SystemErrorText(ERROR_ACCESS_DENIED));
    // The system's words, no line or sentence end after them, then the code.
    const std::wstring text(denied.begin(), denied.end());
    EXPECT_TRUE(std::regex_match(text, std::wregex(LR"(.*[^\s.。] \(エラー 5\))"))) << text;
    EXPECT_EQ(SystemErrorText(0x20000001), u"エラー 536870913")
        << "a code the system has no words for";
}

}  // namespace
}  // namespace kiv
