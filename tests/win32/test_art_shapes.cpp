// Line and block art in the exported picture and in the view's rows: every face at small, middle
// and large sizes, read back from the written file. In a prefix whose faces are FreeMono, as on
// Windows with Courier New or Lucida Console, the font's own glyphs leave seams between the cells
// of '═' and '║' runs; the shapes must leave none anywhere.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/settings_values.hpp"
#include "core/shape_geometry.hpp"
#include "core/view_text.hpp"
#include "platform/export_bitmap.hpp"
#include "platform/view_font.hpp"
#include "platform/view_painter.hpp"
#include "platform/win_handles.hpp"
#include "tests/win32/support.hpp"

using namespace testing_support;

namespace {

constexpr COLORREF kInk = RGB(0x20, 0x10, 0x00);
constexpr COLORREF kPaper = RGB(0xF0, 0xF8, 0xFF);

// Pixels of a picture, top row first, as COLORREFs.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> at;
    COLORREF operator()(int x, int y) const { return at[static_cast<std::size_t>(y * width + x)]; }
    bool Inked(int x, int y) const { return (*this)(x, y) == kInk; }
    bool RowInked(int y, int left, int right) const {
        for (int x = left; x < right; ++x)
            if (!Inked(x, y)) return false;
        return true;
    }
    bool ColumnInked(int x, int top, int bottom) const {
        for (int y = top; y < bottom; ++y)
            if (!Inked(x, y)) return false;
        return true;
    }
    // The rows of [top, bottom) inked across [left, right), and the columns likewise.
    std::vector<int> InkedRows(int top, int bottom, int left, int right) const {
        std::vector<int> rows;
        for (int y = top; y < bottom; ++y)
            if (RowInked(y, left, right)) rows.push_back(y);
        return rows;
    }
    std::vector<int> InkedColumns(int left, int right, int top, int bottom) const {
        std::vector<int> columns;
        for (int x = left; x < right; ++x)
            if (ColumnInked(x, top, bottom)) columns.push_back(x);
        return columns;
    }
};

// A 32-bit BMP as the export writes it on a true-colour screen: rows bottom-up.
Pixels ReadBmp(const std::string& bytes) {
    const auto u32 = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
        return v;
    };
    Pixels p;
    if (bytes.size() < 54 || (u32(28) & 0xFFFF) != 32) return p;
    p.width = static_cast<int>(u32(18));
    p.height = static_cast<int>(u32(22));
    const std::size_t offset = u32(10);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const std::size_t at = offset + (static_cast<std::size_t>(p.height - 1 - y) * p.width + x) * 4;
            p.at.push_back(RGB(static_cast<unsigned char>(bytes[at + 2]), static_cast<unsigned char>(bytes[at + 1]),
                               static_cast<unsigned char>(bytes[at])));
        }
    return p;
}

platform::PictureStyle StyleOf(const std::string& face, int points) {
    platform::PictureStyle style;
    const platform::UniqueGdi font =
        platform::CreateViewFont(face, core::FontHeightFromPoints(points, platform::ScreenPixelsPerInch()));
    ::GetObjectW(font.get(), sizeof style.font, &style.font);
    style.text = kInk;
    style.back = kPaper;
    return style;
}

struct Exported {
    Pixels pixels;
    core::CellSize cell;
};

Exported ExportOf(const ScratchFolder& scratch, const std::vector<std::string>& lines, const platform::PictureStyle& style) {
    const std::string path = scratch.Path() + "\\art.bmp";
    platform::ExportBitmap(std::wstring(path.begin(), path.end()), lines, style, nullptr);
    const platform::ExportPicture measure(style, 1, 1);
    return Exported{ReadBmp(ReadFileBytes(path)), measure.Cell()};
}

// The art of the checks below: a row of each horizontal kind and three rows of the vertical ones.
const std::vector<std::string> kArt = {
    std::string(6, '\xDB'),            // █
    std::string(6, '\xC4'),            // ─
    std::string(6, '\xCD'),            // ═
    "\xB3 \xBA \xDB \xDC",             // │ ║ █ ▄
    "\xB3 \xBA \xDB \xDF",             //         ▀
    "\xB3 \xBA \xDB \xDB",
    "\xC9\xCD\xCB\xCD\xBB\xB0\xB1\xB2",  // ╔═╦═╗░▒▓
};

}  // namespace

class ArtShapes : public ::testing::Test {
protected:
    ScratchFolder scratch_;
};

