#include "app/palette/palette_place.h"

namespace kiv {

PixelRect PalettePlace(int width, int height, const std::optional<PixelRect>& chatInput,
                       PixelPoint mouse, const PixelRect& workArea) {
    PixelRect place{mouse.x, mouse.y, mouse.x + width, mouse.y + height};
    if (chatInput) {
        const int below = chatInput->bottom;
        // Over the input only when below it would cover it once kept inside.
        const int top = below + height <= workArea.bottom ? below : chatInput->top - height;
        place = {chatInput->left, top, chatInput->left + width, top + height};
    }
    return MoveInto(place, workArea);
}

}  // namespace kiv
