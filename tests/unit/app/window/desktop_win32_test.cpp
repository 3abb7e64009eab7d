// The caption bar as Windows finds it (the monitors are the e2e tests' own).

#include "app/window/desktop_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "platform/common_controls_win32.h"
#include "platform/handle_win32.h"

namespace kiv {
namespace {

// Where the caption bar is said to be, Windows finds the caption, and the bar
// ends before the caption's buttons: there a click would minimise, not drag.
// Windows 10 and 11 draw their buttons wider than the metrics say; the title
// bar's own report of them is asked where the system gives it (Wine's hit
// test follows the metrics).
TEST(Desktop, TheCaptionBarIsWhereWindowsFindsTheCaptionBeforeItsButtons) {
    const DWORD style = WS_OVERLAPPEDWINDOW;
    UniqueWindow window(CreateWindowExW(0, L"STATIC", L"", style, 100, 100, 400, 300, nullptr,
                                        nullptr, nullptr, nullptr));
    RECT frame{};
    GetWindowRect(window.Get(), &frame);
    const CaptionBar bar = CaptionBarOf(style, 0, GetDpiForWindow(window.Get()));
    const auto hit = [&](int x, int y) {
        return DefWindowProcW(window.Get(), WM_NCHITTEST, 0, MAKELPARAM(x, y));
    };
    const int middle = frame.top + bar.top + bar.height / 2;
    const int end = frame.right - bar.right;  // where the draggable part ends
    EXPECT_EQ(hit(frame.left + bar.left, middle), HTCAPTION);
    EXPECT_EQ(hit((frame.left + bar.left + end) / 2, middle), HTCAPTION);
    EXPECT_NE(hit(end + 2, middle), HTCAPTION) << "past its end, a caption button";
    EXPECT_NE(hit(frame.left + bar.left, frame.top + bar.top - 1), HTCAPTION) << "above, the frame";
    TITLEBARINFOEX info{sizeof info, {}, {}, {}};
    SendMessageW(window.Get(), WM_GETTITLEBARINFOEX, 0, reinterpret_cast<LPARAM>(&info));
    const RECT& minimise = info.rgrect[2];
    if (minimise.right > minimise.left) {
        EXPECT_LE(end, minimise.left);
    } else {
        EXPECT_EQ(hit(end - 1, middle), HTCAPTION);
    }
}

TEST(LoadCommonControls, MakesTheHotkeyFieldAvailable) {
    ASSERT_TRUE(LoadCommonControls(ICC_HOTKEY_CLASS));
    UniqueWindow field(CreateWindowExW(0, HOTKEY_CLASSW, L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                       nullptr, nullptr, nullptr));
    EXPECT_TRUE(field);
}

}  // namespace
}  // namespace kiv
