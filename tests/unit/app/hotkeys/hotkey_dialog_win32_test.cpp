// The hotkey dialog's field: every key the tool allows goes in and comes back out the same.

#include "app/hotkeys/hotkey_dialog_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

namespace kiv {
namespace {

TEST(HotkeyField, HoldsEveryHotkeyButTheWinKey) {
    for (std::uint32_t key = 0; key < 0x100; ++key) {
        for (const std::uint32_t modifiers : {kModCtrl | kModAlt, kModShift | kModCtrl, 0u}) {
            const Hotkey hotkey{modifiers, key};
            if (!IsAllowedHotkey(hotkey)) continue;
            EXPECT_EQ(FromHotkeyField(ToHotkeyField(hotkey)), hotkey) << key;
        }
    }
    // Named by scan code, the arrows and the editing keys need the extended flag.
    EXPECT_NE(HIBYTE(ToHotkeyField(Hotkey{kModCtrl, VK_UP})) & HOTKEYF_EXT, 0);
    EXPECT_EQ(HIBYTE(ToHotkeyField(Hotkey{kModCtrl, VK_NUMPAD8})) & HOTKEYF_EXT, 0);
    EXPECT_EQ(ToHotkeyField(std::nullopt), 0);
}

}  // namespace
}  // namespace kiv
