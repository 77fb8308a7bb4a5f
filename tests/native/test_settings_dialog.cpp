#include "core/settings_dialog.hpp"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(NamedColours, EachValueFindsItsOwnEntryAndNoOther) {
    std::set<std::int32_t> values;
    for (std::size_t i = 0; i < core::kNamedColours.size(); ++i) {
        values.insert(core::kNamedColours[i].value);
        EXPECT_EQ(core::NamedColourIndex(core::kNamedColours[i].value), static_cast<int>(i));
    }
    EXPECT_EQ(values.size(), core::kNamedColours.size());
    EXPECT_STREQ(core::kNamedColours[4].name, "Navy");  // red sits in the lowest byte
    EXPECT_EQ(core::kNamedColours[4].value, 0x800000);
    EXPECT_STREQ(core::kNamedColours[17].name, "Sky Blue");
    EXPECT_EQ(core::kNamedColours[17].value, 0xF0CAA6);
}

TEST(NamedColours, ColoursOutsideTheTableSelectNothing) {
    for (std::int32_t value : {0x010101, 0x00FFFE, -1, -16777201, 0x01000000})
        EXPECT_EQ(core::NamedColourIndex(value), std::nullopt) << value;
}

TEST(SwatchFrame, BlackWhenAnyComponentIsAbove192) {
    struct Case {
        std::int32_t colour;
        bool highlighted;
        core::SwatchFrame frame;
    };
    const Case cases[] = {
        {0xC0C0C0, false, core::SwatchFrame::Colour},  // 192 itself is not light
        {0xC0C0C0, true, core::SwatchFrame::White},
        {0x0000C1, false, core::SwatchFrame::Black},   // red alone
        {0x00C100, true, core::SwatchFrame::Black},    // green alone, highlighted too
        {0xC10000, false, core::SwatchFrame::Black},   // blue alone
        {0x000000, true, core::SwatchFrame::White},
        {0x800000, false, core::SwatchFrame::Colour},
        {0xA4A0A0, false, core::SwatchFrame::Colour},  // Medium Gray
        {0xF0CAA6, false, core::SwatchFrame::Black},   // Sky Blue
    };
    for (const Case& c : cases) EXPECT_EQ(core::SwatchFrameFor(c.colour, c.highlighted), c.frame) << std::hex << c.colour;
}

TEST(SwatchLayout, ASquareInsetByOnePixelAndTheNameFivePixelsRight) {
    const core::SwatchLayout layout = core::LayOutSwatch({3, 32, 140, 48});
    EXPECT_EQ(layout.swatch.left, 4);
    EXPECT_EQ(layout.swatch.top, 33);
    EXPECT_EQ(layout.swatch.right, 18);
    EXPECT_EQ(layout.swatch.bottom, 47);
    EXPECT_EQ(layout.swatch.right - layout.swatch.left, layout.swatch.bottom - layout.swatch.top);
    EXPECT_EQ(layout.textLeft, 23);
}

TEST(CentredDialogOrigin, CentresTruncatingAndKeepsTheTopLeftOnTheDesktop) {
    struct Case {
        core::Rect owner;
        core::Point desktop;
        core::Point expected;
    };
    // A 314 x 250 dialog.
    const Case cases[] = {
        {{0, 0, 700, 500}, {0, 0}, {193, 125}},
        {{10, 20, 711, 521}, {0, 0}, {203, 145}},       // odd differences halve down
        {{0, 0, 313, 249}, {-100, -100}, {0, 0}},       // -1 / 2 is 0, not -1
        {{0, 0, 300, 200}, {-100, -100}, {-7, -25}},    // -14 / 2 and -50 / 2, inside the desktop
        {{-900, -700, -200, -200}, {-500, -300}, {-500, -300}},  // raised to the desktop's edges
        {{1500, 900, 2200, 1400}, {0, 0}, {1693, 1025}},         // right and bottom are not limited
    };
    for (const Case& c : cases) {
        const core::Point origin = core::CentredDialogOrigin(c.owner, 314, 250, c.desktop);
        EXPECT_EQ(origin.x, c.expected.x) << c.owner.left;
        EXPECT_EQ(origin.y, c.expected.y) << c.owner.top;
    }
}

}  // namespace
