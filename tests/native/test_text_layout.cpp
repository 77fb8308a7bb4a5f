#include "core/text_layout.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Rep(const std::string& piece, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += piece;
    return out;
}

// Row lengths of one line wrapped at `pixels` of 7-pixel cells.
std::vector<std::size_t> Rows(const std::string& line, long long pixels) {
    core::LineIndex index;
    index.Build(line);
    core::RowLayout layout;
    layout.Reset(index, core::WrapWidth{pixels, 7});
    std::vector<std::size_t> lengths;
    for (std::size_t r = 0; r < layout.Count(); ++r) lengths.push_back(layout.At(r).end - layout.At(r).start);
    return lengths;
}

}  // namespace

TEST(LineIndex, LinesAreSeparatedByCrLfOnly) {
    struct Case { std::string text; std::vector<std::string> lines; } cases[] = {
        {"", {""}},
        {"a", {"a"}},
        {"a\r\n", {"a", ""}},
        {"a\r\nbc\r\n\r\nd", {"a", "bc", "", "d"}},
        {"a\rb\nc\r\n", {"a\rb\nc", ""}},
        {"\r\r\n", {"\r", ""}},
    };
    for (const auto& c : cases) {
        core::LineIndex index;
        index.Build(c.text);
        ASSERT_EQ(index.Count(), c.lines.size()) << c.text;
        for (std::size_t i = 0; i < c.lines.size(); ++i) {
            const std::size_t start = index.Start(i);
            EXPECT_EQ(c.text.substr(start, index.End(i) - start), c.lines[i]) << i;
            EXPECT_EQ(index.LineOf(start), i);
            EXPECT_EQ(index.LineOf(index.End(i)), i) << "the line break belongs to its line";
        }
    }
}

TEST(LineIndex, ManyLinesAcrossIndexBlocks) {
    std::string text;
    std::vector<std::size_t> starts;
    for (int i = 0; i < 1000; ++i) {
        starts.push_back(text.size());
        text += std::string(static_cast<std::size_t>(i % 7), 'x') + (i % 5 == 0 ? "\t" : "") + "\r\n";
    }
    core::LineIndex index;
    index.Build(text);
    ASSERT_EQ(index.Count(), 1001u);
    for (std::size_t i = 0; i < starts.size(); ++i) {
        ASSERT_EQ(index.Start(i), starts[i]);
        ASSERT_EQ(index.LineOf(starts[i] + 1), i);
    }
    EXPECT_EQ(index.Start(1000), text.size());
    EXPECT_EQ(index.LineOf(text.size()), 1000u);
    EXPECT_EQ(index.WidestCells(), 8u);  // six x and a tab to cell 8
    EXPECT_TRUE(index.HasTabs());
}

TEST(TextLayout, CellsAndTabStopsEveryEightCells) {
    struct Case { std::string row; std::size_t cells; } cases[] = {
        {"", 0}, {"abc", 3}, {"\t", 8}, {"a\tb", 9}, {"12345678\tX", 17}, {"abc\t\td", 17}, {"1234567\t", 8},
    };
    for (const auto& c : cases) EXPECT_EQ(core::CellsOf(c.row), c.cells) << c.row;
}

TEST(TextLayout, HitByteTakesTheNearestBoundary) {
    struct Case { std::string row; long long x; std::size_t byte; } cases[] = {
        {"abcd", -5, 0}, {"abcd", 3, 0}, {"abcd", 4, 1}, {"abcd", 10, 1}, {"abcd", 11, 2}, {"abcd", 999, 4},
        {"a\tb", 30, 1}, {"a\tb", 31, 2}, {"a\tb", 59, 3}, {"a\tb", 55, 2},
    };
    for (const auto& c : cases) EXPECT_EQ(core::HitByte(c.row, c.x, 7), c.byte) << c.row << " at " << c.x;
}

