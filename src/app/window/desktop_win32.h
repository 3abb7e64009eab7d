#pragma once

// What the window placement rules need to know of this desktop. Windows only.

#include <windows.h>

#include <vector>

#include "app/window/window_placement.h"

namespace kiv {

// The DPI of the whole desktop (the primary monitor's at sign-in): the one
// scale at which window positions are stored.
unsigned SystemDpi();

// Every monitor, with its work area (the screen less the taskbar).
std::vector<MonitorArea> Monitors();
// Just the work areas.
std::vector<PixelRect> MonitorWorkAreas();

// The caption bar of a window of this style at this DPI.
CaptionBar CaptionBarOf(DWORD style, DWORD exStyle, unsigned dpi);

// The place of `window` to keep: when minimised or maximised, the restored one.
WindowGeometry GeometryOf(HWND window);
// Puts `window` at `geometry`, brought onto a monitor where it would be out
// of reach (PlaceOnScreen).
void PlaceWindow(HWND window, const WindowGeometry& geometry, DWORD style, DWORD exStyle,
                 unsigned dpi);

PixelRect ToPixelRect(const RECT& rect);
RECT ToRect(const PixelRect& rect);

}  // namespace kiv
