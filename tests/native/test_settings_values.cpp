#include "core/settings_values.hpp"

#include <gtest/gtest.h>

namespace {

TEST(SettingsValues, FontIndexMapsToTheThreeFacesWithTerminalForTheRest) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "Courier New"}, {1, "Lucida Console"}, {2, "Terminal"},
        {3, "Terminal"},    {7, "Terminal"},       {-1, "Terminal"}, {INT32_MIN, "Terminal"},
    };
    for (const auto& [index, name] : cases) EXPECT_EQ(core::FontNameFromIndex(index), name) << index;
}

TEST(SettingsValues, FontNameMatchesExactly) {
    EXPECT_EQ(core::FontIndexFromName("Courier New"), 0);
    EXPECT_EQ(core::FontIndexFromName("Lucida Console"), 1);
    EXPECT_EQ(core::FontIndexFromName("Terminal"), 2);
    for (const char* other : {"terminal", "Courier New ", "Courier", "", "Fixedsys"})
        EXPECT_FALSE(core::FontIndexFromName(other).has_value()) << other;
}

TEST(SettingsValues, SizeIndexGivesEightToTwelvePointsElseNine) {
    const std::pair<std::int32_t, int> cases[] = {{0, 8}, {1, 9}, {2, 10}, {3, 11}, {4, 12},
                                                  {5, 9}, {-1, 9}, {INT32_MAX, 9}, {INT32_MIN, 9}};
    for (const auto& [index, points] : cases) EXPECT_EQ(core::PointSizeFromIndex(index), points) << index;
}

TEST(SettingsValues, MulDivRoundsHalfAwayFromZero) {
    struct Case { int number, numerator, denominator, expected; };
    const Case cases[] = {
        {1, 3, 2, 2},   {-1, 3, 2, -2}, {1, -3, 2, -2}, {-1, -3, 2, 2}, {1, 3, -2, -2},
        {5, 1, 3, 2},   {4, 1, 3, 1},   {-5, 1, 3, -2}, {0, -7, 3, 0},
        {9, 96, 72, 12}, {8, 96, 72, 11}, {-11, 72, 96, -8},
        {7, 1, 0, -1},                          // no denominator
        {INT32_MAX, 2, 1, -1},                  // does not fit
        {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},  // the intermediate is 64 bits
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::MulDivRound(c.number, c.numerator, c.denominator), c.expected)
            << c.number << '*' << c.numerator << '/' << c.denominator;
}

TEST(SettingsValues, FontHeightsRoundTripThePointSizes) {
    const std::pair<int, int> heightsAt96[] = {{8, -11}, {9, -12}, {10, -13}, {11, -15}, {12, -16}};
    for (const auto& [points, height] : heightsAt96) EXPECT_EQ(core::FontHeightFromPoints(points, 96), height);
    for (int ppi : {96, 120, 144})
        for (int points = 8; points <= 12; ++points)
            EXPECT_EQ(core::PointsFromFontHeight(core::FontHeightFromPoints(points, ppi), ppi), points)
                << points << " pt at " << ppi;
}

TEST(SettingsValues, CentredOriginHalvesTowardZero) {
    EXPECT_EQ(core::CentredOrigin(1024, 700), 162);
    EXPECT_EQ(core::CentredOrigin(1025, 700), 162);
    EXPECT_EQ(core::CentredOrigin(800, 805), -2);
    EXPECT_EQ(core::CentredOrigin(800, 803), -1);
    EXPECT_EQ(core::CentredOrigin(INT32_MIN, INT32_MAX), -2147483647);  // no overflow
}

}  // namespace
