#pragma once
// The links of the view's text where the view needs them: the spans of a painted row that are
// links, and the link under the mouse. Only the bytes around the row or the point are looked at,
// so a link costs nothing at load and the same on a 512 MiB file as on a small one.
#include <optional>
#include <string_view>
#include <vector>

#include "core/links.hpp"
#include "core/row_cells.hpp"
#include "core/text_layout.hpp"
#include "core/view_navigation.hpp"

namespace core {

// The bytes of `row` whose cells lie in `window` (all of them reach in, some maybe only in part).
Span RowBytesIn(std::string_view text, const Row& row, bool hasTabs, CellWindow window);

// The byte drawn in the cell under a client pixel; none in the left margin, past the end of its
// row or below the last row.
std::optional<std::size_t> ByteUnder(const RowLayout& rows, const CellGrid& grid, const Scroll& scroll, Pixel at);

// The link in that cell; none also when there is no memory to look.
std::optional<Link> LinkUnder(const RowLayout& rows, const CellGrid& grid, const Scroll& scroll, Pixel at);

// The links that reach into the cells `window` of a row, as spans of the text: a link wrapped onto
// several rows is found whole from each; none when there is no memory for them. Kept across rows,
// so painting a page allocates once.
class RowLinks {
public:
    const std::vector<Span>& Of(std::string_view text, const Row& row, bool hasTabs, CellWindow window);

private:
    std::vector<Link> found_;
    std::vector<Span> spans_;
};

}  // namespace core
