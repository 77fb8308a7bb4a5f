#include "core/view_links.hpp"

#include <algorithm>
#include <new>

namespace core {
namespace {

long long NextCell(char byte, long long cells) { return byte == '\t' ? (cells / kTabCells + 1) * kTabCells : cells + 1; }

}  // namespace

Span RowBytesIn(std::string_view text, const Row& row, bool hasTabs, CellWindow window) {
    if (!hasTabs) {  // one cell per byte
        const auto length = static_cast<long long>(row.end - row.start);
        const auto at = [&](long long cell) { return row.start + static_cast<std::size_t>(std::clamp(cell, 0LL, length)); };
        return Span{at(window.first), std::max(at(window.first), at(window.last))};
    }
    std::size_t from = row.end;
    std::size_t to = row.end;
    long long cells = 0;
    for (std::size_t i = row.start; i < row.end; ++i) {
        if (cells >= window.last) {
            to = i;
            break;
        }
        const long long next = NextCell(text[i], cells);
        if (from == row.end && next > window.first) from = i;
        cells = next;
    }
    return Span{std::min(from, to), to};
}

std::optional<std::size_t> ByteUnder(const RowLayout& rows, const CellGrid& grid, const Scroll& scroll, Pixel at) {
    const long long x = at.x - grid.margin + scroll.x;
    if (at.y < 0 || x < 0) return std::nullopt;
    const std::size_t index = scroll.top + static_cast<std::size_t>(at.y / std::max(1, grid.line));
    if (index >= rows.Count()) return std::nullopt;
    const long long cell = x / std::max(1, grid.cell);
    const Span bytes = RowBytesIn(rows.Index().Text(), rows.At(index), rows.Index().HasTabs(), CellWindow{cell, cell + 1});
    if (bytes.length() == 0) return std::nullopt;
    return bytes.start;
}

std::optional<Link> LinkUnder(const RowLayout& rows, const CellGrid& grid, const Scroll& scroll, Pixel at) {
    const auto byte = ByteUnder(rows, grid, scroll, at);
    if (!byte) return std::nullopt;
    try {
        return LinkAt(rows.Index().Text(), *byte);
    } catch (const std::bad_alloc&) {  // no memory for a few links: none under the mouse
        return std::nullopt;
    }
}

const std::vector<Span>& RowLinks::Of(std::string_view text, const Row& row, bool hasTabs, CellWindow window) {
    found_.clear();
    spans_.clear();
    const Span bytes = RowBytesIn(text, row, hasTabs, window);
    try {
        FindLinks(text, bytes.start, bytes.end, found_);
        for (const Link& link : found_) spans_.push_back(Span{link.start, link.end});
    } catch (const std::bad_alloc&) {  // no memory for them: the row is painted without underlines
        spans_.clear();
    }
    return spans_;
}

}  // namespace core
