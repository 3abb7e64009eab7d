#pragma once

// Rectangles on the screen, in pixels, and where a window goes among them.
// Portable.

namespace kiv {

// A rectangle in pixels, right and bottom exclusive.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// `window` moved into `workArea`, keeping its size where it fits.
PixelRect MoveInto(const PixelRect& window, const PixelRect& workArea);

// A window owned by `owner` (a dialog, a message box), `width` by `height`,
// centred on it and kept inside `workArea`: where the user is looking, not
// in the middle of the screen over another program.
PixelRect CenteredOn(const PixelRect& owner, int width, int height, const PixelRect& workArea);

}  // namespace kiv
