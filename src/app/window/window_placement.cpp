#include "app/window/window_placement.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "app/window/layout.h"

namespace kiv {
namespace {

PixelRect Intersection(const PixelRect& a, const PixelRect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

std::int64_t Area(const PixelRect& r) {
    if (r.right <= r.left || r.bottom <= r.top) return 0;
    return std::int64_t{r.right - r.left} * (r.bottom - r.top);
}

// How far `high` starts past where `low` ends; 0 when they touch or overlap.
std::int64_t Gap(int lowEnd, int highStart) {
    return std::max<std::int64_t>(0, std::int64_t{highStart} - lowEnd);
}

// Squared distance between two rectangles; 0 when they touch or overlap.
std::int64_t Distance(const PixelRect& a, const PixelRect& b) {
    const std::int64_t dx = std::max(Gap(a.right, b.left), Gap(b.right, a.left));
    const std::int64_t dy = std::max(Gap(a.bottom, b.top), Gap(b.bottom, a.top));
    return dx * dx + dy * dy;
}

// The work area the window overlaps most, or the closest one when it
// overlaps none.
const PixelRect& NearestWorkArea(const PixelRect& window, const std::vector<PixelRect>& areas) {
    const PixelRect* best = &areas.front();
    std::int64_t bestOverlap = -1;
    std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
    for (const PixelRect& area : areas) {
        const std::int64_t overlap = Area(Intersection(window, area));
        const std::int64_t distance = Distance(window, area);
        if (overlap > bestOverlap || (overlap == bestOverlap && distance < bestDistance)) {
            best = &area;
            bestOverlap = overlap;
            bestDistance = distance;
        }
    }
    return *best;
}

}  // namespace

PixelRect GeometryToPixels(const WindowGeometry& twips, unsigned systemDpi) {
    const int left = TwipsToPixels(twips.left, systemDpi);
    const int top = TwipsToPixels(twips.top, systemDpi);
    return {left, top, left + TwipsToPixels(twips.width, systemDpi),
            top + TwipsToPixels(twips.height, systemDpi)};
}

WindowGeometry PixelsToGeometry(const PixelRect& pixels, unsigned systemDpi) {
    return {PixelsToTwips(pixels.left, systemDpi), PixelsToTwips(pixels.top, systemDpi),
            PixelsToTwips(pixels.Width(), systemDpi), PixelsToTwips(pixels.Height(), systemDpi)};
}

bool CaptionCanBeGrabbed(const PixelRect& window, const CaptionBar& caption,
                         const std::vector<PixelRect>& workAreas) {
    const PixelRect grip{window.left + caption.left, window.top + caption.top,
                         window.right - caption.right, window.top + caption.top + caption.height};
    return std::any_of(workAreas.begin(), workAreas.end(), [&](const PixelRect& area) {
        const PixelRect piece = Intersection(grip, area);
        return piece.Height() >= caption.height && piece.Width() >= 2 * caption.height;
    });
}

PixelRect PlaceOnScreen(const PixelRect& window, const CaptionBar& caption,
                        const std::vector<PixelRect>& workAreas) {
    if (workAreas.empty() || CaptionCanBeGrabbed(window, caption, workAreas)) return window;
    return MoveInto(window, NearestWorkArea(window, workAreas));
}

PixelRect WorkspaceToScreen(const PixelRect& rect, const std::vector<MonitorArea>& monitors) {
    // The monitor it overlaps most; on none, the primary one.
    const MonitorArea* on = nullptr;
    std::int64_t most = 0;
    for (const MonitorArea& area : monitors) {
        const std::int64_t overlap = Area(Intersection(rect, area.monitor));
        if (overlap > most) {
            most = overlap;
            on = &area;
        }
    }
    if (on == nullptr) {
        const auto primary = std::find_if(
            monitors.begin(), monitors.end(),
            [](const MonitorArea& a) { return a.monitor.left == 0 && a.monitor.top == 0; });
        if (primary == monitors.end()) return rect;
        on = &*primary;
    }
    const int dx = on->work.left - on->monitor.left;
    const int dy = on->work.top - on->monitor.top;
    return {rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

}  // namespace kiv
