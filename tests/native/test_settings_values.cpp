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

TEST(SettingsValues, SizeIndexGivesSixToFortyEightPointsElseNine) {
    const std::pair<std::int32_t, int> cases[] = {{0, 8},   {1, 9},   {2, 10},  {3, 11},       {4, 12},
                                                  {5, 13},  {-1, 7},  {-2, 6},  {40, 48},      {-3, 9},
                                                  {41, 9},  {16, 24}, {INT32_MAX, 9}, {INT32_MIN, 9}};
    for (const auto& [index, points] : cases) EXPECT_EQ(core::PointSizeFromIndex(index), points) << index;
}

TEST(SettingsValues, TheChosenSizeIsOneOfTheDialogsOrTheShownOneOrNine) {
    EXPECT_EQ(core::ChosenPointSize(0, 24), 8);
    EXPECT_EQ(core::ChosenPointSize(4, 6), 12);
    EXPECT_EQ(core::ChosenPointSize(std::nullopt, 11), 11);
    EXPECT_EQ(core::ChosenPointSize(std::nullopt, 14), 9);
    EXPECT_EQ(core::ChosenPointSize(5, 10), 10);
    EXPECT_EQ(core::ChosenPointSize(-1, 7), 9);
    EXPECT_EQ(core::ChosenPointSize(INT32_MAX, 12), 12);
    EXPECT_EQ(core::ChosenPointSize(INT32_MIN, 8), 8);
}

TEST(SettingsValues, ZoomStepsFromAnySizeAndStopsAtSixAndFortyEight) {
    struct Case { int points, steps, expected; };
    const Case cases[] = {
        {9, 1, 10},  {9, 3, 12},  {12, 1, 14}, {13, 1, 14}, {13, -1, 12}, {9, -3, 6},  {9, -10, 6},
        {6, -1, 6},  {48, 1, 48}, {44, 5, 48}, {24, 0, 24}, {25, 0, 25},   {2, 0, 6},   {100, -1, 44},
        {9, 100, 48}, {INT32_MAX, 1, 48}, {INT32_MIN, -1, 6},
    };
    for (const auto& c : cases) EXPECT_EQ(core::ZoomedPoints(c.points, c.steps), c.expected) << c.points << " " << c.steps;
    for (std::size_t i = 1; i < core::kZoomSteps.size(); ++i) EXPECT_LT(core::kZoomSteps[i - 1], core::kZoomSteps[i]);
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
