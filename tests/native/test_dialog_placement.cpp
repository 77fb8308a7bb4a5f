#include "core/dialog_placement.hpp"

#include <gtest/gtest.h>

#include <climits>

TEST(DialogPlacement, CentredOverTheOwnerAndKeptOffTheDesktopsLeftAndTopEdges) {
    struct Case { core::ScreenRect owner; int width, height; core::ScreenPoint origin, expected; } cases[] = {
        {{100, 50, 700, 551}, 297, 320, {0, 0}, {301, 165}},  // odd differences: halves truncated
        {{10, 10, 100, 100}, 297, 321, {-2000, -2000}, {-88, -100}},  // larger than the owner: toward zero
        {{-600, -500, 700, 550}, 297, 320, {0, 0}, {0, 0}},        // clamped onto the desktop's edges
        {{-600, 400, 700, 550}, 297, 320, {-1920, 0}, {-399, 515}},  // a monitor left of the primary
        {{1900, 1000, 700, 550}, 297, 320, {0, 0}, {2101, 1115}},  // right and bottom are not limited
    };
    for (const auto& c : cases) {
        const core::ScreenPoint at = core::CentredOver(c.owner, c.width, c.height, c.origin);
        EXPECT_EQ(at.x, c.expected.x) << c.owner.left << "," << c.owner.top;
        EXPECT_EQ(at.y, c.expected.y) << c.owner.left << "," << c.owner.top;
    }
}

TEST(DialogPlacement, FindDialogStandsCentredAcrossItsMonitorAThirdOfTheFreeHeightDown) {
    struct Case { core::ScreenRect monitor; int width, height; core::ScreenPoint expected; } cases[] = {
        {{0, 0, 1024, 768}, 351, 126, {336, 214}},          // odd room: the half and the third truncated
        {{1920, -300, 1280, 1024}, 350, 124, {2385, 0}},    // a monitor right of and above the primary
        {{-1280, 0, 1280, 1024}, 350, 125, {-815, 299}},    // one to its left: offsets from its own edges
        {{0, 0, 300, 200}, 351, 206, {-25, -2}},            // larger than the monitor: toward zero
        {{0, 0, INT_MAX, INT_MAX}, -1, -1, {INT_MAX / 2 + 1, 715827882}},    // no overflow in between
    };
    for (const auto& c : cases) {
        const core::ScreenPoint at = core::ThirdDownOnMonitor(c.monitor, c.width, c.height);
        EXPECT_EQ(at.x, c.expected.x) << c.monitor.left << "," << c.monitor.top;
        EXPECT_EQ(at.y, c.expected.y) << c.monitor.left << "," << c.monitor.top;
    }
}
