#include "platform/pixel_rect.h"

#include <algorithm>

namespace kiv {

PixelRect MoveInto(const PixelRect& window, const PixelRect& workArea) {
    const int width = std::min(window.Width(), workArea.Width());
    const int height = std::min(window.Height(), workArea.Height());
    const int left = std::clamp(window.left, workArea.left, workArea.right - width);
    const int top = std::clamp(window.top, workArea.top, workArea.bottom - height);
    return {left, top, left + width, top + height};
}

PixelRect CenteredOn(const PixelRect& owner, int width, int height, const PixelRect& workArea) {
    const int left = owner.left + (owner.Width() - width) / 2;
    const int top = owner.top + (owner.Height() - height) / 2;
    return MoveInto({left, top, left + width, top + height}, workArea);
}

}  // namespace kiv
