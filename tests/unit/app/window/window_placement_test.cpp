// Where the window goes: stored twips at the system DPI, restored rectangles, a caption in reach.

#include "app/window/window_placement.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace kiv {
namespace {

TEST(WindowPlacement, TwipsMeanTheSystemDpiOnEveryMonitor) {
    const WindowGeometry stored{1500, -300, 3750, 3000};
    EXPECT_EQ(GeometryToPixels(stored, 96), (PixelRect{100, -20, 350, 180}));
    EXPECT_EQ(GeometryToPixels(stored, 144), (PixelRect{150, -30, 525, 270}));
    for (const unsigned dpi : {96u, 144u, 192u}) {
        EXPECT_EQ(PixelsToGeometry(GeometryToPixels(stored, dpi), dpi), stored) << dpi;
    }
}

// GetWindowPlacement gives a minimised or maximised window's restored rectangle relative to the
// work area of its monitor (Wine, with no taskbar, cannot show it).
TEST(WindowPlacement, TheRestoredRectangleComesBackToScreenCoordinates) {
    const MonitorArea bottomBar{{0, 0, 1280, 1024}, {0, 0, 1280, 984}};
    const MonitorArea topBar{{0, 0, 1280, 1024}, {0, 40, 1280, 1024}};
    const MonitorArea leftBar{{0, 0, 1280, 1024}, {60, 0, 1280, 1024}};
    const MonitorArea secondTopBar{{1280, 0, 2560, 1024}, {1280, 30, 2560, 1024}};
    const PixelRect onFirst{100, 60, 400, 360};
    const PixelRect onSecond{1400, 60, 1700, 360};
    const std::tuple<const char*, std::vector<MonitorArea>, PixelRect, PixelRect> cases[] = {
        {"taskbar at the bottom", {bottomBar}, onFirst, onFirst},
        {"taskbar at the top", {topBar}, onFirst, {100, 100, 400, 400}},
        {"taskbar at the left", {leftBar}, onFirst, {160, 60, 460, 360}},
        {"on the second monitor", {bottomBar, secondTopBar}, onSecond, {1400, 90, 1700, 390}},
        {"on the first beside it", {topBar, secondTopBar}, onFirst, {100, 100, 400, 400}},
        {"on no monitor: the primary",
         {secondTopBar, topBar},
         {-900, 0, -600, 300},
         {-900, 40, -600, 340}},
    };
    for (const auto& [desk, monitors, workspace, screen] : cases) {
        EXPECT_EQ(WorkspaceToScreen(workspace, monitors), screen) << desk;
    }
}

// A 250 x 200 window whose 23-px caption starts 8 px down; 31 px at the left
// (frame and icon) and 146 px at the right (buttons) do not drag.
TEST(OffScreenGuard, AGrabbableCaptionKeepsTheStoredPlaceAndAnUnreachableOneComesBack) {
    const auto at = [](int left, int top) { return PixelRect{left, top, left + 250, top + 200}; };
    const std::vector<PixelRect> one{{0, 0, 1280, 984}};
    const std::vector<PixelRect> two{{0, 0, 1280, 984}, {1280, 0, 2560, 984}};
    const std::tuple<const char*, PixelRect, const std::vector<PixelRect>&, PixelRect> cases[] = {
        {"in reach", at(100, 100), one, at(100, 100)},
        {"on the second monitor", at(2000, 500), two, at(2000, 500)},
        {"past the left edge, enough caption in reach", at(-20, 400), one, at(-20, 400)},
        {"low, enough caption in reach", at(1100, 900), one, at(1100, 900)},
        {"above the top", at(100, -10), one, at(100, 0)},
        {"95 % past the right edge", at(1268, 100), one, at(1030, 100)},
        {"on a monitor that is gone", at(2000, 500), one, at(1030, 500)},
        {"into the monitor it overlaps most, not the one its caption touches", at(1150, 970), two,
         at(1030, 784)},
        {"above the top between monitors", at(1270, -150), two, at(1280, 0)},
        {"shrunk to what the work area holds", {-50, -100, 2000, 200}, one, {0, 0, 1280, 300}},
    };
    for (const auto& [why, stored, areas, placed] : cases) {
        EXPECT_EQ(PlaceOnScreen(stored, CaptionBar{8, 23, 31, 146}, areas), placed) << why;
    }
}

}  // namespace
}  // namespace kiv
