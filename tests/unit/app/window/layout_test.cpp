// The row of four controls at every scale and size of the client area.

#include "app/window/layout.h"

#include <gtest/gtest.h>

namespace kiv {
namespace {

MainControls LaidOut(float width, float height) {
    MainControls controls = DesignControls();
    LayOut(controls, width, height);
    return controls;
}

TEST(Layout, DesignSizeGivesTheDesignedRow) {
    EXPECT_EQ(LaidOut(kDesignClientWidth, kDesignClientHeight),
              (MainControls{{0, 0, 3630, 0},
                            {0, 0, 3630, 0},
                            {0, 0, 3630, 2580},
                            {0, 2580, 1200, 375},
                            {1200, 2580, 1335, 375},
                            {2535, 2580, 1095, 375}}));

    MainControls shorter = DesignControls();  // the buttons follow the list's real height
    LayOut(shorter, 3630, 2955, [](const TwipsRect& asked) { return asked.height - 100; });
    EXPECT_EQ(shorter.list.height, 2480);
    EXPECT_EQ(shorter.say.top, 2480);
    EXPECT_EQ(shorter.reload.top, 2480);

    MainControls finding = DesignControls();  // the find box takes the list's top, not the buttons'
    LayOut(finding, 3630, 2955, {}, 375);
    EXPECT_EQ(finding.findBox, (TwipsRect{0, 0, 3630, 375}));
    EXPECT_EQ(finding.list, (TwipsRect{0, 375, 3630, 2205}));
    EXPECT_EQ(finding.say, LaidOut(3630, 2955).say);
    EXPECT_EQ(finding.reload, LaidOut(3630, 2955).reload);

    MainControls tabs = DesignControls();  // the tab strip above the find box, the same way
    LayOut(tabs, 3630, 2955, {}, 375, 300);
    EXPECT_EQ(tabs.tabStrip, (TwipsRect{0, 0, 3630, 300}));
    EXPECT_EQ(tabs.findBox, (TwipsRect{0, 300, 3630, 375}));
    EXPECT_EQ(tabs.list, (TwipsRect{0, 675, 3630, 1905}));
    EXPECT_EQ(tabs.say, LaidOut(3630, 2955).say);
}

TEST(Layout, AtAnyScaleTheRowEndsOnTheClientEdgesInWholePixels) {
    EXPECT_EQ(TwipsToPixels(3630, 144), 363);
    EXPECT_EQ(PixelsToTwips(-10, 192), -75);
    for (const unsigned dpi : {96u, 120u, 144u, 168u, 192u}) {
        const auto px = [dpi](float twips) { return TwipsToPixels(twips, dpi); };
        const int width = px(kDesignClientWidth);
        const int height = px(kDesignClientHeight);
        MainControls c = DesignControls();
        FitFixedSizesToPixels(c, dpi);
        LayOut(c, PixelsToTwips(width, dpi), PixelsToTwips(height, dpi));
        // As the window places them: each control at its pixel position and size.
        EXPECT_EQ(px(c.list.height), px(c.say.top)) << dpi;
        EXPECT_EQ(px(c.say.top) + px(c.say.height), height) << dpi;
        EXPECT_EQ(px(c.say.width), px(c.sayNext.left)) << dpi;
        EXPECT_EQ(px(c.sayNext.left) + px(c.sayNext.width), px(c.reload.left)) << dpi;
        EXPECT_EQ(px(c.reload.left) + px(c.reload.width), width) << dpi;
    }
}

// Narrow, only the first button shrinks; low or empty, no size changes.
TEST(Layout, SmallClientAreasShrinkOnlyTheFirstButtonOrNothing) {
    EXPECT_EQ(LaidOut(2430, 2955).say.width, 0);

    MainControls narrow = LaidOut(3000, 2955);
    LayOut(narrow, 2000, 2955);
    EXPECT_EQ(narrow.say.width, 570) << "keeps its last width";
    EXPECT_EQ(narrow.sayNext.left, 570);
    EXPECT_EQ(narrow.reload.left, 1905) << "may run past the right edge";
    EXPECT_EQ(narrow.list.width, 2000);

    const MainControls before = LaidOut(3630, 2955);
    for (const auto& [width, height] : {std::pair{3630.f, 300.f}, {0.f, 0.f}}) {
        MainControls c = before;
        LayOut(c, width, height);
        EXPECT_EQ(c, before) << width << " x " << height;
    }
}

}  // namespace
}  // namespace kiv
