#include "core/row_cells.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr core::CellGrid kGrid{7, 14, 3};

// The runs of a row as text: each run's glyphs in brackets, '_' before a link's run, '*' before a
// selected run and '#' before a line-art one.
std::string RunsOf(const core::RowCells& cells) {
    std::string out;
    for (const core::CellRun& run : cells.Runs()) {
        out += run.link ? "_" : "";
        out += run.selected ? "*" : "";
        out += run.art ? "#" : "";
        out += '[';
        for (std::size_t i = run.begin; i < run.end; ++i) {
            const char16_t g = cells.Glyphs()[i];
            out += g < 0x80 ? static_cast<char>(g) : g == u'\u2550' ? '=' : g == u'\u266A' ? 'r' : '?';
        }
        out += ']';
    }
    return out;
}

core::RowCells Build(const std::string& row, core::CellWindow window, core::Span selection = {}) {
    core::RowCells cells;
    const bool tabs = row.find('\t') != std::string::npos;
    cells.Build(row, core::Row{0, 0, row.size()}, tabs, window, selection);
    return cells;
}

}  // namespace

TEST(RowCells, EveryByteHasAGlyphAndTheControlsOfALineAreBlank) {
    struct Case { unsigned char byte; char16_t glyph; } cases[] = {
        {'A', u'A'}, {' ', u' '}, {0x00, u' '}, {'\t', u' '}, {'\r', u'\u266A'}, {'\n', u'\u25D9'},
        {0x01, u'\u263A'}, {0x7F, u'\u2302'}, {0xC9, u'\u2554'}, {0xDB, u'\u2588'}, {0xFF, u'\u00A0'},
    };
    for (const auto& c : cases) EXPECT_EQ(core::CellGlyph(c.byte), c.glyph) << int(c.byte);
}

TEST(RowCells, TheVisibleCellsReachFromTheLeftEdgeToPastTheRight) {
    struct Case { long long width, x; core::CellWindow cells; } cases[] = {
        {70, 0, {0, 10}},     // margin 3: cells 0-9 start inside, the 10th only partly
        {70, 2, {0, 10}},     // still the margin's pixel before cell 0
        {70, 10, {1, 12}},    // cell 0 scrolled off whole
        {70, 100, {13, 24}},
        {0, 0, {0, 1}},
    };
    for (const auto& c : cases) {
        const core::CellWindow cells = core::VisibleCells(kGrid, c.width, c.x);
        EXPECT_EQ(cells.first, c.cells.first) << c.width << " " << c.x;
        EXPECT_EQ(cells.last, c.cells.last) << c.width << " " << c.x;
    }
}

// Runs break at the selection's ends and between line art and the rest; a blank joins the run
// it follows, so a box line with gaps is drawn as one run.
TEST(RowCells, RunsBreakAtTheSelectionAndAtLineArt) {
    struct Case { const char* name; std::string row; core::CellWindow window; core::Span selection; const char* runs; } cases[] = {
        {"plain", "abc", {0, 10}, {}, "[abc]"},
        {"empty", "", {0, 10}, {}, ""},
        {"selected middle", "abc", {0, 10}, {1, 2}, "[a]*[b][c]"},
        {"selected to the end", "abc", {0, 10}, {1, 9}, "[a]*[bc]"},
        {"art between letters", "a\xCD" "b", {0, 10}, {}, "[a]#[=][b]"},
        {"a blank joins the art before it", "\xCD \xCD" "a", {0, 10}, {}, "#[= =][a]"},
        {"a blank joins the letters before it", "a \xCD", {0, 10}, {}, "[a ]#[=]"},
        {"selected art", "\xCD\xCD" "a", {0, 10}, {1, 3}, "#[=]*#[=]*[a]"},
        {"window cuts both ends", "abcdef", {2, 4}, {}, "[cd]"},
        {"window past the row's end", "abc", {5, 10}, {}, ""},
        {"a tab to its stop", "a\tb", {0, 20}, {}, "[a       b]"},
        {"a tab cut by the window", "a\tb", {3, 20}, {}, "[     b]"},
        {"a selected tab selects its cells", "a\tb", {0, 20}, {1, 2}, "[a]*[       ][b]"},
        {"a lone CR and a NUL", std::string("a\r\0b", 4), {0, 10}, {}, "[ar b]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const core::RowCells cells = Build(c.row, c.window, c.selection);
        EXPECT_EQ(RunsOf(cells), c.runs);
        EXPECT_EQ(cells.FirstCell(), c.window.first);
    }
}

// Runs also break where a link starts and ends, so it can be underlined on its own; a link that
// began on the row before or goes on past the window marks just the cells shown. The selection is
// in text offsets, and one RowCells serves every case, so nothing of the case before may be left.
TEST(RowCells, RunsBreakAtTheLinks) {
    const std::string text = "xx\r\nab cd ef gh";  // the row: bytes 4-15
    const core::Row row{1, 4, 15};
    struct Case { const char* name; std::vector<core::Span> links; core::Span selection; core::CellWindow window; const char* runs; } cases[] = {
        {"none", {}, {}, {0, 20}, "[ab cd ef gh]"},
        {"one", {{7, 9}}, {}, {0, 20}, "[ab ]_[cd][ ef gh]"},
        {"two", {{4, 6}, {10, 12}}, {}, {0, 20}, "_[ab][ cd ]_[ef][ gh]"},
        {"from the row before", {{0, 5}}, {}, {0, 20}, "_[a][b cd ef gh]"},
        {"past the window", {{13, 40}}, {}, {0, 10}, "[ab cd ef ]_[g]"},
        {"a link behind the row", {{0, 3}}, {}, {0, 20}, "[ab cd ef gh]"},
        {"selected in part", {{7, 9}}, {8, 11}, {0, 20}, "[ab ]_[c]_*[d]*[ e][f gh]"},
        {"a window that starts inside the row", {{7, 9}}, {}, {1, 20}, "[b ]_[cd][ ef gh]"},
    };
    core::RowCells cells;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cells.Build(text, row, false, c.window, c.selection, c.links);
        EXPECT_EQ(RunsOf(cells), c.runs);
    }
}

// Scrolled far along a line of ten million characters, a row lays out only the cells shown.
TEST(RowCells, AFarScrolledLongRowLaysOutOnlyItsVisibleCells) {
    constexpr std::size_t kLong = 10000000;
    std::string row(kLong, 'x');
    row[kLong - 3] = 'y';
    const core::CellWindow window{static_cast<long long>(kLong) - 5, static_cast<long long>(kLong) + 20};
    const core::RowCells cells = Build(row, window, {kLong - 1, kLong});
    EXPECT_EQ(RunsOf(cells), "[xxyx]*[x]");
    EXPECT_EQ(cells.FirstCell(), window.first);
}
