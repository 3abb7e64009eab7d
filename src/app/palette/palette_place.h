#pragma once

// Where the palette opens: under the game's chat input, where the player's
// eyes are (above it when the screen ends below), else at the mouse; always
// inside that monitor's work area. Portable.

#include <optional>

#include "platform/pixel_rect.h"

namespace kiv {

struct PixelPoint {
    int x = 0;
    int y = 0;
};

PixelRect PalettePlace(int width, int height, const std::optional<PixelRect>& chatInput,
                       PixelPoint mouse, const PixelRect& workArea);

}  // namespace kiv
