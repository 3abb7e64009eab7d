#pragma once

// The tool's own menu items, shown in the window's system menu (the caption
// icon, Alt+Space) and in the list's right-click menu: one table, so that a
// new item is one more row. Portable.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kiv {

// Also the items' IDs in the system menu, where they must stay below 0xF000
// with the low four bits clear (Windows keeps those for itself).
enum class MenuCommand : std::uint32_t {
    TopMost = 0x0100,
    HotkeySettings = 0x0110,
    EditMacroFile = 0x0120,
};

struct MenuItem {
    MenuCommand command;
    std::u16string_view text;
};

// In menu order.
std::span<const MenuItem> ToolMenuItems();

// What the menu shows ticked.
struct MenuState {
    bool topMost = false;
};
// Whether the item shows a tick, and if so whether it is ticked now.
std::optional<bool> IsTicked(MenuCommand command, const MenuState& state);

// The tool's command behind a menu ID (from WM_SYSCOMMAND or WM_COMMAND).
std::optional<MenuCommand> ToolMenuCommand(std::uint32_t id);

}  // namespace kiv
