#include <gtest/gtest.h>

#include "commands/CentredRect.h"

namespace velmira {
namespace {

// A 400 by 300 window. Work areas: the primary monitor with its taskbar, one
// to its left and one above it, as Windows numbers them.
constexpr PixelRect kPrimary{0, 0, 1920, 1040};
constexpr PixelRect kLeft{-1280, 0, 1280, 984};
constexpr PixelRect kAbove{0, -1080, 1920, 1040};

TEST(CentredRect, StaysOverItsOwnerOnTheOwnersMonitor) {
    const struct {
        const char* what;
        PixelRect owner;
        PixelRect workArea;
        PixelRect expected;
    } cases[] = {
        {"primary monitor", {100, 100, 800, 600}, kPrimary, {300, 250, 400, 300}},
        {"monitor to the left", {-1100, 200, 800, 600}, kLeft, {-900, 350, 400, 300}},
        {"monitor above", {200, -900, 800, 600}, kAbove, {400, -750, 400, 300}},
        {"owner past the left edge", {-1400, 100, 300, 200}, kLeft, {-1280, 50, 400, 300}},
        {"owner over the taskbar", {500, 900, 800, 600}, kPrimary, {700, 740, 400, 300}},
        {"owner past the top edge", {300, -1300, 800, 600}, kAbove, {500, -1080, 400, 300}},
        {"work area too small", {-1280, 0, 300, 200}, {-1280, 0, 300, 200}, {-1280, 0, 400, 300}},
    };
    for (const auto& c : cases) {
        const PixelRect placed = CentredRect(400, 300, c.owner, c.workArea);
        EXPECT_EQ(placed, c.expected) << c.what << ": " << placed.left << ", " << placed.top;
    }
}

}  // namespace
}  // namespace velmira
