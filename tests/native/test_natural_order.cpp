#include "core/natural_order.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return core::NaturalLess(a, b); });
    return names;
}

}  // namespace

TEST(NaturalOrder, NumbersCompareByValueWhateverTheirLength) {
    EXPECT_EQ(Sorted({"file10.nfo", "file2.nfo", "file1.nfo", "file100.nfo", "file20.nfo"}),
              (std::vector<std::string>{"file1.nfo", "file2.nfo", "file10.nfo", "file20.nfo", "file100.nfo"}));
    // Past any integer type: compared digit by digit.
    EXPECT_LT(core::NaturalCompare("x99999999999999999999999.nfo", "x100000000000000000000000.nfo"), 0);
    EXPECT_LT(core::NaturalCompare("v1.9.nfo", "v1.10.nfo"), 0);
    EXPECT_LT(core::NaturalCompare("a2b3", "a2b10"), 0);
    EXPECT_LT(core::NaturalCompare("2", "10"), 0);
    EXPECT_LT(core::NaturalCompare("1", "a"), 0);  // a digit stands where its character would
}

TEST(NaturalOrder, LeadingZerosAndCaseTieButSortingStaysStrict) {
    EXPECT_EQ(core::NaturalCompare("File007.NFO", "file7.nfo"), 0);
    EXPECT_LT(core::NaturalCompare("file007.nfo", "file8.nfo"), 0);
    EXPECT_NE(core::NaturalLess("A.nfo", "a.nfo"), core::NaturalLess("a.nfo", "A.nfo"));
    EXPECT_FALSE(core::NaturalLess("a.nfo", "a.nfo"));
    EXPECT_EQ(Sorted({"b.nfo", "B2.nfo", "a.NFO", "A1.nfo"}),
              (std::vector<std::string>{"a.NFO", "A1.nfo", "b.nfo", "B2.nfo"}));
}

TEST(NaturalOrder, ShorterNameFirstWhenItIsThePrefix) {
    EXPECT_LT(core::NaturalCompare("file", "file1"), 0);
    EXPECT_LT(core::NaturalCompare("file.nfo", "file.nfo.txt"), 0);
    EXPECT_GT(core::NaturalCompare("file1", "file"), 0);
    EXPECT_EQ(core::NaturalCompare("", ""), 0);
}

TEST(NaturalOrder, AccentedGreekAndCyrillicCapitalsFoldToTheirSmallLetters) {
    EXPECT_EQ(core::NaturalCompare("\xC3\x84rger.nfo", "\xC3\xA4rger.nfo"), 0);       // Ä ä
    EXPECT_EQ(core::NaturalCompare("\xC5\x81odz.nfo", "\xC5\x82odz.nfo"), 0);         // Ł ł (odd capital)
    EXPECT_EQ(core::NaturalCompare("\xC4\x8C" "a.nfo", "\xC4\x8D" "a.nfo"), 0);        // Č č
    EXPECT_EQ(core::NaturalCompare("\xCE\xA9.nfo", "\xCF\x89.nfo"), 0);                // Ω ω
    EXPECT_EQ(core::NaturalCompare("\xD0\x96.nfo", "\xD0\xB6.nfo"), 0);                // Ж ж
    EXPECT_EQ(core::NaturalCompare("\xD0\x81.nfo", "\xD1\x91.nfo"), 0);                // Ё ё
    EXPECT_NE(core::NaturalCompare("\xC3\x97", "\xC3\xB7"), 0);                        // × and ÷ are no pair
    EXPECT_LT(core::NaturalCompare("z.nfo", "\xC3\xA4.nfo"), 0);  // letters beyond ASCII after it
}

TEST(NaturalOrder, BrokenUtf8HasAnOrderAndIsNeverReadPastItsEnd) {
    const std::string broken[] = {"\xC3", "\xE2\x95", "\xF0\x9F\x98", "\xC0\xAF", "\xFF\xFE", "\xED\xA0\x80", "a\x80"};
    for (const std::string& a : broken)
        for (const std::string& b : broken) {
            EXPECT_EQ(core::NaturalCompare(a, b) == 0, a == b) << a << " " << b;
            EXPECT_EQ(core::NaturalCompare(a, b), -core::NaturalCompare(b, a));
        }
}
