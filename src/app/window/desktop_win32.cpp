#include "app/window/desktop_win32.h"

namespace kiv {
namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        reinterpret_cast<std::vector<MonitorArea>*>(data)->push_back(
            {ToPixelRect(info.rcMonitor), ToPixelRect(info.rcWork)});
    }
    return TRUE;
}

}  // namespace

unsigned SystemDpi() {
    const UINT dpi = GetDpiForSystem();
    return dpi == 0 ? 96 : dpi;
}

std::vector<MonitorArea> Monitors() {
    std::vector<MonitorArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

std::vector<PixelRect> MonitorWorkAreas() {
    std::vector<PixelRect> areas;
    for (const MonitorArea& monitor : Monitors()) areas.push_back(monitor.work);
    return areas;
}

CaptionBar CaptionBarOf(DWORD style, DWORD exStyle, unsigned dpi) {
    // The frame around an empty client area: its top holds the caption bar.
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectExForDpi(&frame, style, FALSE, exStyle, dpi);
    const int height = GetSystemMetricsForDpi(SM_CYCAPTION, dpi);
    const int buttons = 3 * GetSystemMetricsForDpi(SM_CXSIZE, dpi);  // minimise, maximise, close
    return {-frame.top - height, height, -frame.left + height, frame.right + buttons};
}

WindowGeometry GeometryOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    if (IsIconic(window) || IsZoomed(window)) {
        // Minimised or maximised, the rectangle to keep is the restored one;
        // the placement gives it in work-area coordinates.
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        if (GetWindowPlacement(window, &placement)) {
            rect = ToRect(WorkspaceToScreen(ToPixelRect(placement.rcNormalPosition), Monitors()));
        }
    }
    return PixelsToGeometry(ToPixelRect(rect), SystemDpi());
}

void PlaceWindow(HWND window, const WindowGeometry& geometry, DWORD style, DWORD exStyle,
                 unsigned dpi) {
    const PixelRect target = PlaceOnScreen(GeometryToPixels(geometry, SystemDpi()),
                                           CaptionBarOf(style, exStyle, dpi), MonitorWorkAreas());
    for (int attempt = 0; attempt < 2; ++attempt) {
        SetWindowPos(window, nullptr, target.left, target.top, target.Width(), target.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        RECT placed{};
        GetWindowRect(window, &placed);
        if (ToPixelRect(placed) == target) break;
    }
}

PixelRect ToPixelRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

RECT ToRect(const PixelRect& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace kiv
