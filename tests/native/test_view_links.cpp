// The links as the view meets them: the bytes a painted row shows, the link spans it underlines
// and the link under the mouse, tabs and scrolling included.
#include "core/view_links.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr core::CellGrid kGrid{7, 14, 3};

struct Laid {
    explicit Laid(std::string bytes, long long wrapPixels = 0) : text(std::move(bytes)) {
        index.Build(text);
        rows.Reset(index, core::WrapWidth{wrapPixels, kGrid.cell});
    }
    std::string text;
    core::LineIndex index;
    core::RowLayout rows;
};

// The client pixel in the middle of a cell of a row.
core::Pixel CellCentre(long long row, long long cell) { return {kGrid.margin + cell * kGrid.cell + 3, row * kGrid.line + 7}; }

std::string Under(const Laid& laid, core::Pixel at, core::Scroll scroll = {}) {
    const auto link = core::LinkUnder(laid.rows, kGrid, scroll, at);
    return link ? core::LinkTarget(laid.text, *link) : "";
}

}  // namespace

TEST(ViewLinks, TheBytesOfARowInAWindowOfCells) {
    const std::string text = "abcdefgh\ta\tb";
    const core::Row whole{0, 0, text.size()};
    struct Case { const char* name; bool tabs; core::Row row; core::CellWindow window; core::Span bytes; } cases[] = {
        {"no tabs: a cell a byte", false, {0, 0, 8}, {2, 5}, {2, 5}},
        {"no tabs: past the end", false, {0, 0, 8}, {6, 40}, {6, 8}},
        {"no tabs: all past the end", false, {0, 0, 8}, {10, 40}, {8, 8}},
        {"a row that starts later", false, {0, 4, 8}, {1, 2}, {5, 6}},
        {"a tab's cells are the tab's", true, whole, {9, 12}, {8, 9}},
        {"after the tab", true, whole, {16, 17}, {9, 10}},
        {"from inside one tab into the next", true, whole, {12, 20}, {8, 11}},
        {"past the end of a tabbed row", true, whole, {40, 50}, {12, 12}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(core::RowBytesIn(text, c.row, c.tabs, c.window), c.bytes);
    }
}

TEST(ViewLinks, TheLinkUnderTheMouseIsTheOneInTheCellUnderIt) {
    const Laid laid("go www.example.org now\r\n\tmail@example.com\r\n");
    EXPECT_EQ(Under(laid, CellCentre(0, 3)), "http://www.example.org");
    EXPECT_EQ(Under(laid, CellCentre(0, 17)), "http://www.example.org");
    EXPECT_EQ(Under(laid, CellCentre(0, 18)), "") << "the blank after it";
    EXPECT_EQ(Under(laid, CellCentre(0, 40)), "") << "past the end of the row";
    EXPECT_EQ(Under(laid, CellCentre(1, 4)), "") << "the tab before the address";
    EXPECT_EQ(Under(laid, CellCentre(1, 8)), "mailto:mail@example.com");
    EXPECT_EQ(Under(laid, CellCentre(2, 0)), "") << "the empty last line";
    EXPECT_EQ(Under(laid, CellCentre(3, 8)), "") << "below the text";
    EXPECT_EQ(Under(laid, {1, 7}), "") << "in the left margin";
    EXPECT_EQ(Under(laid, {10, -3}), "") << "above the view";
    EXPECT_EQ(Under(laid, CellCentre(0, 8), core::Scroll{1, 0}), "mailto:mail@example.com") << "scrolled down";
    EXPECT_EQ(Under(laid, CellCentre(0, 0), core::Scroll{0, 3 * kGrid.cell}), "http://www.example.org") << "scrolled left";
}

// Painting a window of a line does not look at the whole line.
TEST(ViewLinks, ARowFarAlongAHugeLineFindsOnlyTheLinksNearItsCells) {
    std::string line(8u << 20, ' ');
    line.replace(5u << 20, 15, "www.example.org");
    const Laid laid(line);
    core::RowLinks links;
    const core::Row row = laid.rows.At(0);
    const long long at = 5 << 20;
    EXPECT_EQ(links.Of(laid.text, row, false, core::CellWindow{at + 3, at + 100}).size(), 1u);
    EXPECT_TRUE(links.Of(laid.text, row, false, core::CellWindow{at + 20, at + 100}).empty());
    EXPECT_EQ(Under(laid, CellCentre(0, 2), core::Scroll{0, (at + 10) * kGrid.cell}), "http://www.example.org");
}