TEST(TextLayout, WordMovesStopAfterBlanksAndHyphens) {
    const std::string line = "foo bar  baz.qux-quux";
    struct Case { std::size_t pos; std::size_t start; std::size_t end; std::size_t before; } cases[] = {
        {0, 0, 4, 0}, {1, 0, 4, 0}, {4, 4, 9, 0}, {6, 4, 9, 4}, {9, 9, 17, 4}, {12, 9, 17, 9}, {17, 17, 21, 9},
        {21, 17, 21, 17},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(core::WordStart(line, c.pos), c.start) << c.pos;
        EXPECT_EQ(core::WordEnd(line, c.pos), c.end) << c.pos;
        EXPECT_EQ(core::WordBefore(line, c.pos), c.before) << c.pos;
    }
}

// Rows as the edit control wraps them in 277 pixels of 7-pixel cells (39 cells), measured.
TEST(TextLayout, WrapsWhereTheEditControlWraps) {
    const std::string box = "\xCD";
    struct Case { std::string line; std::vector<std::size_t> rows; } cases[] = {
        {Rep("x", 39), {39}},
        {Rep("x", 40), {38, 2}},
        {Rep("x", 34) + " " + Rep("y", 10), {35, 10}},
        {Rep("x", 38) + " y", {38, 2}},  // the break after the blank is not before the fitting width
        {Rep("x", 39) + "  y", {38, 4}},
        {Rep("x", 30) + "-" + Rep("y", 20), {31, 20}},
        {Rep("x", 30) + "-1" + Rep("y", 20), {38, 14}},
        {Rep("x", 30) + "/" + Rep("y", 20), {31, 20}},
        {Rep("x", 30) + "\t" + Rep("y", 20), {31, 20}},
        {Rep("x", 30) + "." + Rep("y", 20), {38, 13}},
        {Rep(box, 30) + Rep("x", 20), {38, 12}},
        {"ab" + Rep(" ", 60) + "cd", {38, 26}},
        {Rep(box, 10) + " " + Rep("x", 40), {11, 38, 2}},
        // block art: the estimate reaches past the fitting width, so a break right at it is taken
        {"  \xDB\xDB\xB2  \xB2  \xB1  \xB1 \xDF\xB0 \xDF\xB0\xDB\xDC\xB0\xDB\xDC\xDB\xDB\xDC\xDB\xDB\xB2 \xDB\xB2  \xB1  \xB1 "
         "\xDF\xB1 \xDF\xB0\xDB\xDF\xB0\xDB\xDC\xDB\xDB\xDC\xDB\xDB\xB2\xDB\xDB\xB2  \xB2  \xB1  \xB1 \xDF\xB0 \xDF\xB0\xDB",
         {39, 37}},
        {"the quick brown fox jumps over the lazy dog again and again " + Rep("a", 57) + " bb-cc dd" + Rep(box, 37) +
             " " + Rep(box, 2),
         {35, 25, 38, 26, 38, 4}},
    };
    for (const auto& c : cases) EXPECT_EQ(Rows(c.line, 277), c.rows) << c.line;
}

TEST(TextLayout, RowsOfAWrappedTextMapBothWays) {
    std::string text;
    for (int i = 0; i < 300; ++i) text += Rep("w", i % 90) + (i % 3 ? " tail\r\n" : "\r\n");
    core::LineIndex index;
    index.Build(text);
    core::RowLayout layout;
    layout.Reset(index, core::WrapWidth{140, 7});
    std::size_t expected = 0;
    core::Row row = layout.At(0);
    for (std::size_t r = 0; r < layout.Count(); ++r) {
        const core::Row at = layout.At(r);
        ASSERT_EQ(at.start, row.start) << r;
        ASSERT_EQ(at.end, row.end) << r;
        ASSERT_EQ(at.start, expected) << "rows must cover the text in order";
        if (at.end > at.start) {
            ASSERT_EQ(layout.RowOf(at.start), r);
            ASSERT_EQ(layout.RowOf(at.end - 1), r);
        }
        expected = at.end == index.End(at.line) ? at.end + 2 : at.end;
        if (r + 1 < layout.Count()) row = layout.Next(row);
    }
    EXPECT_EQ(expected, text.size() + 2);
    EXPECT_EQ(layout.RowOf(text.size()), layout.Count() - 1);

    layout.Reset(index, core::WrapWidth{1400, 7});  // everything fits: one row per line
    EXPECT_EQ(layout.Count(), index.Count());
    layout.Reset(index, core::WrapWidth{});
    EXPECT_EQ(layout.Count(), 301u);
}
