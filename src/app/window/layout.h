#pragma once

// Where the main window's controls go, in twips (1/1440 inch) inside the
// client area. Portable: the window applies it in pixels.

#include <functional>

namespace kiv {

struct TwipsRect {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    friend bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

struct MainControls {
    TwipsRect tabStrip;  // on top while two or more macro files are open
    TwipsRect findBox;   // above the list while the user finds a macro
    TwipsRect list;
    TwipsRect say;
    TwipsRect sayNext;
    TwipsRect reload;
    friend bool operator==(const MainControls&, const MainControls&) = default;
};

// The design-time client size and control positions.
constexpr float kDesignClientWidth = 3630;
constexpr float kDesignClientHeight = 2955;
MainControls DesignControls();

// Lays the controls out for a client area of `width` × `height`: the list on
// top at full width, the three buttons in a row below it ending at the right
// edge, "発言" taking what the two fixed-width buttons leave. A placement that
// would make a width or height negative is skipped and the control keeps its
// place. `placeList` sets the list and returns the height it really took (a
// list box may round it); by default it takes what it is given.
// With a find box `findBoxHeight` high, the list starts below it, shorter
// by as much; the buttons stay where they are. A tab strip `tabStripHeight`
// high goes above both, the same way.
void LayOut(MainControls& controls, float width, float height,
            const std::function<float(const TwipsRect&)>& placeList = {}, float findBoxHeight = 0,
            float tabStripHeight = 0);

// Puts the sizes the layout never changes (the buttons' height, the two
// fixed widths) on whole pixels at `dpi`, from their design values. At 150 %
// 375 twips are 37.5 px: rounded alone, the row would end a pixel off the
// client area's edge; with the fixed sizes whole, everything the layout
// derives from them is whole too.
void FitFixedSizesToPixels(MainControls& controls, unsigned dpi);

// 15 twips per pixel at 96 DPI.
int TwipsToPixels(float twips, unsigned dpi);
float PixelsToTwips(int pixels, unsigned dpi);

}  // namespace kiv
