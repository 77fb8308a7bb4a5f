#include "core/search.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {
constexpr std::size_t kMax = std::numeric_limits<std::size_t>::max();
}

TEST(FindNextSearch, Table) {
    struct Case {
        const char* name;
        std::string text;
        std::size_t selStart, selLength;
        std::string find;
        std::optional<std::size_t> hit;
    } cases[] = {
        {"lower finds upper", "xx ABC", 0, 0, "abc", 3},
        {"mixed case", "xx aBc", 0, 0, "ABC", 3},
        {"leftmost wins", "abc ABC", 0, 0, "Abc", 0},
        {"starts after the selection", "abc ABC", 0, 1, "abc", 4},
        {"match may begin right at the selection's end", "xxabc", 1, 1, "abc", 2},
        {"only a-z fold: '[' is not '{'", "{", 0, 0, "[", std::nullopt},
        {"only a-z fold: '@' is not '`'", "`", 0, 0, "@", std::nullopt},
        {"high byte matches itself", "a\xE4" "b", 0, 0, "\xE4", 1},
        {"high bytes do not fold (0xE4 vs 0xC4)", "\xC4", 0, 0, "\xE4", std::nullopt},
        {"first byte not a letter", "..x..X", 0, 0, ".x", 1},
        {"rest mismatches then match", "abXabcd", 0, 0, "ABC", 3},
        {"match at the very end", "xxxxyz", 0, 0, "YZ", 4},
        {"empty find text", "abc", 0, 0, "", std::nullopt},
        {"find longer than the rest", "abcdef", 2, 2, "ef_", std::nullopt},
        {"find exactly the rest", "abcdef", 2, 2, "EF", 4},
        {"selection reaches the end", "abc", 1, 2, "c", std::nullopt},
        {"caret at the end", "abc", 3, 0, "c", std::nullopt},
        {"selection start beyond the end", "abc", 10, 0, "a", std::nullopt},
        {"selection length beyond the end", "abc", 1, 10, "a", std::nullopt},
        {"start + length overflows", "abc", 1, kMax, "a", std::nullopt},
        {"huge start", "abc", kMax, kMax, "a", std::nullopt},
        {"empty text", "", 0, 0, "a", std::nullopt},
        {"line break in the text", "ab\r\ncd", 0, 0, "\r\nC", 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::FindNext(c.text, c.selStart, c.selLength, c.find), c.hit) << c.name;
}

TEST(FindNextSearch, RepeatedSearchesStepThroughWithoutOverlap) {
    const std::string text = "AAAA\r\n";
    std::size_t start = 0, length = 0;
    auto hit = core::FindNext(text, start, length, "aa");
    ASSERT_EQ(hit, 0u);
    start = *hit, length = 2;
    hit = core::FindNext(text, start, length, "aa");
    ASSERT_EQ(hit, 2u);
    start = *hit;
    EXPECT_EQ(core::FindNext(text, start, length, "aa"), std::nullopt);
}

TEST(FindNextSearch, LargeTextWithManyNearMisses) {
    // Both letter cases of the first byte are everywhere; the one hit sits at the end.
    std::string text;
    for (int i = 0; i < 500000; ++i) text += (i % 2) ? "nF" : "Nf";
    text += "NfO";
    EXPECT_EQ(core::FindNext(text, 0, 0, "nfo"), text.size() - 3);
    EXPECT_EQ(core::FindNext(text, 0, 0, "nfx"), std::nullopt);
}

// What the user types is turned into the bytes the view draws it with; a character the view
// cannot draw matches nothing.
TEST(Search, TypedTextBecomesTheBytesOfItsGlyphs) {
    struct Case { std::u16string typed; std::optional<std::string> bytes; } cases[] = {
        {u"M\u00FCnchen", "M\x81nchen"},
        {u"Caf\u00E9", "Caf\x82"},
        {u"\u2554\u2550", "\xC9\xCD"},
        {u"a?b", "a?b"},
        {u"", ""},
        {u"\u20AC", std::nullopt},
        {u"x\U0001F600", std::nullopt},
        {u"\xD800", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(core::Cp437FindText(c.typed), c.bytes) << testing::PrintToString(c.bytes);
    const std::string text = "Caf\x82 in M\x81nchen\r\n";
    EXPECT_EQ(core::FindNext(text, 0, 0, *core::Cp437FindText(u"m\u00FCNCHEN")), 8u);  // a-z fold as before
    EXPECT_FALSE(core::FindNext(text, 0, 0, *core::Cp437FindText(u"M\u00DCNCHEN")));  // \u00DC is its own byte
}
