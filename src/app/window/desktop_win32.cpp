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

PixelRect ToPixelRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

RECT ToRect(const PixelRect& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace kiv
