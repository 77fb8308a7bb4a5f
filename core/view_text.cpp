#include "core/view_text.hpp"

#include <new>
#include <utility>

namespace core {

ViewText::ViewText() {
    index_.Build(bytes_);
    rows_.Reset(index_, WrapWidth{});
}

// The rows point at index_ itself, so the new index is swapped into it before they are laid out,
// and swapped back if they cannot be.
bool ViewText::Replace(std::string& bytes, const WrapWidth& width) {
    bytes_.swap(bytes);
    try {
        LineIndex index;
        index.Build(bytes_);
        std::swap(index_, index);
        try {
            RowLayout rows;
            rows.Reset(index_, width);
            rows_ = std::move(rows);
        } catch (const std::bad_alloc&) {
            std::swap(index_, index);
            throw;
        }
    } catch (const std::bad_alloc&) {
        bytes_.swap(bytes);
        return false;
    }
    wrapPixels_ = width.pixels;
    return true;
}

void ViewText::Rewrap(const WrapWidth& width) {
    wrapPixels_ = width.pixels;
    try {
        RowLayout rows;
        rows.Reset(index_, width);
        rows_ = std::move(rows);
    } catch (const std::bad_alloc&) {
        rows_.Reset(index_, WrapWidth{});
    }
}

}  // namespace core
