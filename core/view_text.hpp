#pragma once
// The text a view shows: its bytes, their line index and their rows at a wrap width, kept
// together so that the index always reads these bytes and the rows this index. A new text
// replaces all three or, when there is no memory for them, none.
#include <string>

#include "core/text_layout.hpp"

namespace core {

class ViewText {
public:
    ViewText();
    ViewText(const ViewText&) = delete;  // the index and the rows point into it
    ViewText& operator=(const ViewText&) = delete;

    // The bytes become the text, laid out at `width`; `bytes` gets the old text. False, and
    // everything as it was, when there is no memory for the index or the rows.
    bool Replace(std::string& bytes, const WrapWidth& width);

    // The rows at a new width; with no memory for the wrapped rows, the lines as they are.
    void Rewrap(const WrapWidth& width);

    const std::string& Bytes() const { return bytes_; }
    const LineIndex& Index() const { return index_; }
    const RowLayout& Rows() const { return rows_; }
    long long WrapPixels() const { return wrapPixels_; }  // the width asked for last (0: not wrapped)

private:
    std::string bytes_;
    LineIndex index_;
    RowLayout rows_;
    long long wrapPixels_ = 0;
};

}  // namespace core
