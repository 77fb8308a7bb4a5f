#include "core/row_cells.hpp"

#include <algorithm>

#include "core/cp437.hpp"

namespace core {

char16_t CellGlyph(unsigned char byte) {
    if (byte == '\r') return u'\u266A';
    if (byte == '\n') return u'\u25D9';
    if (byte == 0 || byte == '\t') return u' ';
    return Cp437Glyph(byte);
}

CellWindow VisibleCells(const CellGrid& grid, long long width, long long x) {
    const long long origin = grid.margin - x;  // where cell 0 stands
    const long long cell = std::max(1, grid.cell);
    return CellWindow{std::max<long long>(0, -origin / cell), (width - origin) / cell + 1};
}

void RowCells::Build(std::string_view text, const Row& row, bool hasTabs, CellWindow window, Span selection,
                     std::span<const Span> links) {
    glyphs_.clear();
    runs_.clear();
    first_ = window.first;
    std::size_t i = row.start;
    long long cells = 0;
    bool art = false;
    if (!hasTabs) {  // one cell per byte: straight to the first visible one
        cells = std::min<long long>(window.first, static_cast<long long>(row.end - row.start));
        i += static_cast<std::size_t>(cells);
    }
    for (; i < row.end && cells < window.last; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const long long next = byte == '\t' ? (cells / kTabCells + 1) * kTabCells : cells + 1;
        const char16_t glyph = CellGlyph(byte);
        if (glyph != u' ') art = glyph >= 0x2500 && glyph < 0x2600;
        const bool selected = i >= selection.start && i < selection.end;
        while (!links.empty() && links.front().end <= i) links = links.subspan(1);
        const bool link = !links.empty() && i >= links.front().start;
        for (long long c = std::max(cells, window.first); c < std::min(next, window.last); ++c)
            Push(glyph, selected, art, link);
        cells = next;
    }
}

void RowCells::Push(char16_t glyph, bool selected, bool art, bool link) {
    if (runs_.empty() || runs_.back().selected != selected || runs_.back().art != art || runs_.back().link != link)
        runs_.push_back(CellRun{glyphs_.size(), glyphs_.size(), selected, art, link});
    glyphs_.push_back(glyph);
    ++runs_.back().end;
}

}  // namespace core
