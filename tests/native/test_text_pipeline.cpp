#include "core/text_pipeline.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;
using Lines = std::vector<std::string>;

namespace {

// The line rules read literally, one byte at a time with a look at the next: a second,
// differently built reader to hold the streaming one against.
Lines ReferenceLines(std::string_view s, bool dropZero) {
    Lines lines;
    std::size_t i = 0;
    auto endsInput = [&](char c) { return !dropZero && c == '\x1A'; };  // UTF-16 text has no Ctrl-Z mark
    while (i < s.size() && !endsInput(s[i])) {
        std::string line;
        for (; i < s.size() && !endsInput(s[i]); ++i) {
            const char c = s[i];
            if (c == '\n') { ++i; break; }
            if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') { i += 2; break; }
            if (c == '\r' || (dropZero && c == '\0')) continue;
            line += c;
        }
        lines.push_back(line);
    }
    return lines;
}

Lines SplitInPieces(std::string_view s, bool dropZero, std::vector<std::size_t> cuts) {
    core::LineCollector out;
    core::LineReader reader(dropZero);
    std::size_t from = 0;
    cuts.push_back(s.size());
    for (std::size_t cut : cuts) {
        reader.Feed(s.data() + from, cut - from, out);
        from = cut;
    }
    reader.Finish(out);
    return out.Take();
}

}  // namespace

