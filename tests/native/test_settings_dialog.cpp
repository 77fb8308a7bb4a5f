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


}  // namespace
