#include "platform/owned_window_win32.h"

#include "platform/pixel_rect.h"

namespace kiv {
namespace {

PixelRect RectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// The box being opened on this thread, found as it is activated: it is
// made and placed by then, and not yet shown.
thread_local HWND boxOwner = nullptr;

LRESULT CALLBACK PlaceBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && boxOwner != nullptr) {
        const auto box = reinterpret_cast<HWND>(wParam);
        if (GetWindow(box, GW_OWNER) == boxOwner) {
            boxOwner = nullptr;  // once: the box may be activated again
            CenterOnOwner(box);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void CenterOnOwner(HWND window) {
    HWND owner = GetWindow(window, GW_OWNER);
    if (owner == nullptr || !IsWindowVisible(owner) || IsIconic(owner)) return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const PixelRect now = RectOf(window);
    const PixelRect place = CenteredOn(
        RectOf(owner), now.Width(), now.Height(),
        {monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right, monitor.rcWork.bottom});
    SetWindowPos(window, nullptr, place.left, place.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int MessageBoxOverOwner(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    HHOOK hook = owner != nullptr
                     ? SetWindowsHookExW(WH_CBT, PlaceBox, nullptr, GetCurrentThreadId())
                     : nullptr;
    const HWND outer = boxOwner;  // a box opened from within another's loop
    boxOwner = hook != nullptr ? GetAncestor(owner, GA_ROOT) : nullptr;
    const int answer = MessageBoxW(owner, text, caption, type);
    boxOwner = outer;
    if (hook != nullptr) UnhookWindowsHookEx(hook);
    return answer;
}

}  // namespace kiv
