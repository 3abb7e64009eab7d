#include "platform/pixel_rect.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kiv {
namespace {

// An owned window over its owner, pushed back inside the owner's work area
// (a monitor left of the primary has negative coordinates), and as much of
// it as fits where it is larger.
TEST(PixelRect, AnOwnedWindowIsCentredOnItsOwnerInsideTheWorkArea) {
    const PixelRect work{-1280, 0, 0, 984};
    const std::tuple<const char*, PixelRect, int, int, PixelRect> cases[] = {
        {"centred", {-900, 300, -500, 600}, 200, 100, {-800, 400, -600, 500}},
        {"top left corner", {-1280, 0, -1080, 100}, 300, 200, {-1280, 0, -980, 200}},
        {"bottom right corner", {-200, 900, 0, 984}, 300, 200, {-300, 784, 0, 984}},
        {"larger than the work area", {-900, 300, -500, 600}, 1400, 1000, {-1280, 0, 0, 984}},
    };
    for (const auto& [name, owner, width, height, placed] : cases) {
        EXPECT_EQ(CenteredOn(owner, width, height, work), placed) << name;
    }
}

}  // namespace
}  // namespace kiv
