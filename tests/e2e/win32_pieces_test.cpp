// The tool's Win32 pieces in this process, on a window of its own.

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "app/hotkey_dialog_win32.h"
#include "app/tool_menu_win32.h"
#include "platform/win32_handle.h"

namespace kiv {
namespace {

TEST(ToolMenu, TheSystemMenuGetsTheItemsOnceAndTheirTicks) {
    UniqueWindow window(CreateWindowExW(0, L"STATIC", L"menu", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                        nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(window);
    const int before = GetMenuItemCount(GetSystemMenu(window.Get(), FALSE));
    PrepareSystemMenu(window.Get(), {true});
    PrepareSystemMenu(window.Get(), {false});
    HMENU menu = GetSystemMenu(window.Get(), FALSE);
    EXPECT_EQ(GetMenuItemCount(menu), before + 1 + static_cast<int>(ToolMenuItems().size()))
        << "a separator and the items, once";
    const auto state = [&](MenuCommand command) {
        return GetMenuState(menu, static_cast<UINT>(command), MF_BYCOMMAND);
    };
    EXPECT_EQ(state(MenuCommand::TopMost) & MF_CHECKED, 0u);
    PrepareSystemMenu(window.Get(), {true});
    EXPECT_NE(state(MenuCommand::TopMost) & MF_CHECKED, 0u);
    EXPECT_NE(state(MenuCommand::HotkeySettings), static_cast<UINT>(-1));
}

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
