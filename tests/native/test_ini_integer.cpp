#include "core/ini_integer.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(IniInteger, ParsesTheSettingsFileGrammar) {
    constexpr std::int32_t kFallback = 12345;
    struct Case { const char* text; std::int32_t expected; };
    const Case cases[] = {
        {"$FF", 255},
        {"0xFF", 255},
        {"0X1f", 31},
        {"x1F", 31},
        {"X1f", 31},
        {"-$10", -16},
        {"-0x10", -16},
        {"$FFFFFFFF", -1},
        {"-$FFFFFFFF", 1},
        {"$80000000", INT32_MIN},
        {"$000000000FF", 255},  // leading zeros do not count toward 32 bits
        {"2", 2},
        {"-40", -40},
        {"+5", 5},
        {" 12", 12},
        {"   -7", -7},
        {"0", 0},
        {"-0", 0},
        {"007", 7},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        // Not integers: the fallback.
        {"", kFallback},
        {"7OO", kFallback},
        {"yes", kFallback},
        {"true", kFallback},
        {"2147483648", kFallback},
        {"-2147483649", kFallback},
        {"$100000000", kFallback},
        {"0x", kFallback},
        {"$", kFallback},
        {"x", kFallback},
        {"-", kFallback},
        {"+-5", kFallback},
        {"- 5", kFallback},
        {"12 ", kFallback},
        {"1.5", kFallback},
        {"$FG", kFallback},
        {"0$10", kFallback},
        {"00x10", kFallback},
        {"99999999999999999999999", kFallback},
        {"\t3", kFallback},
    };
    for (const auto& c : cases) EXPECT_EQ(core::IniIntegerOr(c.text, kFallback), c.expected) << '"' << c.text << '"';
}

TEST(IniInteger, ReportsNonIntegersAsAbsent) {
    EXPECT_EQ(core::ParseIniInteger("0"), 0);
    EXPECT_FALSE(core::ParseIniInteger("0x").has_value());
    EXPECT_FALSE(core::ParseIniInteger(std::string(3000, '1')).has_value());
    EXPECT_EQ(core::ParseIniInteger(std::string(3000, '0') + "9"), 9);
}

}  // namespace
