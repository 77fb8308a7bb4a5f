// Line and block art in the exported picture and in the view's rows: every face at small, middle
// and large sizes, read back from the written file. In a prefix whose faces are FreeMono, as on
// Windows with Courier New or Lucida Console, the font's own glyphs leave seams between the cells
// of '═' and '║' runs; the shapes must leave none anywhere.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
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
    // The rows of the box [x0, x1) x [y0, y1) inked right across it, or its columns inked right down it.
    std::vector<int> Full(bool rows, int x0, int y0, int x1, int y1) const {
        std::vector<int> full;
        for (int i = rows ? y0 : x0; i < (rows ? y1 : x1); ++i) {
            bool all = true;
            for (int j = rows ? x0 : y0; all && j < (rows ? x1 : y1); ++j) all = (rows ? (*this)(j, i) : (*this)(i, j)) == kInk;
            if (all) full.push_back(i);
        }
        return full;
    }
};

COLORREF FromBgra(std::uint32_t v) { return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF); }

// A 32-bit BMP as the export writes it on a true-colour screen: rows bottom-up, little-endian as x86.
Pixels ReadBmp(const std::string& bytes) {
    const auto u32 = [&](std::size_t at) { std::uint32_t v = 0; std::memcpy(&v, bytes.data() + at, 4); return v; };
    Pixels p;
    if (bytes.size() < 54 || (u32(28) & 0xFFFF) != 32) return p;
    p.width = static_cast<int>(u32(18));
    p.height = static_cast<int>(u32(22));
    for (int y = p.height - 1; y >= 0; --y)
        for (int x = 0; x < p.width; ++x) p.at.push_back(FromBgra(u32(u32(10) + (static_cast<std::size_t>(y) * p.width + x) * 4)));
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
            const int t = core::StrokeWidth({cw, ch});
            // Blocks fill every pixel; lines run unbroken over all their cells; a lower half over an
            // upper half is one block, a row high.
            const struct { const char* shape; bool rows; int x0, y0, x1, y1, full; } runs[] = {
                {"block row", true, 0, 0, 6 * cw, ch, ch},
                {"block column", false, 4 * cw, 3 * ch, 5 * cw, 6 * ch, cw},
                {"single line", true, 0, ch, 6 * cw, 2 * ch, t},
                {"single bar", false, 0, 3 * ch, cw, 6 * ch, t},
                {"double bar", false, 2 * cw, 3 * ch, 3 * cw, 6 * ch, 2 * t},
                {"lower half over upper", true, 6 * cw, 3 * ch + ch / 2, 7 * cw, 4 * ch + ch / 2, ch},
            };
            for (const auto& run : runs)
                EXPECT_EQ(p.Full(run.rows, run.x0, run.y0, run.x1, run.y1).size(), static_cast<std::size_t>(run.full))
                    << run.shape << ", " << where;
            const std::vector<int> doubled = p.Full(true, 0, 2 * ch, 6 * cw, 3 * ch);  // ═: two strokes, a gap between
            ASSERT_EQ(doubled.size(), static_cast<std::size_t>(2 * t)) << where;
            EXPECT_GT(doubled.back() - doubled.front() + 1, static_cast<int>(doubled.size())) << "the gap, " << where;
            // ╔═╦═╗: the outer stroke of the top edge runs unbroken over all five cells.
            EXPECT_FALSE(p.Full(true, cw / 2, 6 * ch, 5 * cw - cw / 2, 7 * ch).empty()) << where;
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
    for (int at = 0; at < want.width * want.height; ++at) different += FromBgra(painted[at]) != want.at[static_cast<std::size_t>(at)];
    EXPECT_EQ(different, 0);
}
