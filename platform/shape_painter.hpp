#pragma once
// How one run of cells is drawn, into any device context at any cell size: the run's background,
// the font's glyphs, and over them the line and block art as shapes on the cell grid
// (core/shape_geometry), so runs of '═' or '█' join with no seam whatever the face. The view's
// rows and the exported picture are both drawn here, so they match pixel for pixel.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/shape_geometry.hpp"
#include "core/view_navigation.hpp"
#include "platform/win_handles.hpp"

namespace platform {

class CellRunPainter {
public:
    // `anchor` is where cell 0 of the text's row 0 stands in the DC (it may lie far outside): the
    // shades' dots are laid from there, so they run on across cells and rows and scroll with the
    // text. The font and text alignment (top-left) are the caller's.
    CellRunPainter(HDC dc, core::CellBox cell, core::Pixel anchor);
    CellRunPainter(const CellRunPainter&) = delete;
    CellRunPainter& operator=(const CellRunPainter&) = delete;
    ~CellRunPainter();  // gives the DC its brush and brush origin back

    // Cells of `glyphs`, the first with its left edge at x, in the row whose top is y: `box` (the
    // part of the run to paint) filled with `back`, glyphs and shapes in `text`. Every glyph
    // advances one cell, so a glyph taken from a fallback face cannot shift the row.
    void Draw(int x, int y, std::u16string_view glyphs, COLORREF text, COLORREF back, const RECT& box);

private:
    struct ShadeBrush {
        core::Fill fill;
        COLORREF text;
        COLORREF back;
        UniqueGdi brush;
    };

    // Whether the run holds shapes; if so they are laid out in the strip, and the glyphs the font
    // is to draw (the run with each shape blanked) are in fontGlyphs_.
    bool CollectShapes(int x, int y, std::u16string_view glyphs);
    void FillShapes(const RECT& box, COLORREF text, COLORREF back);
    HBRUSH ShadeBrushFor(core::Fill fill, COLORREF text, COLORREF back);

    HDC dc_;
    core::CellBox cell_;
    int dot_;
    std::vector<INT> advances_;
    std::u16string fontGlyphs_;
    core::ShapeStrip strip_;
    std::vector<ShadeBrush> shades_;
    POINT oldOrigin_{};
    HGDIOBJ oldBrush_ = nullptr;
};

}  // namespace platform
