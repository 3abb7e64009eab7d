#pragma once

// The tool's menu items in the window's system menu and as the list's
// right-click menu, and their keys. Windows only.

#include <windows.h>

#include <optional>

#include "app/common/tool_menu.h"
#include "platform/handle_win32.h"

namespace kiv {

// The submenus after the items, filled as the menu opens.
struct ToolSubmenus {
    RecentFilesMenu recentFiles;
    SendToMenu sendTo;
};

// Gives the window its own system menu with the items appended after a
// separator. Called once, when the window is made: a window has no system
// menu of its own until GetSystemMenu(window, FALSE) makes one, and items
// appended while the menu is opening would land in a copy the user never sees.

void AddToSystemMenu(HWND window, const MenuState& state, const ToolSubmenus& submenus = {});

// Sets the items' ticks and greying in the window's system menu, and the
// submenus' items, as it opens.
void UpdateSystemMenu(HWND window, const MenuState& state, const ToolSubmenus& submenus = {});

// Shows the items as a menu at `screen` (a point in screen coordinates) and
// returns the ID of the one chosen (ToolMenuCommand, RecentFileItemIndex,
// kClearRecentFilesId, SendToItemIndex); 0 for none.
std::uint32_t ShowToolMenu(HWND owner, POINT screen, const MenuState& state,
                           const ToolSubmenus& submenus);

// The items' keys, for TranslateAccelerator: each sends WM_COMMAND with its
// item's KeyCommandId. Null when it could not be made.
HACCEL CreateToolMenuKeys();

// The items' keys where the window has the focus, in its message loop.
class ToolMenuKeys {
  public:
    ToolMenuKeys() : keys_(CreateToolMenuKeys()) {}
    // True when `message` was one of the keys (now sent as its command), or
    // the Alt let go after one.
    bool Translate(HWND window, MSG& message);

  private:
    UniqueAccelerators keys_;
    bool altServedKey_ = false;  // the Alt held now went with one of the keys
};

}  // namespace kiv
