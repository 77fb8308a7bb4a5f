#pragma once
// What one row of the view shows: the glyph of every visible cell, in runs of one look. A run
// breaks where the selection starts or ends and between line-art glyphs and the rest (a blank
// joins the run before it), as the edit control's runs do: drawn one run at a time, a run's
// background covers what the glyphs before it spill over their cells. A run also breaks where a
// link starts or ends, so the links can be underlined run by run.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_layout.hpp"
#include "core/view_navigation.hpp"

namespace core {

// The glyph a byte draws in its cell: its code page 437 shape; a tab and a NUL as blanks, and a
// lone CR or LF (never in a loaded text) as its PC picture.
char16_t CellGlyph(unsigned char byte);

// Cells [first, last) of a row, counted from the row's start.
struct CellWindow {
    long long first = 0;
    long long last = 0;
};

// The cells a frame `width` pixels wide shows when its text is scrolled `x` pixels to the left:
// from the first that reaches into the client to the first past its right edge.
CellWindow VisibleCells(const CellGrid& grid, long long width, long long x);

struct CellRun {
    std::size_t begin = 0;  // glyphs [begin, end)
    std::size_t end = 0;
    bool selected = false;
    bool art = false;  // box drawing and block glyphs, U+2500-U+25FF
    bool link = false;  // part of a web or mail address
};

class RowCells {
public:
    // The cells of `window` of `row` in `text`, with `selection` in offsets of `text`. `hasTabs`
    // false lets it start at the first visible cell rather than walk the row from its start.
    // `links`: the links that reach into the row, in order, as offsets of `text`.
    void Build(std::string_view text, const Row& row, bool hasTabs, CellWindow window, Span selection,
               std::span<const Span> links = {});

    long long FirstCell() const { return first_; }  // the cell glyph 0 stands in
    const std::u16string& Glyphs() const { return glyphs_; }
    const std::vector<CellRun>& Runs() const { return runs_; }

private:
    void Push(char16_t glyph, bool selected, bool art, bool link);

    long long first_ = 0;
    std::u16string glyphs_;  // kept across rows, so painting a page allocates once
    std::vector<CellRun> runs_;
};

}  // namespace core
