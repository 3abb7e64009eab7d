#include "app/window/layout.h"

#include <cmath>

namespace kiv {

MainControls DesignControls() {
    return {
        .tabStrip = {},
        .findBox = {},
        .list = {0, 60, 2655, 2490},
        .say = {0, 2580, 855, 375},
        .sayNext = {840, 2580, 1335, 375},
        .reload = {1620, 2580, 1095, 375},
    };
}

void LayOut(MainControls& c, float width, float height,
            const std::function<float(const TwipsRect&)>& placeList, float findBoxHeight,
            float tabStripHeight) {
    const float above = tabStripHeight + findBoxHeight;
    const TwipsRect list{0, above, width, height - c.say.height - above};
    if (list.width >= 0 && list.height >= 0) {
        c.tabStrip = {0, 0, width, tabStripHeight};
        c.findBox = {0, tabStripHeight, width, findBoxHeight};
        c.list = list;
        if (placeList) c.list.height = placeList(list);
    }
    const float row = c.list.top + c.list.height;
    const TwipsRect say{0, row, width - (c.sayNext.width + c.reload.width), c.say.height};
    if (say.width >= 0) c.say = say;
    c.sayNext.left = c.say.width;
    c.sayNext.top = row;
    c.reload.left = c.say.width + c.sayNext.width;
    c.reload.top = row;
}

void FitFixedSizesToPixels(MainControls& controls, unsigned dpi) {
    const MainControls design = DesignControls();
    const auto whole = [dpi](float twips) { return PixelsToTwips(TwipsToPixels(twips, dpi), dpi); };
    controls.say.height = whole(design.say.height);
    controls.sayNext.width = whole(design.sayNext.width);
    controls.sayNext.height = whole(design.sayNext.height);
    controls.reload.width = whole(design.reload.width);
    controls.reload.height = whole(design.reload.height);
}

int TwipsToPixels(float twips, unsigned dpi) {
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
}

float PixelsToTwips(int pixels, unsigned dpi) {
    return static_cast<float>(static_cast<double>(pixels) * 1440.0 / dpi);
}

}  // namespace kiv
