#pragma once

// The main window's frame: its class (icon, cursor, background), its style,
// its caption, and its size at the design's client area. Windows only.

#include <windows.h>

namespace kiv {

inline constexpr DWORD kMainWindowStyle = WS_OVERLAPPEDWINDOW;
// Files dropped from Explorer are taken (WM_DROPFILES), without shell32 at start-up.
inline constexpr DWORD kMainWindowExStyle = WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES;

// Makes the window, its messages going to `procedure` with `parameter` in
// WM_NCCREATE's CREATESTRUCT; null when it could not be made.
HWND CreateMainWindow(HINSTANCE instance, WNDPROC procedure, void* parameter);

// Sized for the design's client area at the window's DPI, by the frame it
// really has: frames computed from the style can be a pixel off at some scales.
void SizeToDesign(HWND window);

// After WM_DPICHANGED: at the rectangle Windows suggests, unless `keepPlace`.
void FollowDpiChange(HWND window, const RECT& suggested, bool keepPlace);

}  // namespace kiv
