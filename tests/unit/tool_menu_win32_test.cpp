// The tool's items in a window's system menu, in this process.

#include <gtest/gtest.h>
#include <windows.h>

#include "app/tool_menu_win32.h"
#include "platform/win32_handle.h"

namespace kiv {
namespace {

TEST(ToolMenu, TheSystemMenuGetsTheItemsTheirTicksAndTheirGreying) {
    UniqueWindow window(CreateWindowExW(0, L"STATIC", L"menu", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                        nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(window);
    const int before = GetMenuItemCount(GetSystemMenu(window.Get(), FALSE));
    AddToSystemMenu(window.Get(), {.topMost = true});
    HMENU menu = GetSystemMenu(window.Get(), FALSE);
    ASSERT_EQ(GetMenuItemCount(menu), before + 1 + static_cast<int>(ToolMenuItems().size()))
        << "a separator and the items";
    const auto state = [&](MenuCommand command) {
        return GetMenuState(menu, static_cast<UINT>(command), MF_BYCOMMAND);
    };
    EXPECT_NE(state(MenuCommand::TopMost) & MF_CHECKED, 0u);
    EXPECT_NE(state(MenuCommand::Undo) & MF_GRAYED, 0u) << "nothing to undo";
    UpdateSystemMenu(window.Get(), {.canUndo = true});
    EXPECT_EQ(state(MenuCommand::TopMost) & MF_CHECKED, 0u);
    EXPECT_EQ(state(MenuCommand::Undo) & MF_GRAYED, 0u);
    for (const MenuItem& item : ToolMenuItems()) {
        if (item.command == MenuCommand::Separator) continue;
        wchar_t text[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(item.command), text, 64, MF_BYCOMMAND);
        EXPECT_EQ(std::u16string(text, text + wcslen(text)), item.text);
    }
}

}  // namespace
}  // namespace kiv
