#include <gtest/gtest.h>

#include <vector>

#include "app/window_placement.h"

namespace kiv {
namespace {

TEST(WindowPlacement, TwipsMeanTheSystemDpiOnEveryMonitor) {
    const WindowGeometry stored{1500, -300, 3750, 3000};
    EXPECT_EQ(GeometryToPixels(stored, 96), (PixelRect{100, -20, 350, 180}));
    EXPECT_EQ(GeometryToPixels(stored, 144), (PixelRect{150, -30, 525, 270}));
    EXPECT_EQ(GeometryToPixels(stored, 192), (PixelRect{200, -40, 700, 360}));
    for (const unsigned dpi : {96u, 144u, 192u}) {
        EXPECT_EQ(PixelsToGeometry(GeometryToPixels(stored, dpi), dpi), stored) << dpi;
    }
}

// GetWindowPlacement gives a minimised or maximised window's restored
// rectangle relative to the work area of its monitor (Wine, with no taskbar,
// cannot show it).
TEST(WindowPlacement, TheRestoredRectangleComesBackToScreenCoordinates) {
    const MonitorArea bottomBar{{0, 0, 1280, 1024}, {0, 0, 1280, 984}};
    const MonitorArea topBar{{0, 0, 1280, 1024}, {0, 40, 1280, 1024}};
    const MonitorArea leftBar{{0, 0, 1280, 1024}, {60, 0, 1280, 1024}};
    const MonitorArea secondTopBar{{1280, 0, 2560, 1024}, {1280, 30, 2560, 1024}};
    const PixelRect onFirst{100, 60, 400, 360};
    const PixelRect onSecond{1400, 60, 1700, 360};
    const struct {
        const char* desk;
        std::vector<MonitorArea> monitors;
        PixelRect workspace, screen;
    } cases[] = {
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
    for (const auto& c : cases) {
        EXPECT_EQ(WorkspaceToScreen(c.workspace, c.monitors), c.screen) << c.desk;
    }
}

class OffScreenGuard : public testing::Test {
  protected:
    // A 250 x 200 window whose 23-px caption starts 8 px down; 31 px at the
    // left (frame and icon) and 146 px at the right (buttons) do not drag.
    static PixelRect Window(int left, int top) { return {left, top, left + 250, top + 200}; }
    static constexpr CaptionBar kCaption{8, 23, 31, 146};
    const std::vector<PixelRect> one_{{0, 0, 1280, 984}};
    const std::vector<PixelRect> two_{{0, 0, 1280, 984}, {1280, 0, 2560, 984}};
};

TEST_F(OffScreenGuard, AGrabbableCaptionKeepsTheStoredPlace) {
    EXPECT_EQ(PlaceOnScreen(Window(100, 100), kCaption, one_), Window(100, 100));
    EXPECT_EQ(PlaceOnScreen(Window(2000, 500), kCaption, two_), Window(2000, 500));
    // Hanging past the left edge with enough of the caption still in reach.
    EXPECT_EQ(PlaceOnScreen(Window(-20, 400), kCaption, one_), Window(-20, 400));
    EXPECT_EQ(PlaceOnScreen(Window(1100, 900), kCaption, one_), Window(1100, 900));
}

TEST_F(OffScreenGuard, AnUnreachableCaptionComesBackToTheNearestWorkArea) {
    EXPECT_EQ(PlaceOnScreen(Window(100, -10), kCaption, one_), Window(100, 0)) << "above the top";
    EXPECT_EQ(PlaceOnScreen(Window(1268, 100), kCaption, one_), Window(1030, 100))
        << "95 % past the right edge";
    EXPECT_EQ(PlaceOnScreen(Window(2000, 500), kCaption, one_), Window(1030, 500))
        << "on a monitor that is gone";
    EXPECT_EQ(PlaceOnScreen(Window(1150, 970), kCaption, two_), Window(1030, 784))
        << "into the monitor it overlaps most, not the one its caption touches";
    EXPECT_EQ(PlaceOnScreen(Window(1270, -150), kCaption, two_), Window(1280, 0));
    EXPECT_EQ(PlaceOnScreen({-50, -100, 2000, 200}, kCaption, one_), (PixelRect{0, 0, 1280, 300}))
        << "shrunk to what the work area holds";
}

}  // namespace
}  // namespace kiv
