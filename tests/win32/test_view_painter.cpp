// The view's rows as they land in pixels: painted into a picture of our own, with a grid and
// colours chosen here, and read back.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/view_text.hpp"
#include "platform/view_font.hpp"
#include "platform/view_painter.hpp"
#include "platform/win_handles.hpp"

namespace {

constexpr COLORREF kText = RGB(255, 0, 0);
constexpr COLORREF kBack = RGB(0, 255, 0);
constexpr COLORREF kSelectedText = RGB(255, 255, 255);
constexpr COLORREF kSelectedBack = RGB(0, 0, 255);
constexpr COLORREF kUnpainted = RGB(255, 0, 255);
constexpr int kWidth = 300;
constexpr int kHeight = 100;

// The grid of the font the pictures are painted in, measured as the view measures it.
const core::CellGrid& Grid() {
    static const core::CellGrid grid = [] {
        const platform::UniqueGdi font = platform::CreateViewFont("Courier New", -16);
        return platform::MeasureCellGrid(nullptr, static_cast<HFONT>(font.get())).value_or(core::CellGrid{});
    }();
    return grid;
}

HGDIOBJ NewBitmap(HDC dc, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

// A 32-bit top-down picture in a memory DC with the view's font selected, first all in a colour
// no painting uses.
class Picture {
public:
    Picture() {
        const RECT all{0, 0, kWidth, kHeight};
        ::SetBkColor(dc_.get(), kUnpainted);
        ::ExtTextOutW(dc_.get(), 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    }
    HDC Dc() const { return dc_.get(); }
    COLORREF At(int x, int y) const {
        ::GdiFlush();
        const DWORD p = static_cast<const DWORD*>(bits_)[y * kWidth + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // Pixels of `colour` in the cell box [x, x + w) x [y, y + h).
    int Count(COLORREF colour, int x, int y, int w, int h) const {
        int n = 0;
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) n += At(i, j) == colour;
        return n;
    }

private:
    platform::UniqueMemoryDC dc_{::CreateCompatibleDC(nullptr)};
    platform::UniqueGdi font_{platform::CreateViewFont("Courier New", -16)};
    void* bits_ = nullptr;
    platform::UniqueGdi bitmap_{NewBitmap(dc_.get(), &bits_)};
    platform::SelectedObject selectBitmap_{dc_.get(), bitmap_.get()};
    platform::SelectedObject selectFont_{dc_.get(), font_.get()};
};

struct Painted {
    explicit Painted(std::string bytes, core::WrapWidth wrap = {}) { text.Replace(bytes, wrap); }
    void Paint(const RECT& dirty, core::Scroll scroll = {}, core::Span selection = {}) {
        const platform::ViewPicture view{text.Rows(), core::Frame{kWidth, kHeight, Grid()}, scroll, selection,
                                         platform::RowColours{kText, kBack, kSelectedText, kSelectedBack}};
        platform::PaintRows(picture.Dc(), dirty, view);
    }
    core::ViewText text;
    Picture picture;
};

int CellX(int cell, long long scrolled = 0) { return Grid().margin + cell * Grid().cell - static_cast<int>(scrolled); }

// Pixels of `colour` in the middle of a cell: half its width and half its height.
int Middle(const Picture& p, COLORREF colour, int x, int row) {
    const core::CellGrid& g = Grid();
    return p.Count(colour, x + g.cell / 4, row * g.line + g.line / 4, g.cell / 2, g.line / 2);
}
int MiddleSize() { return (Grid().cell / 2) * (Grid().line / 2); }

}  // namespace

// "ab" then two full blocks, then "cd"; the second row a tab and "x". Cell 1 and 2 selected.
TEST(ViewPainter, RowsPaintTheirCellsTheSelectionAndTheBackgroundBelow) {
    Painted painted("ab\xDB\xDB" "cd\r\n\tx");
    painted.Paint(RECT{0, 0, kWidth, kHeight}, {}, {1, 3});
    const Picture& p = painted.picture;
    const core::CellGrid& g = Grid();
    ASSERT_GE(g.cell, 4);
    ASSERT_GE(g.line, 4);
    ASSERT_LT(3 * g.line, kHeight);
    EXPECT_EQ(p.Count(kUnpainted, 0, 0, kWidth, kHeight), 0) << "every pixel painted";
    EXPECT_EQ(p.Count(kBack, CellX(1), 0, g.cell, g.line), 0) << "a selected cell has no plain background";
    EXPECT_GT(p.Count(kSelectedBack, CellX(1), 0, g.cell, g.line), 0);
    EXPECT_EQ(p.Count(kSelectedBack, CellX(4), 0, g.cell, g.line), 0) << "nor an unselected one the selection's";
    // A full block inks the middle of its cell in the text colour, selected or not.
    EXPECT_EQ(Middle(p, kSelectedText, CellX(2), 0), MiddleSize());
    EXPECT_EQ(Middle(p, kText, CellX(3), 0), MiddleSize());
    // The tab takes eight blank cells; "x" stands in the ninth.
    EXPECT_EQ(p.Count(kText, 0, g.line, CellX(8), g.line), 0);
    EXPECT_GT(p.Count(kText, CellX(8), g.line, g.cell, g.line), 0);
    EXPECT_EQ(p.Count(kBack, 0, 2 * g.line, kWidth, kHeight - 2 * g.line), kWidth * (kHeight - 2 * g.line))
        << "below the last row, the part row included";
}

TEST(ViewPainter, OnlyTheDirtyRowsArePaintedAndAScrollShiftsTheCells) {
    Painted painted("\xDB" "a\xDB\r\n\xDB" "a\xDB\r\n");
    const core::CellGrid& g = Grid();
    painted.Paint(RECT{0, g.line, kWidth, 2 * g.line}, {0, g.cell});  // row 1 only, scrolled a cell
    const Picture& p = painted.picture;
    EXPECT_EQ(p.Count(kUnpainted, 0, 0, kWidth, g.line), kWidth * g.line) << "row 0 was not dirty";
    EXPECT_EQ(p.Count(kUnpainted, 0, g.line, kWidth, g.line), 0);
    EXPECT_EQ(Middle(p, kText, CellX(2, g.cell), 1), MiddleSize()) << "the block of cell 2, a cell to the left";
    EXPECT_LT(Middle(p, kText, CellX(1, g.cell), 1), MiddleSize()) << "the 'a' of cell 1 where cell 0 stood";
    EXPECT_EQ(p.Count(kUnpainted, 0, 2 * g.line, kWidth, kHeight - 2 * g.line), kWidth * (kHeight - 2 * g.line));
}

// The first pixel row of a text row where [x0, x1) is all `colour`, or -1.
int FullLineY(const Picture& p, int row, int x0, int x1, COLORREF colour) {
    for (int y = row * Grid().line; y < (row + 1) * Grid().line; ++y)
        if (p.Count(colour, x0, y, x1 - x0, 1) == x1 - x0) return y;
    return -1;
}

// Links are underlined right across their cells in the text colour of each cell, selected or not;
// nothing else is; a link wrapped onto more rows is underlined on each of them.
TEST(ViewPainter, LinksAreUnderlinedInTheTextColourOfTheirCells) {
    const std::string address = "http://example.org/alpha/beta/gamma/delta";
    Painted painted("AB www.example.org XY\r\n" + address, core::WrapWidth{kWidth - 2 * Grid().margin, Grid().cell});
    const std::size_t example = painted.text.Bytes().find("example");
    painted.Paint(RECT{0, 0, kWidth, kHeight}, {}, {example, example + 7});
    const Picture& p = painted.picture;

    const int y = FullLineY(p, 0, CellX(3), CellX(7), kText);  // "www."
    ASSERT_GE(y, 0) << "the link's unselected cells are underlined in the text colour";
    EXPECT_EQ(p.Count(kSelectedText, CellX(7), y, CellX(14) - CellX(7), 1), CellX(14) - CellX(7))
        << "its selected cells in the selected text colour";
    EXPECT_EQ(p.Count(kText, CellX(14), y, CellX(18) - CellX(14), 1), CellX(18) - CellX(14)) << "\".org\"";
    EXPECT_EQ(p.Count(kText, 0, y, CellX(3), 1), 0) << "nothing under \"AB \"";
    EXPECT_EQ(p.Count(kText, CellX(18), y, kWidth - CellX(18), 1), 0) << "nor under \" XY\"";

    const core::RowLayout& rows = painted.text.Rows();
    ASSERT_GE(rows.Count(), 3u) << "the address must wrap for this test";
    for (std::size_t r = 1; r < rows.Count(); ++r) {
        SCOPED_TRACE(r);
        const int cells = static_cast<int>(rows.At(r).end - rows.At(r).start);
        const int line = FullLineY(p, static_cast<int>(r), CellX(0), CellX(cells), kText);
        ASSERT_GE(line, 0);
        EXPECT_EQ(line - static_cast<int>(r) * Grid().line, y) << "at the same height on every row";
        EXPECT_EQ(p.Count(kText, CellX(cells), line, kWidth - CellX(cells), 1), 0) << "not past the row's end";
    }
}
