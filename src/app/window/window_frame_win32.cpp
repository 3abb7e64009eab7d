#include "app/window/window_frame_win32.h"

#include "app/common/resource.h"
#include "app/common/tool_name.h"
#include "app/window/layout.h"
#include "app/window/window_controls_win32.h"

namespace kiv {
namespace {

constexpr wchar_t kClassName[] = L"KivMacroMainWindow";

}  // namespace

HWND CreateMainWindow(HINSTANCE instance, WNDPROC procedure, void* parameter) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_KIVMACRO));
    windowClass.hIconSm = windowClass.hIcon;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    // A second window in the same process (tests) finds the class there.
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return nullptr;
    }
    // The design's client size at 96 DPI; it is sized again for the real DPI
    // once the window knows its monitor.
    RECT rect{0, 0, TwipsToPixels(kDesignClientWidth, 96), TwipsToPixels(kDesignClientHeight, 96)};
    AdjustWindowRectEx(&rect, kMainWindowStyle, FALSE, kMainWindowExStyle);
    HWND window = CreateWindowExW(kMainWindowExStyle, kClassName, kToolCaption, kMainWindowStyle,
                                  CW_USEDEFAULT, CW_USEDEFAULT, rect.right - rect.left,
                                  rect.bottom - rect.top, nullptr, nullptr, instance, parameter);
    if (window == nullptr) return nullptr;
    // Run as administrator, the tool still takes files dropped from an
    // Explorer that is not: Windows would filter the drop's messages out.
    constexpr UINT kCopyGlobalData = 0x0049;
    for (const UINT message : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, kCopyGlobalData}) {
        ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr);
    }
    return window;
}

void SizeToDesign(HWND window) {
    const unsigned dpi = DpiOf(window);
    const int width = TwipsToPixels(kDesignClientWidth, dpi);
    const int height = TwipsToPixels(kDesignClientHeight, dpi);
    RECT outer{};
    GetWindowRect(window, &outer);
    RECT client{};
    GetClientRect(window, &client);
    if (client.right == width && client.bottom == height) return;
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + width - client.right,
                 outer.bottom - outer.top + height - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FollowDpiChange(HWND window, const RECT& suggested, bool keepPlace) {
    if (keepPlace) return;
    SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace kiv
