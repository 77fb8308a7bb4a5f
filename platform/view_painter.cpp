#include "platform/view_painter.hpp"

#include <algorithm>

#include "core/view_links.hpp"

namespace platform {
namespace {

// A coordinate clipped to a cell beyond the client on either side, so none outgrows GDI's.
LONG ClippedX(long long x, int width, int cell) {
    return static_cast<LONG>(std::clamp<long long>(x, -cell, static_cast<long long>(width) + cell));
}

}  // namespace

RowColours ViewColours(COLORREF text, COLORREF back) {
    return RowColours{text, back, ::GetSysColor(COLOR_HIGHLIGHTTEXT), ::GetSysColor(COLOR_HIGHLIGHT)};
}

// The underline sits just below the baseline, inside the row, a pixel thick for every size but
// the largest.
RowPainter::RowPainter(HDC dc, const core::CellGrid& grid, const RowColours& colours, core::Pixel anchor)
    : dc_(dc), grid_(grid), colours_(colours), runs_(dc, core::CellBox{grid.cell, grid.line}, anchor) {
    TEXTMETRICW metrics{};
    const int ascent = ::GetTextMetricsW(dc_, &metrics) ? metrics.tmAscent : grid_.line - 2;
    underlineHeight_ = std::max(1, grid_.line / 24);
    underlineTop_ = std::clamp(ascent + 1, 0, std::max(0, grid_.line - underlineHeight_));
}

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

void RowPainter::UnderlineLinks(const core::RowCells& cells, long long origin, int y, int width) const {
    const int cell = grid_.cell;
    const long long first = origin + cells.FirstCell() * cell;
    for (const core::CellRun& run : cells.Runs()) {
        if (!run.link) continue;
        const RECT line{ClippedX(first + static_cast<long long>(run.begin) * cell, width, cell), y + underlineTop_,
                        ClippedX(first + static_cast<long long>(run.end) * cell, width, cell),
                        y + underlineTop_ + underlineHeight_};
        ::SetBkColor(dc_, run.selected ? colours_.selectedText : colours_.text);
        ::ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &line, nullptr, 0, nullptr);
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
        core::RowLinks links;
        core::Row row = picture.rows.At(first);
        for (std::size_t r = first;; ++r) {
            const long long origin = frame.grid.margin - picture.scroll.x;
            cells.Build(text, row, hasTabs, window, picture.selection, links.Of(text, row, hasTabs, window));
            painter.Paint(cells, origin, y, width);
            painter.UnderlineLinks(cells, origin, y, width);
            y += line;
            if (r == last || r + 1 >= picture.rows.Count()) break;
            row = picture.rows.Next(row);
        }
    }
    // Below the last row, and the part of a row the edit control leaves blank.
    if (y < dirty.bottom) painter.Fill(RECT{dirty.left, y, dirty.right, dirty.bottom});
}

}  // namespace platform
