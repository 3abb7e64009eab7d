#pragma once

// The tool's menu items in the window's system menu and as the list's
// right-click menu. Windows only.

#include <windows.h>

#include <optional>

#include "app/tool_menu.h"

namespace kiv {

// Appends the items to the window's system menu, after a separator, once;
// then, and on every later call, sets their ticks.
void PrepareSystemMenu(HWND window, const MenuState& state);

// Shows the items as a menu at `screen` (a point in screen coordinates) and
// returns the one chosen.
std::optional<MenuCommand> ShowToolMenu(HWND owner, POINT screen, const MenuState& state);

}  // namespace kiv
