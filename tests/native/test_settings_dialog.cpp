#include "core/settings_dialog.hpp"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace {

TEST(NamedColours, EachValueFindsOnlyItsOwnEntryAndOthersNone) {
    std::set<std::int32_t> values;
    for (std::size_t i = 0; i < core::kNamedColours.size(); ++i) {
        values.insert(core::kNamedColours[i].value);
        EXPECT_EQ(core::NamedColourIndex(core::kNamedColours[i].value), static_cast<int>(i));
    }
    EXPECT_EQ(values.size(), core::kNamedColours.size());
    for (std::int32_t value : {0x010101, 0x00FFFE, -1, -16777201, 0x01000000})
        EXPECT_EQ(core::NamedColourIndex(value), std::nullopt) << value;
}

TEST(SwatchFrame, BlackWhenAnyComponentIsAbove192) {
    const std::tuple<std::int32_t, bool, core::SwatchFrame> cases[] = {
        {0xC0C0C0, false, core::SwatchFrame::Colour},  // 192 itself is not light
        {0xC0C0C0, true, core::SwatchFrame::White},
        {0x0000C1, false, core::SwatchFrame::Black},   // red alone
        {0x00C100, true, core::SwatchFrame::Black},    // green alone, highlighted too
        {0xC10000, false, core::SwatchFrame::Black},   // blue alone
    };
    for (const auto& [colour, highlighted, frame] : cases)
        EXPECT_EQ(core::SwatchFrameFor(colour, highlighted), frame) << std::hex << colour;
}

TEST(SwatchLayout, ASquareInsetByOnePixelAndTheNameFivePixelsRight) {
    const core::SwatchLayout layout = core::LayOutSwatch({3, 32, 140, 48});
    EXPECT_EQ(std::tuple(layout.swatch.left, layout.swatch.top, layout.swatch.right, layout.swatch.bottom),
              std::tuple(4, 33, 18, 47));
    EXPECT_EQ(layout.textLeft, 23);
}

}  // namespace

TEST(ColourPresets, EveryPairIsOfTheDialogsColoursAndTheDarkOnesAreDark) {
    for (const core::ColourPreset& preset : core::kColourPresets) {
        EXPECT_TRUE(core::NamedColourIndex(preset.text)) << preset.name;
        EXPECT_TRUE(core::NamedColourIndex(preset.back)) << preset.name;
        EXPECT_NE(preset.text, preset.back) << preset.name;
    }
    EXPECT_FALSE(core::IsDarkColour(0xFFFFFF));
    EXPECT_TRUE(core::IsDarkColour(0x000000));
    EXPECT_TRUE(core::IsDarkColour(0x800000));   // navy
    EXPECT_FALSE(core::IsDarkColour(0x00FFFF));  // yellow
    EXPECT_FALSE(core::IsDarkColour(0xC0C0C0));  // silver
    EXPECT_TRUE(core::IsDarkColour(0x808080 - 0x010101));
    EXPECT_FALSE(core::IsDarkColour(0x808080));
    EXPECT_FALSE(core::IsDarkColour(0x00FF00));  // lime: green weighs most
    EXPECT_TRUE(core::IsDarkColour(0x0000FF));   // red: red weighs less
}
