#pragma once
// The text a view shows: its bytes, their line index and their rows at a wrap width, kept
// together so that the index always reads these bytes and the rows this index. A new text
// replaces all three or, when there is no memory for them, none.
#include <memory>
#include <string>

#include "core/text_layout.hpp"

namespace core {

// Bytes with their line index, made wherever the bytes are (a load's worker thread) and taken by
// a view in one step. The bytes stay where they are on the heap, so the index still reads them
// after the text has changed hands.
struct PreparedText {
    std::unique_ptr<std::string> bytes;
    LineIndex index;
};
// Throws std::bad_alloc when there is no memory for the index.
PreparedText PrepareText(std::string bytes);

class ViewText {
public:
    ViewText();
    ViewText(const ViewText&) = delete;  // the index and the rows point into it
    ViewText& operator=(const ViewText&) = delete;

    // The text becomes the view's, laid out at `width`; `text` gets the old one. False, and
    // everything as it was, when there is no memory for the rows.
    bool Replace(PreparedText& text, const WrapWidth& width);
    // The same for bytes not indexed yet; `bytes` gets the old text.
    bool Replace(std::string& bytes, const WrapWidth& width);

    // The rows at a new width; with no memory for the wrapped rows, the lines as they are.
    void Rewrap(const WrapWidth& width);

    const std::string& Bytes() const { return *bytes_; }
    const LineIndex& Index() const { return index_; }
    const RowLayout& Rows() const { return rows_; }
    long long WrapPixels() const { return wrapPixels_; }  // the width asked for last (0: not wrapped)

private:
    std::unique_ptr<std::string> bytes_;
    LineIndex index_;
    RowLayout rows_;
    long long wrapPixels_ = 0;
};

}  // namespace core