TEST_F(ArtShapes, ExportedLinesAndBlocksHaveNoGapInAnyFaceAtAnySize) {
    for (const std::string_view face : core::kFontFaces) {
        for (const int points : {8, 12, 24}) {
            const Exported picture = ExportOf(scratch_, kArt, StyleOf(std::string(face), points));
            const Pixels& p = picture.pixels;
            const int cw = picture.cell.width, ch = picture.cell.height;
            const std::string where = std::string(face) + " " + std::to_string(points) + " pt, cell " +
                                      std::to_string(cw) + "x" + std::to_string(ch);
            ASSERT_EQ(p.width, 8 * cw) << where;
            ASSERT_EQ(p.height, 7 * ch) << where;
            // █: every pixel of the row, and of the column of three.
            EXPECT_EQ(p.InkedRows(0, ch, 0, 6 * cw).size(), static_cast<std::size_t>(ch)) << where;
            EXPECT_EQ(p.InkedColumns(4 * cw, 5 * cw, 3 * ch, 6 * ch).size(), static_cast<std::size_t>(cw)) << where;
            // ─ and ═ across all six cells: one stroke, and two with a gap between.
            EXPECT_EQ(p.InkedRows(ch, 2 * ch, 0, 6 * cw).size(), static_cast<std::size_t>(core::StrokeWidth({cw, ch})))
                << where;
            const std::vector<int> doubled = p.InkedRows(2 * ch, 3 * ch, 0, 6 * cw);
            ASSERT_EQ(doubled.size(), static_cast<std::size_t>(2 * core::StrokeWidth({cw, ch}))) << where;
            EXPECT_GT(doubled.back() - doubled.front() + 1, static_cast<int>(doubled.size())) << "the gap, " << where;
            // │ and ║ down all three rows.
            EXPECT_EQ(p.InkedColumns(0, cw, 3 * ch, 6 * ch).size(), static_cast<std::size_t>(core::StrokeWidth({cw, ch})))
                << where;
            EXPECT_EQ(p.InkedColumns(2 * cw, 3 * cw, 3 * ch, 6 * ch).size(),
                      static_cast<std::size_t>(2 * core::StrokeWidth({cw, ch})))
                << where;
            // ▄ over ▀ is one block, a row high.
            EXPECT_EQ(p.InkedRows(3 * ch + ch / 2, 4 * ch + ch / 2, 6 * cw, 7 * cw).size(), static_cast<std::size_t>(ch))
                << where;
            // ╔═╦═╗: the outer stroke of the top edge runs unbroken over all five cells.
            EXPECT_FALSE(p.InkedRows(6 * ch, 7 * ch, cw / 2, 5 * cw - cw / 2).empty()) << where;
        }
    }
}

// The shades' dots run on from cell to cell and row to row, anchored to the picture's corner.
TEST_F(ArtShapes, ShadesContinueTheirPatternAcrossCells) {
    const Exported picture = ExportOf(scratch_, {std::string(5, '\xB0'), std::string(5, '\xB1'), std::string(5, '\xB2'),
                                                std::string(5, '\xB1')},
                                      StyleOf("Courier New", 12));
    const Pixels& p = picture.pixels;
    const core::CellBox cell{picture.cell.width, picture.cell.height};
    const int dot = core::StrokeWidth(cell);
    const core::Fill fills[] = {core::Fill::Light, core::Fill::Medium, core::Fill::Dark, core::Fill::Medium};
    int wrong = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const bool inked = core::ShadeInked(fills[y / cell.height], x, y, dot);
            wrong += p(x, y) != (inked ? kInk : kPaper);
        }
    EXPECT_EQ(wrong, 0);
}

// The view's row painter and the export draw through the same code: the same lines in the same font
// give the same pixels, text, shapes and shades alike.
TEST_F(ArtShapes, TheExportIsTheViewsPicturePixelForPixel) {
    const std::vector<std::string> lines = {"\xC9\xCD\xCD\xD1\xCD\xCD\xBB  Corvale \xFE", "\xBA\xB0\xB1\xB2\xB3\xDB\xDC\xDF\xBA  art",
                                            "\xC8\xCD\xCD\xCF\xCD\xCD\xBC \x01\x02 \xDD\xDE"};
    const platform::PictureStyle style = StyleOf("Lucida Console", 12);
    const Exported exported = ExportOf(scratch_, lines, style);
    const platform::UniqueGdi font(::CreateFontIndirectW(&style.font));
    std::optional<core::CellGrid> grid = platform::MeasureCellGrid(nullptr, static_cast<HFONT>(font.get()));
    ASSERT_TRUE(grid);
    ASSERT_EQ(grid->cell, exported.cell.width);
    ASSERT_EQ(grid->line, exported.cell.height);
    grid->margin = 0;

    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    core::ViewText view;
    view.Replace(text, core::WrapWidth{});
    const Pixels& want = exported.pixels;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, want.width, -want.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    platform::UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    platform::UniqueGdi bitmap(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(bits);
    {
        platform::SelectedObject selectBitmap(dc.get(), bitmap.get());
        platform::SelectedObject selectFont(dc.get(), font.get());
        const platform::ViewPicture picture{view.Rows(), core::Frame{want.width, want.height, *grid}, core::Scroll{},
                                            core::Span{}, platform::RowColours{kInk, kPaper, kPaper, kInk}};
        platform::PaintRows(dc.get(), RECT{0, 0, want.width, want.height}, picture);
        ::GdiFlush();
    }
    const auto* painted = static_cast<const DWORD*>(bits);
    int different = 0;
    for (int y = 0; y < want.height; ++y)
        for (int x = 0; x < want.width; ++x) {
            const DWORD v = painted[y * want.width + x];
            different += RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF) != want(x, y);
        }
    EXPECT_EQ(different, 0);
}
