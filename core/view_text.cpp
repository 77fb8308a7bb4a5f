#include "core/view_text.hpp"

#include <new>
#include <utility>

namespace core {

PreparedText PrepareText(std::string bytes) {
    PreparedText text{std::make_unique<std::string>(std::move(bytes)), LineIndex{}};
    text.index.Build(*text.bytes);
    return text;
}

ViewText::ViewText() : bytes_(std::make_unique<std::string>()) {
    index_.Build(*bytes_);
    rows_.Reset(index_, WrapWidth{});
}

// The rows point at index_ itself, so the new index is swapped into it before they are laid out,
// and swapped back if they cannot be.
bool ViewText::Replace(PreparedText& text, const WrapWidth& width) {
    std::swap(bytes_, text.bytes);
    std::swap(index_, text.index);
    try {
        RowLayout rows;
        rows.Reset(index_, width);
        rows_ = std::move(rows);
    } catch (const std::bad_alloc&) {
        std::swap(index_, text.index);
        std::swap(bytes_, text.bytes);
        return false;  // the rows were never touched: they still read the old index
    }
    wrapPixels_ = width.pixels;
    return true;
}

bool ViewText::Replace(std::string& bytes, const WrapWidth& width) {
    try {
        PreparedText text{std::make_unique<std::string>(), LineIndex{}};
        text.bytes->swap(bytes);
        try {
            text.index.Build(*text.bytes);
        } catch (const std::bad_alloc&) {
            bytes.swap(*text.bytes);
            return false;
        }
        const bool replaced = Replace(text, width);
        bytes.swap(*text.bytes);  // the old text, or the caller's own when it was not taken
        return replaced;
    } catch (const std::bad_alloc&) {
        return false;
    }
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
