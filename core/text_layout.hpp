#pragma once
// Where the view's bytes stand on screen: the line index over the byte text (lines end in CR LF),
// cells and tab stops, word breaks, and the rows of word wrap at a width in cells. Everything here
// is cheap for a text of hundreds of MiB: the index keeps one offset per kIndexStride lines, and
// the wrap layout one row count per kIndexStride lines; rows are worked out where they are needed.
#include <cstddef>
#include <string_view>
#include <vector>

namespace core {

constexpr std::size_t kIndexStride = 32;
constexpr int kTabCells = 8;  // the edit control's default tab stops, every 8 character cells

// Cells of a row: one per byte, a tab up to the next multiple of kTabCells from the row's start.
std::size_t CellsOf(std::string_view row);

// The byte boundary of `row` nearest to `x` pixels from its start (cells of `cellWidth` pixels):
// a point in the right half of a character stands after it.
std::size_t HitByte(std::string_view row, long long x, int cellWidth);

// A line may be broken before byte i (0 < i < size): after blanks, a tab, a hyphen not before a
// digit, '/', '!' or '?', but never before a blank or a closing or separating mark. These are the
// break opportunities the edit control finds in this text through its line-breaking rules.
bool BreakBefore(std::string_view line, std::size_t i);

// Word moves inside one line: the nearest break at or before / strictly after `pos`.
std::size_t WordStart(std::string_view line, std::size_t pos);
std::size_t WordEnd(std::string_view line, std::size_t pos);
std::size_t WordBefore(std::string_view line, std::size_t pos);  // nearest break strictly before pos

// The width rows wrap at: the format width and the cell width in pixels. Wrapping is off unless
// the format holds more than one cell.
struct WrapWidth {
    long long pixels = 0;
    int cell = 1;
    bool On() const { return cell > 0 && pixels > cell; }
    std::size_t Cells() const { return On() ? static_cast<std::size_t>(pixels / cell) : 0; }
};

// The length of the row that starts `rest` (a line's tail): the rest when it fits; else what fits
// when the first byte that does not is a blank; else up to the last break at or before the width;
// else, with no break there, every byte that fits (never less than one). So a word that ends
// inside the width stays on its row, and no row is wider than the width.
std::size_t RowLength(std::string_view rest, const WrapWidth& width);

// Lines of the view text: separated by CR LF, so a text of n breaks has n + 1 lines (an empty text
// has one empty line). A lone CR or LF belongs to its line.
class LineIndex {
public:
    void Build(std::string_view text);
    std::string_view Text() const { return text_; }
    std::size_t Count() const { return count_; }
    std::size_t Start(std::size_t line) const;
    std::size_t End(std::size_t line) const;  // where its CR LF (or the text) begins
    std::size_t EndFrom(std::size_t start) const;  // End of the line that starts at start
    std::size_t LineOf(std::size_t offset) const;
    std::size_t WidestCells() const { return widest_; }
    bool HasTabs() const { return hasTabs_; }

private:
    std::size_t BreakFrom(std::size_t from) const;  // the next CR LF at or after from, or text size

    std::string_view text_;
    std::vector<std::size_t> starts_;  // the start of every kIndexStride-th line
    std::size_t count_ = 1;
    std::size_t widest_ = 0;
    bool hasTabs_ = false;
};

// One row on screen: bytes [start, end) of line `line`.
struct Row {
    std::size_t line = 0;
    std::size_t start = 0;
    std::size_t end = 0;
};

// The rows of the text: one per line, or the wrapped rows at a width in cells.
class RowLayout {
public:
    // A width that is not On(): no wrap. The index must outlive the layout.
    void Reset(const LineIndex& index, const WrapWidth& width);
    std::size_t Count() const { return count_; }
    const LineIndex& Index() const { return *index_; }
    std::string_view BytesOf(const Row& row) const { return index_->Text().substr(row.start, row.end - row.start); }
    Row At(std::size_t row) const;
    Row Next(const Row& row) const;  // the row after `row` (row must not be the last)
    // The row holding offset; an offset where a wrapped row ends stands at the start of the next.
    std::size_t RowOf(std::size_t offset) const;

private:
    struct Anchor {
        std::size_t line;
        std::size_t start;
        std::size_t row;
    };
    std::size_t RowsIn(std::size_t start, std::size_t end) const;
    Row RowFrom(std::size_t line, std::size_t start, std::size_t lineEnd) const;
    Anchor BlockOf(std::size_t row) const;

    const LineIndex* index_ = nullptr;
    WrapWidth width_;
    std::size_t fit_ = 0;  // cells; 0 when nothing wraps
    std::size_t count_ = 1;
    std::vector<std::size_t> rowsBefore_;  // rows before line k * kIndexStride (wrap only)
};

}  // namespace core
