#pragma once
// Where the view's bytes stand on screen: the line index over the byte text (lines end in CR LF),
// cells and tab stops, word breaks, and the rows of word wrap at a width in cells. Everything here
// is cheap for a text of hundreds of MiB: the index keeps one offset and one width per block of
// kIndexStride lines, and the wrap layout one row count per block, worked out the first time it is
// needed and estimated until then.
#include <cstddef>
#include <cstdint>
#include <functional>
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
// has one empty line). A lone CR or LF belongs to its line. Lines come in blocks of kIndexStride.
class LineIndex {
public:
    // Hears how many bytes a build has indexed, every few MiB; false stops the build.
    using Progress = std::function<bool(std::size_t bytesDone)>;
    static constexpr std::size_t kProgressStep = 4 << 20;

    // False when the progress stopped it: the index is then of no use.
    bool Build(std::string_view text, const Progress& progress = {});
    std::string_view Text() const { return text_; }
    std::size_t Count() const { return count_; }
    std::size_t Blocks() const { return starts_.size(); }
    std::size_t LinesIn(std::size_t block) const;
    std::size_t BlockStart(std::size_t block) const { return starts_[block]; }
    std::size_t BlockContentBytes(std::size_t block) const;  // its lines' bytes without their breaks
    // The cells of the block's widest line, held at kWidestKept for anything wider.
    std::size_t BlockWidest(std::size_t block) const { return blockWidest_[block]; }
    static constexpr std::size_t kWidestKept = UINT16_MAX;
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
    std::vector<std::uint16_t> blockWidest_;  // a screen is far narrower than this many cells
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

// Row counts of the blocks, summed: a Fenwick tree, so a count that changes, the rows before a
// block and the block holding a row all take a logarithmic number of steps.
class BlockRowSums {
public:
    void Assign(std::vector<std::size_t> rows);  // the blocks' counts; each at least 1
    void Clear() { tree_.clear(); }
    std::size_t Before(std::size_t block) const;
    std::size_t Of(std::size_t block) const { return Before(block + 1) - Before(block); }
    void Add(std::size_t block, std::size_t delta);  // modulo arithmetic: a "negative" delta works
    struct Place {
        std::size_t block;
        std::size_t row;  // inside the block
    };
    Place Find(std::size_t row) const;  // row below the total

private:
    std::vector<std::size_t> tree_;  // 1-based
};

// The rows of the text: one per line, or the wrapped rows at a width in cells.
//
// A large text is not laid out at once: a block whose lines all fit needs no layout (a row per
// line); the others start with an estimate from their bytes and widest line and are laid out the
// first time a row or an offset in them is asked for. Laying a block out changes the numbers of the
// rows after it, never of those before it; Generation() tells that numbers may have moved. A row
// number is exact once every block before it is laid out: the MakeExact calls see to that where an
// exact answer is asked for. The layout is therefore logically const: asking lays blocks out.
class RowLayout {
public:
    // Texts up to this size are laid out whole at once: it takes a few milliseconds.
    static constexpr std::size_t kWholeLayoutBytes = 1 << 20;

    // A width that is not On(): no wrap. The index must outlive the layout.
    void Reset(const LineIndex& index, const WrapWidth& width, std::size_t wholeLayoutBytes = kWholeLayoutBytes);
    // The rows, those of the blocks not laid out yet estimated.
    std::size_t Count() const { return count_; }
    bool Exact() const { return unlaid_ == 0; }
    std::size_t ExactCount() const;
    // Every row up to `row` (in the numbering as it becomes) or up to the one holding `offset`
    // gets its exact number.
    void MakeExactThroughRow(std::size_t row) const;
    void MakeExactThroughOffset(std::size_t offset) const;
    // Lays out the blocks holding the rows from `rowsBefore` rows above the one holding `offset`
    // to `rowsAfter` rows below it: what is shown and what a step away from it reaches.
    void LayOutAround(std::size_t offset, std::size_t rowsBefore, std::size_t rowsAfter) const;
    // Lays out blocks from the first not laid out, about `bytes` of text, and stops early once the
    // row holding `anchor` has moved by `maxShift` rows (a block at least is laid out). True while
    // blocks remain.
    bool Refine(std::size_t bytes, std::size_t anchor, std::size_t maxShift) const;
    // Changes whenever a laid-out block changed the numbers of the rows after it.
    std::size_t Generation() const { return generation_; }

    const LineIndex& Index() const { return *index_; }
    std::string_view BytesOf(const Row& row) const { return index_->Text().substr(row.start, row.end - row.start); }
    Row At(std::size_t row) const;
    Row Next(const Row& row) const;  // the row after `row` (row must not be the last)
    // The row holding offset; an offset where a wrapped row ends stands at the start of the next.
    std::size_t RowOf(std::size_t offset) const;

private:
    std::size_t RowsIn(std::size_t start, std::size_t end) const;
    Row RowFrom(std::size_t line, std::size_t start, std::size_t lineEnd) const;
    void Estimate(std::vector<std::size_t>& rows) const;
    std::size_t RoughEstimate(std::size_t block) const;
    std::size_t RowsOfBlock(std::size_t block) const;
    std::size_t LayOut(std::size_t block) const;  // returns by how many rows it changed the count (modulo)
    std::size_t Frontier() const;                 // the first block not laid out, or Blocks()
    BlockRowSums::Place PlaceOf(std::size_t row) const;  // the block holding `row`, laid out

    const LineIndex* index_ = nullptr;
    WrapWidth width_;
    std::size_t fit_ = 0;  // cells; 0 when nothing wraps
    // The lazy part of the layout (wrap only).
    mutable BlockRowSums sums_;
    mutable std::vector<bool> laid_;
    mutable std::size_t unlaid_ = 0;
    mutable std::size_t frontier_ = 0;  // every block before it is laid out
    mutable std::size_t count_ = 1;
    mutable std::size_t generation_ = 0;
};

}  // namespace core
