#include "platform/view_painter.hpp"

#include <algorithm>

namespace platform {

RowColours ViewColours(COLORREF text, COLORREF back) {
    return RowColours{text, back, ::GetSysColor(COLOR_HIGHLIGHTTEXT), ::GetSysColor(COLOR_HIGHLIGHT)};
}

RowPainter::RowPainter(HDC dc, const core::CellGrid& grid, const RowColours& colours, core::Pixel anchor)
    : dc_(dc), grid_(grid), colours_(colours), runs_(dc, core::CellBox{grid.cell, grid.line}, anchor) {}

void RowPainter::Paint(const core::RowCells& cells, long long origin, int y, int width) {
    const int cell = grid_.cell;
    const int bottom = y + grid_.line;
    const RECT whole{0, y, width, bottom};
    Fill(whole);
    const std::u16string_view glyphs = cells.Glyphs();
    long long x = origin + cells.FirstCell() * cell;
    for (const core::CellRun& run : cells.Runs()) {
        const auto count = run.end - run.begin;
        const long long right = x + static_cast<long long>(count) * cell;
        // Clipped to a cell beyond the client on either side, so no coordinate outgrows GDI's.
        const RECT box{static_cast<LONG>(std::max<long long>(x, -cell)), y,
                       static_cast<LONG>(std::min<long long>(right, static_cast<long long>(width) + cell)), bottom};
        runs_.Draw(static_cast<int>(x), y, glyphs.substr(run.begin, count),
                   run.selected ? colours_.selectedText : colours_.text,
                   run.selected ? colours_.selectedBack : colours_.back, box);
        x = right;
    }
}

void RowPainter::Fill(const RECT& area) const {
    ::SetBkColor(dc_, colours_.back);
    ::ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
}

void PaintRows(HDC dc, const RECT& dirty, const ViewPicture& picture) {
    const core::Frame& frame = picture.frame;
    const int line = frame.grid.line;
    const auto width = static_cast<int>(frame.width);
    const std::size_t top = picture.scroll.top;
    const LONG bottom = std::min<LONG>(dirty.bottom, static_cast<LONG>(frame.RowsBottom()));  // whole rows only
    const std::size_t first = top + static_cast<std::size_t>(std::max<LONG>(0, dirty.top) / line);
    const std::size_t last = top + static_cast<std::size_t>(std::max<LONG>(0, bottom - 1) / line);
    // The text's own origin, row 0 far above when scrolled: the shades' dots scroll with the text.
    const core::Pixel anchor{frame.grid.margin - picture.scroll.x, -static_cast<long long>(top) * line};
    RowPainter painter(dc, frame.grid, picture.colours, anchor);
    int y = static_cast<int>(first - top) * line;
    if (first < picture.rows.Count() && dirty.top < bottom) {
        const core::CellWindow window = core::VisibleCells(frame.grid, width, picture.scroll.x);
        const bool hasTabs = picture.rows.Index().HasTabs();
        const std::string_view text = picture.rows.Index().Text();
        core::RowCells cells;
        core::Row row = picture.rows.At(first);
        for (std::size_t r = first;; ++r) {
            cells.Build(text, row, hasTabs, window, picture.selection);
            painter.Paint(cells, frame.grid.margin - picture.scroll.x, y, width);
            y += line;
            if (r == last || r + 1 >= picture.rows.Count()) break;
            row = picture.rows.Next(row);
        }
    }
    // Below the last row, and the part of a row the edit control leaves blank.
    if (y < dirty.bottom) painter.Fill(RECT{dirty.left, y, dirty.right, dirty.bottom});
}

}  // namespace platform
