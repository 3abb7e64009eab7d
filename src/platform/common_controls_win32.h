#pragma once

// The common controls (hotkey fields, tooltips), loaded the first time a
// feature wants them rather than at every start. Windows only.

#include <windows.h>

#include <commctrl.h>

namespace kiv {

// Registers the given ICC_ classes; false when the library is missing. Loaded
// by name, so that the program's manifest picks version 6.
bool LoadCommonControls(DWORD classes);

// The one tool of a tooltip that serves one window: how the tooltip messages
// name it.
inline TOOLINFOW ToolInfo(HWND window) {
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.hwnd = window;
    info.uId = 1;
    return info;
}

}  // namespace kiv
