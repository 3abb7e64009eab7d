// Global hotkeys with Windows, in this process.

#include "app/global_hotkeys_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32_handle.h"

namespace kiv {
namespace {

TEST(GlobalHotkeys, EachKeyHasItsOwnIdAndAHeldKeyIsRefusedWithItsReason) {
    UniqueWindow window(
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    ASSERT_TRUE(RegisterHotKey(nullptr, 99, MOD_CONTROL | MOD_ALT, 'K'));  // as another program
    GlobalHotkeys hotkeys(0x100, window.Get());
    const auto errors = hotkeys.Register(
        {Hotkey{kModCtrl | kModAlt, 'K'}, std::nullopt, Hotkey{kModCtrl | kModAlt, 'J'}});
    EXPECT_EQ(errors, (std::vector<std::uint32_t>{ERROR_HOTKEY_ALREADY_REGISTERED, 0, 0}));
    EXPECT_NE(HotkeyRefusalReason(errors[0]).find(u"ほかのプログラム"), std::u16string::npos);
    EXPECT_EQ(hotkeys.IndexOf(0x102), 2u);
    EXPECT_EQ(hotkeys.IndexOf(0x103), std::nullopt);
    EXPECT_EQ(hotkeys.IndexOf(1), std::nullopt);
    EXPECT_FALSE(RegisterHotKey(nullptr, 98, MOD_CONTROL | MOD_ALT, 'J')) << "the tool's now";
    hotkeys.UnregisterAll();
    EXPECT_TRUE(RegisterHotKey(nullptr, 98, MOD_CONTROL | MOD_ALT, 'J')) << "and free again";
    EXPECT_EQ(hotkeys.IndexOf(0x102), std::nullopt) << "a late WM_HOTKEY asks for nothing";
    UnregisterHotKey(nullptr, 98);
    UnregisterHotKey(nullptr, 99);
}

}  // namespace
}  // namespace kiv
