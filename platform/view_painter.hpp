#pragma once
// Draws the view's rows: each row's background, then its runs of cells on the fixed cell grid
// (platform/shape_painter: the font's glyphs, and line and block art as shapes), then a line under
// the runs of its links. The selected font and the text alignment are the caller's.
#include <windows.h>

#include <vector>

#include "core/row_cells.hpp"
#include "core/text_layout.hpp"
#include "core/view_navigation.hpp"
#include "platform/shape_painter.hpp"

namespace platform {

struct RowColours {
    COLORREF text = 0;
    COLORREF back = 0xFFFFFF;
    COLORREF selectedText = 0xFFFFFF;
    COLORREF selectedBack = 0;
};

// The text and background colours of the view, and the system's selection colours.
RowColours ViewColours(COLORREF text, COLORREF back);

class RowPainter {
public:
    // `anchor`: where cell 0 of the text's row 0 stands, which the shades' dots are laid from.
    RowPainter(HDC dc, const core::CellGrid& grid, const RowColours& colours, core::Pixel anchor);

    // A row `width` pixels wide whose cell 0 stands at `origin` and whose top is `y`. The last
    // glyph keeps what it spills past its cell, as in the edit control.
    void Paint(const core::RowCells& cells, long long origin, int y, int width);
    // A line under each link run of a row painted at the same place, in the run's own text colour,
    // so it shows on every colour pair the text does.
    void UnderlineLinks(const core::RowCells& cells, long long origin, int y, int width) const;
    // The background over an area no row covers.
    void Fill(const RECT& area) const;

private:
    HDC dc_;
    core::CellGrid grid_;
    RowColours colours_;
    CellRunPainter runs_;
    int underlineTop_ = 0;  // from the top of a row
    int underlineHeight_ = 1;
};

// What the view is painted from.
struct ViewPicture {
    const core::RowLayout& rows;
    core::Frame frame;
    core::Scroll scroll;
    core::Span selection;
    RowColours colours;
};

// The rows under `dirty` (whole rows only) and the background below the last of them.
void PaintRows(HDC dc, const RECT& dirty, const ViewPicture& picture);

}  // namespace platform
