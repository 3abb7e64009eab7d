#pragma once

// A stand-in for the main window, for testing one feature alone: a top-level
// window whose messages go to a function the test gives (what the real window
// would hand the feature), the rest to DefWindowProc.

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>

#include "platform/handle_win32.h"

namespace kiv::test {

class HostWindow {
  public:
    // Answers a message the feature takes; nothing for the rest.
    using Route = std::function<std::optional<LRESULT>(UINT, WPARAM, LPARAM)>;

    explicit HostWindow(DWORD style = WS_OVERLAPPEDWINDOW)
        : route_(std::make_unique<Route>()),
          window_(CreateWindowExW(0, ClassName(), L"host", style, 100, 100, 300, 200, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), route_.get())) {}

    HWND Handle() const { return window_.Get(); }
    void Destroy() { window_.Reset(); }
    void SetRoute(Route route) { *route_ = std::move(route); }

  private:
    static const wchar_t* ClassName() {
        static const bool registered = [] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = Procedure;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"KivTestHost";
            return RegisterClassW(&windowClass) != 0;
        }();
        return registered ? L"KivTestHost" : L"";
    }
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        const auto* route =
            reinterpret_cast<const Route*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (route != nullptr && *route) {
            if (const std::optional<LRESULT> answer = (*route)(message, wParam, lParam)) {
                return *answer;
            }
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    std::unique_ptr<Route> route_;
    UniqueWindow window_;
};

}  // namespace kiv::test