TEST(LineReader, SplitsByTheLoaderRules) {
    struct Case { std::string in; Lines out; } cases[] = {
        {"", {}},
        {"A\r\nB\r\n", {"A", "B"}},
        {"A\nB\n", {"A", "B"}},
        {"A\nB", {"A", "B"}},
        {"A\rB\r\n", {"AB"}},                  // CR alone is dropped, so CR-only files are one line
        {"A\r\r\nB", {"A", "B"}},
        {"A\n\rB", {"A", "B"}},                // LF CR: one break
        {"A\n\n", {"A", ""}},
        {"\r", {""}},                          // a lone CR still opens a line
        {"A\n\r", {"A", ""}},
        {"AB\x1A" "CD\r\nEF", {"AB"}},
        {"\x1A" "AB", {}},
        {"A\n\x1A" "B", {"A"}},
        {"A\r\x1A", {"A"}},
        {"\r\x1A", {""}},                      // a line in progress counts even when empty
        {"A\0B\n"s, {"A\0B"s}},
        {"\t\x0C\x7F\xFF\n", {"\t\x0C\x7F\xFF"}},
        {std::string(100000, 'x') + "\r\n", {std::string(100000, 'x')}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(core::SplitLines(c.in, false), c.out) << testing::PrintToString(c.in);
        EXPECT_EQ(ReferenceLines(c.in, false), c.out) << testing::PrintToString(c.in);
    }
}

TEST(LineReader, DropsZeroBytesOfUtf16Text) {
    struct Case { std::string in; Lines out; } cases[] = {
        {"A\0\r\0\n\0B\0\r\0\n\0"s, {"A", "B", ""}},   // little-endian: the zero after the last LF is a line
        {"\0A\0\r\0\n\0B\0\r\0\n"s, {"A", "B"}},       // big-endian
        {"\x11\x04\n\0"s, {"\x11\x04", ""}},            // U+0411 keeps its bytes in file order
        {"A\0\x1A\0B\0"s, {"A\x1A" "B"}},          // no Ctrl-Z mark in UTF-16: nothing is dropped
        {"\x1A\x21\n\0Z\0"s, {"\x1A\x21", "Z"}},   // U+211A keeps the rest of the file
        {"\0"s, {""}},
    };
    for (const auto& c : cases) EXPECT_EQ(core::SplitLines(c.in, true), c.out) << testing::PrintToString(c.in);
}

TEST(LineReader, EveryBytePairAcrossAFeedBoundaryMatchesOneFeed) {
    for (bool dropZero : {false, true}) {
        for (int a = 0; a < 256; ++a) {
            for (int b = 0; b < 256; ++b) {
                const std::string s = "x"s + char(a) + char(b) + "y";
                ASSERT_EQ(SplitInPieces(s, dropZero, {2}), SplitInPieces(s, dropZero, {}))
                    << a << ' ' << b << ' ' << dropZero;
            }
        }
    }
}

TEST(LineReader, ShortSequencesOfSpecialBytesMatchTheRulesUnderAnySplit) {
    const char classes[] = {'\r', '\n', '\x1A', '\0', 'x'};
    for (bool dropZero : {false, true}) {
        for (std::size_t len = 1; len <= 6; ++len) {
            std::size_t total = 1;
            for (std::size_t k = 0; k < len; ++k) total *= 5;
            for (std::size_t code = 0; code < total; ++code) {
                std::string s;
                for (std::size_t k = 0, c = code; k < len; ++k, c /= 5) s += classes[c % 5];
                const Lines expected = ReferenceLines(s, dropZero);
                ASSERT_EQ(SplitInPieces(s, dropZero, {}), expected) << testing::PrintToString(s);
                std::vector<std::size_t> everyByte;
                for (std::size_t cut = 1; cut < len; ++cut) {
                    ASSERT_EQ(SplitInPieces(s, dropZero, {cut}), expected) << testing::PrintToString(s) << cut;
                    everyByte.push_back(cut);
                }
                ASSERT_EQ(SplitInPieces(s, dropZero, everyByte), expected) << testing::PrintToString(s);
            }
        }
    }
}

TEST(LineReader, CtrlZEndsTheInputForLaterFeeds) {
    core::ViewTextBuilder out;
    core::LineReader reader(false);
    EXPECT_TRUE(reader.Feed("AB", 2, out));
    EXPECT_FALSE(reader.Feed("C\x1A" "D\n", 4, out));
    EXPECT_TRUE(reader.Ended());
    EXPECT_FALSE(reader.Feed("E\n", 2, out));
    reader.Finish(out);
    EXPECT_EQ(out.Text(), "ABC\r\n");
}

TEST(ViewText, CutsEachAppendedTextAtItsFirstNul) {
    struct Case { Lines lines; std::string text; } cases[] = {
        {{}, ""},
        {{""}, "\r\n"},
        {{"A", "B"}, "A\r\nB\r\n"},
        // The cut takes the CR LF, so the next lines bring theirs in front until an empty line.
        {{"A\0B"s, "C", "D", "", "E"}, "A\r\nC\r\nD\r\nE\r\n"},
        {{"A\0"s, "B\0"s}, "A\r\nB"},
        {{"\0X"s, "A"}, "A\r\n"},                 // a leading NUL adds nothing after CR LF ...
        {{"A\0"s, "\0X"s, "B"}, "A\r\nB\r\n"},    // ... and one row break when the text lacks it
    };
    for (const auto& c : cases) {
        core::ViewTextBuilder whole, pieces;
        for (const auto& line : c.lines) {
            whole.AddLine(line);
            pieces.BeginLine();
            for (char ch : line) pieces.AppendToLine(std::string_view(&ch, 1));
            pieces.EndLine();
        }
        EXPECT_EQ(whole.Text(), c.text) << testing::PrintToString(c.lines);
        EXPECT_EQ(pieces.Take(), c.text) << testing::PrintToString(c.lines);
    }
}

TEST(BuildViewText, AppliesMarkCleaningAndSplitting) {
    struct Case { std::string file; bool clean; std::string text; } cases[] = {
        {"", true, ""},
        {"\xFF\xFE", true, ""},
        {"\xFF\xFE" "A\0\r\0\n\0B\0\r\0\n\0"s, true, "A\r\nB\r\n\r\n"},
        {"\xFE\xFF" "\0A\0\r\0\n\0B\0\r\0\n"s, true, "A\r\nB\r\n"},
        {"\xFF\xFE\tA\x1A" "B", true, "\tA\x1A" "B\r\n"},  // marked files are never cleaned
        {"\xEF\xBB\xBFX", true, "\xEF\xBB\xBFX\r\n"},
        {"A\tB\x0C\0\x1A\x7F\xB0\r\n"s, true, "A B   \x7F\xB0\r\n"},
        {"A\tB\x0C\0\x1A\x7F\xB0\r\n"s, false, "A\tB\x0C"},  // cut at the NUL, CR LF too
        {"AB\x1A" "CD\r\nEF", false, "AB\r\n"},
        {"\r", true, "\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::BuildViewText(c.file, c.clean), c.text) << testing::PrintToString(c.file) << c.clean;
}

TEST(BuildViewText, CleaningInBlocksKeepsBreaksThatStraddleABlock) {
    std::string file;
    for (std::size_t i = 0; file.size() < 3 * core::kCopyBlock; ++i) file += char(i * 7 % 256);
    file.replace(core::kCopyBlock - 1, 2, "\r\n");
    file.replace(2 * core::kCopyBlock - 1, 1, "\r");
    std::string cleaned = file;
    core::CleanBlock(cleaned.data(), cleaned.size());
    EXPECT_EQ(core::BuildViewText(file, true), core::BuildViewText(cleaned, false));
}

TEST(Cleaning, BlanksControlBytesButLineBreaks) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += char(b);
    core::CleanBlock(all.data(), all.size());
    for (int b = 0; b < 256; ++b) {
        const char expected = (b < 0x20 && b != '\n' && b != '\r') ? ' ' : char(b);
        EXPECT_EQ(all[b], expected) << b;
    }
}

TEST(Cleaning, ThresholdAndUtf16Mark) {
    EXPECT_TRUE(core::ShouldClean(4194304));
    EXPECT_FALSE(core::ShouldClean(4194305));
    EXPECT_TRUE(core::ShouldClean(-1));
    EXPECT_TRUE(core::ShouldClean(0));
    struct Case { std::string bytes; bool marked; } cases[] = {
        {"\xFF\xFE", true}, {"\xFE\xFF" "A", true}, {"\xFF", false}, {"", false},
        {"\xFE\xFE", false}, {"\xEF\xBB\xBF", false}, {"A\xFF\xFE", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::HasUtf16Mark(c.bytes.data(), c.bytes.size()), c.marked) << testing::PrintToString(c.bytes);
}
