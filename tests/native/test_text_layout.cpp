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

// A row keeps every word that ends inside the width; what does not fit moves. Ten cells of 7
// pixels (70 pixels, or 76 with a remainder too narrow for an eleventh cell).
TEST(TextLayout, WrapKeepsWhatFitsAndMovesOnlyWhatDoesNot) {
    struct Case { const char* name; std::string line; std::vector<std::size_t> rows; } cases[] = {
        {"fits exactly", "abcd efghi", {10}},
        {"last word one cell over moves", "abcd efghij", {5, 6}},
        {"word ends at the edge, blank after it", "abcd efghi jk", {10, 3}},
        {"word ends at the edge, more blanks", "abcd efghi   jk", {10, 5}},
        {"word ends inside, its blank fits too", "abc efgh ij", {9, 2}},
        {"blank run crossing the edge", "ab" + Rep(" ", 14) + "cd", {10, 8}},
        {"blanks at the end of the line", "abcd efghi   ", {10, 3}},
        {"word wider than the row is cut at the edge", "abcdefghijklm", {10, 3}},
        {"no break before a full stop", "abcd efghi.", {5, 6}},
        {"break after a hyphen", "abcd-efghij", {5, 6}},
        {"no break after a hyphen before a digit", "abc-12345678", {10, 2}},
        {"tab to cell 8, a break after it", "abc\tdefghij", {4, 7}},
        {"tab to cell 8, blank over the edge", "ab\tcd efgh", {5, 5}},
        {"leading blanks stay with their row", "   abcdefghijkl", {3, 10, 2}},
        {"box line", "\xB3" + Rep("\xC4", 9) + "\xB3", {10, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Rows(c.line, 70), c.rows);
        EXPECT_EQ(Rows(c.line, 76), c.rows);
    }
}

// NFO lines at a width a window takes: a box line of 77 columns at 76 keeps its text row whole
// and moves only the closing border; prose keeps its last fitting word ("lazy").
TEST(TextLayout, WrapKeepsTheLastWordOfNfoLinesAndProse) {
    const std::string box = "\xCD";
    const std::string release =
        "\xB3" + Rep(" ", 17) + "Pandora brings you another INTERNAL release:" + Rep(" ", 14) + "\xB3";
    ASSERT_EQ(release.size(), 77u);
    EXPECT_EQ(Rows(release, 76 * 7), (std::vector<std::size_t>{76, 1}));
    EXPECT_EQ(Rows(release, 70 * 7), (std::vector<std::size_t>{70, 7}));
    EXPECT_EQ(Rows(release, 61 * 7), (std::vector<std::size_t>{54, 23}));  // "release:" ends one cell over
    const std::string prose = "the quick brown fox jumps over the lazy dog again and again " + Rep("a", 57) +
                              " bb-cc dd" + Rep(box, 37) + " " + Rep(box, 2);
    EXPECT_EQ(Rows(prose, 277), (std::vector<std::size_t>{39, 21, 39, 25, 39, 3}));
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

// ---- the lazy wrap layout of large texts ----

namespace {

// Deterministic texts of the two kinds that wrap: NFO art and box lines of 70-79 columns with
// empty lines between, and prose paragraphs of any length up to `longest`, tabs now and then.
struct Lcg {
    unsigned state = 12345;
    unsigned operator()(unsigned below) { return (state = state * 1103515245u + 12345u) / 65536u % below; }
};

std::string NfoText(std::size_t size) {
    Lcg next;
    std::string text;
    while (text.size() < size) {
        if (next(5) == 0) {
            text += "\r\n";
            continue;
        }
        std::string line = next(2) ? "\xBA  " : "  ";
        for (std::size_t n = 65 + next(14); line.size() < n;) line += next(6) ? "\xDB\xB0\xB1" : " ";
        text += line + "\r\n";
    }
    return text;
}

std::string ProseText(std::size_t size, unsigned longest) {
    static const char* kWords[] = {"the", "quick", "brown", "fox", "jumps", "over", "a", "lazy", "dog",
                                   "internationalisation", "of", "release", "notes,", "well-known", "tab\t"};
    Lcg next;
    std::string text;
    while (text.size() < size) {
        const std::size_t length = next(longest);
        std::string line;
        while (line.size() < length) line += std::string(kWords[next(15)]) + " ";
        text += line + "\r\n";
    }
    return text;
}

struct Wrapped {
    core::LineIndex index;
    core::RowLayout whole;
    core::RowLayout lazy;
    Wrapped(const std::string& text, int cells) {
        index.Build(text);
        whole.Reset(index, core::WrapWidth{cells * 7LL, 7}, SIZE_MAX);
        lazy.Reset(index, core::WrapWidth{cells * 7LL, 7}, 0);
    }
};

}  // namespace

TEST(BlockRowSums, FindsTheBlockOfEveryRowWhileCountsChange) {
    Lcg next;
    std::vector<std::size_t> counts(1000);
    for (std::size_t& count : counts) count = 1 + next(50);
    core::BlockRowSums sums;
    sums.Assign(counts);
    for (int round = 0; round < 3; ++round) {
        std::size_t before = 0;
        for (std::size_t block = 0; block < counts.size(); ++block) {
            ASSERT_EQ(sums.Before(block), before);
            ASSERT_EQ(sums.Of(block), counts[block]);
            for (std::size_t row : {before, before + counts[block] - 1}) {
                const core::BlockRowSums::Place place = sums.Find(row);
                ASSERT_EQ(place.block, block) << "row " << row;
                ASSERT_EQ(place.row, row - before);
            }
            before += counts[block];
        }
        for (int change = 0; change < 200; ++change) {  // counts grow and shrink, never below one
            const std::size_t block = next(1000);
            const std::size_t to = 1 + next(80);
            sums.Add(block, to - counts[block]);
            counts[block] = to;
        }
    }
}

TEST(LineIndex, EachBlockKeepsItsLinesBytesAndWidestLine) {
    std::string text;
    for (int i = 0; i < 70; ++i) text += std::string(static_cast<std::size_t>(i), 'x') + (i == 40 ? "\t" : "") + "\r\n";
    text += std::string(70000, 'w');  // wider than a block keeps
    core::LineIndex index;
    index.Build(text);
    ASSERT_EQ(index.Blocks(), 3u);
    EXPECT_EQ(index.LinesIn(0), 32u);
    EXPECT_EQ(index.LinesIn(2), 71u - 64u);
    EXPECT_EQ(index.BlockContentBytes(1), (32u + 63u) * 32u / 2u + 1u);  // the tab is one byte
    EXPECT_EQ(index.BlockWidest(1), 63u);
    EXPECT_EQ(index.BlockWidest(2), core::LineIndex::kWidestKept);
    EXPECT_EQ(index.BlockStart(2), index.Start(64));
}

// Whatever order rows and offsets are asked for in, a laid-out block gives the rows of the whole
// layout, and once every block is laid out the two layouts are the same.
TEST(LazyWrap, RowsAskedForAgreeWithTheWholeLayout) {
    for (int cells : {13, 41, 77}) {
        SCOPED_TRACE(cells);
        const std::string text = ProseText(100000, 400) + NfoText(50000);
        Wrapped w(text, cells);
        ASSERT_FALSE(w.lazy.Exact());
        Lcg next;
        for (int probe = 0; probe < 60; ++probe) {
            const std::size_t offset = next(static_cast<unsigned>(text.size() + 1));
            w.lazy.MakeExactThroughOffset(offset);
            const std::size_t row = w.lazy.RowOf(offset);
            ASSERT_EQ(row, w.whole.RowOf(offset)) << "offset " << offset;
            ASSERT_EQ(w.lazy.At(row).start, w.whole.At(row).start);
            const std::size_t far = next(static_cast<unsigned>(w.lazy.Count()));  // an estimated number
            const core::Row some = w.lazy.At(far);
            ASSERT_EQ(w.lazy.RowOf(some.start), w.lazy.RowOf(some.start)) << "asking twice gives one answer";
        }
        EXPECT_EQ(w.lazy.ExactCount(), w.whole.Count());
        EXPECT_TRUE(w.lazy.Exact());
        for (std::size_t row = 0; row < w.whole.Count(); row += 13) {
            ASSERT_EQ(w.lazy.At(row).start, w.whole.At(row).start) << row;
            ASSERT_EQ(w.lazy.At(row).end, w.whole.At(row).end) << row;
        }
        EXPECT_EQ(w.lazy.At(w.lazy.Count() + 100).start, w.whole.At(w.whole.Count() - 1).start) << "past the end: the last row";
    }
}

// The numbers of rows before a laid-out block never move; those after it may, and the generation
// says so. An exact answer asked for through a row is the whole layout's.
TEST(LazyWrap, LayingOutMovesOnlyTheRowsAfterAndExactAnswersAreExact) {
    const std::string text = ProseText(300000, 300);
    Wrapped w(text, 30);
    const std::size_t middle = text.size() / 2;
    w.lazy.LayOutAround(middle, 40, 80);
    const std::size_t row = w.lazy.RowOf(middle);
    const core::Row shown = w.lazy.At(row);
    w.lazy.LayOutAround(text.size(), 40, 40);  // after: nothing before it moves
    EXPECT_EQ(w.lazy.RowOf(middle), row);
    const std::size_t generation = w.lazy.Generation();
    w.lazy.MakeExactThroughRow(row);
    EXPECT_EQ(w.lazy.RowOf(middle), w.whole.RowOf(middle)) << "exact through the row asked for";
    EXPECT_EQ(w.lazy.At(w.lazy.RowOf(middle)).start, shown.start) << "the same text, maybe under a new number";
    if (w.lazy.RowOf(middle) != row) {
        EXPECT_NE(w.lazy.Generation(), generation);
    }
}

// The estimate of the rows not laid out yet is close enough for a scroll bar, and refining it
// in steps moves the row of the text at an anchor by about a page (40 rows) at most per step,
// whatever the text and the width; blocks whose lines all fit are never estimated.
TEST(LazyWrap, EstimatesAreCloseAndRefiningMovesTheAnchorByAboutAPage) {
    constexpr std::size_t kPage = 40;
    const std::string nfo = NfoText(600000);
    const std::string prose = ProseText(600000, 600);
    for (const std::string* text : {&nfo, &prose}) {
        for (int cells : {20, 41, 60, 79, 100}) {
            SCOPED_TRACE((text == &nfo ? "nfo at " : "prose at ") + std::to_string(cells));
            Wrapped w(*text, cells);
            const double exact = static_cast<double>(w.whole.Count());
            EXPECT_NEAR(static_cast<double>(w.lazy.Count()), exact, exact * 0.02);
            const std::size_t anchor = text->size() / 3;
            std::size_t row = w.lazy.RowOf(anchor);
            const std::size_t anchorStart = w.lazy.At(row).start;
            for (int step = 0; w.lazy.Refine(64 << 10, anchor, kPage / 2); ++step) {
                const std::size_t now = w.lazy.RowOf(anchor);
                ASSERT_LE(now > row ? now - row : row - now, kPage) << "step " << step;
                ASSERT_EQ(w.lazy.At(now).start, anchorStart);
                row = now;
            }
            EXPECT_TRUE(w.lazy.Exact());
            EXPECT_EQ(w.lazy.Count(), w.whole.Count());
        }
    }
    std::string mostlyShort = NfoText(300000);  // at 80 cells only the blocks with a long line wrap
    for (std::size_t at : {mostlyShort.size() / 2, mostlyShort.size() / 4})
        mostlyShort.insert(mostlyShort.rfind("\r\n", at) + 2, std::string(500, 'l') + "\r\n");
    Wrapped w(mostlyShort, 80);
    EXPECT_FALSE(w.lazy.Exact());
    EXPECT_FALSE(w.lazy.Refine(1, 0, SIZE_MAX)) << "of the two blocks that need a layout, one was a sample";
    EXPECT_EQ(w.lazy.Count(), w.whole.Count());
}
