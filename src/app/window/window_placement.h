#pragma once

// Where the main window comes back at start-up, and what is kept of it at
// close. Portable: the window supplies the system DPI, its caption bar's
// measures and the monitors' work areas.
//
// Positions and sizes are stored in twips at one scale for the whole desktop,
// the system DPI, whatever the DPI of the monitor the window is on: a window
// then comes back to the same pixels on any monitor.

#include <vector>

#include "platform/pixel_rect.h"

namespace kiv {

// The whole window, frame included, in twips, screen coordinates.
struct WindowGeometry {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    friend bool operator==(const WindowGeometry&, const WindowGeometry&) = default;
};

PixelRect GeometryToPixels(const WindowGeometry& twips, unsigned systemDpi);
WindowGeometry PixelsToGeometry(const PixelRect& pixels, unsigned systemDpi);

// Where a window's caption bar lies within it, in pixels: `top` below the
// window's top edge, `height` tall, and the part that drags the window starts
// `left` in from the left edge (after the icon) and ends `right` in from the
// right edge (before the buttons).
struct CaptionBar {
    int top = 0;
    int height = 0;
    int left = 0;
    int right = 0;
};

// The stored rectangle where a piece of its caption bar big enough to drag
// lies in one work area; otherwise moved into the nearest work area, keeping
// its size where it fits and shrinking it where not.
PixelRect PlaceOnScreen(const PixelRect& window, const CaptionBar& caption,
                        const std::vector<PixelRect>& workAreas);

// The caption bar can be taken with the mouse: a piece of its draggable part,
// as tall as the bar and twice as wide, lies in one work area.
bool CaptionCanBeGrabbed(const PixelRect& window, const CaptionBar& caption,
                         const std::vector<PixelRect>& workAreas);

// A monitor, and its work area (the screen less the taskbar and docked bars).
struct MonitorArea {
    PixelRect monitor;
    PixelRect work;
};

// The restored rectangle of a minimised or maximised window, as Windows gives
// it (GetWindowPlacement), is in workspace coordinates: relative to the work
// area of the monitor it lies on, not to the screen. Back in screen
// coordinates: with the taskbar at the top or left of that monitor, moved
// down or right by the taskbar; nothing else changes. A rectangle on no
// monitor counts as on the primary one (the one at 0,0).
PixelRect WorkspaceToScreen(const PixelRect& rect, const std::vector<MonitorArea>& monitors);

}  // namespace kiv
