#pragma once
// Where the caret goes and what the view shows, worked out without a window: moves by character,
// word, row and page, the word under a double click, the pixel a byte stands at and the byte under
// a pixel, the scroll limits and the scroll bars' numbers, the step of a drag outside the view and
// the scroll that brings the caret into view. Pixels are kept in 64 bits: a line of ten million
// characters is far wider than the 16-bit (messages) or 32-bit (GDI, scroll bars) fields it is
// finally handed over in, and only the window clamps them, at that boundary.
#include <cstddef>

#include "core/text_layout.hpp"

namespace core {

// A selection or a word: bytes [start, end).
struct Span {
    std::size_t start = 0;
    std::size_t end = 0;
    std::size_t length() const { return end - start; }
    bool operator==(const Span&) const = default;
};

// The view's character grid in pixels: a cell per character, a row per line of the font, and a
// margin at the left and at the right of the text.
struct CellGrid {
    int cell = 7;
    int line = 14;
    int margin = 3;
};

// The client area the view draws in, with its grid.
struct Frame {
    long long width = 0;
    long long height = 0;
    CellGrid grid;
    std::size_t PageRows() const;  // rows shown whole, never fewer than one
    long long RowsBottom() const { return static_cast<long long>(PageRows()) * grid.line; }
    long long FormatWidth() const { return width - 2 * grid.margin; }  // what wraps and what a page sideways is
};

// What is scrolled into the frame: the first row shown, and the pixels of text off to the left.
struct Scroll {
    std::size_t top = 0;
    long long x = 0;
    bool operator==(const Scroll&) const = default;
};

struct Pixel {
    long long x = 0;
    long long y = 0;
    bool operator==(const Pixel&) const = default;
};

// ---- moves in the text ----

// A character to the left or right, or with `word` to the word break before or after; a CR LF is
// crossed in one step, and the ends of the text hold.
std::size_t MoveLeft(const LineIndex& index, std::size_t from, bool word);
std::size_t MoveRight(const LineIndex& index, std::size_t from, bool word);

// The word a double click selects: from the break at or before the offset to the next break, so a
// word takes the blanks after it. Never reaches over a line break.
Span WordAround(const LineIndex& index, std::size_t offset);

// Pixels from the start of the offset's row to the offset (tabs to their stops).
long long XInRow(const RowLayout& rows, std::size_t offset, int cell);

// The offset `by` rows above (negative) or below, nearest `x` pixels from its row's start (the
// caller's remembered x); the first and the last row hold.
std::size_t RowMove(const RowLayout& rows, std::size_t from, long long by, long long x, int cell);

// The caret keys of the view: the arrows, the page keys and Home and End.
enum class CaretKey { Left, Right, Up, Down, PageUp, PageDown, Home, End };

// Where a caret key takes the caret: with Ctrl, Left and Right go by words and Home and End to
// the ends of the text; without, Home and End go to the ends of the caret's row. The page keys
// also scroll the view by a page (`scrollRows`), before the caret is brought into view.
struct CaretStep {
    std::size_t caret = 0;
    long long scrollRows = 0;
};
CaretStep StepCaret(const RowLayout& rows, const Frame& frame, std::size_t caret, CaretKey key, bool ctrl);

// ---- pixels and offsets ----

// Where the offset stands in client pixels (an offset where a wrapped row ends stands at the start
// of the next row).
Pixel PixelOf(const RowLayout& rows, const CellGrid& grid, const Scroll& scroll, std::size_t offset);

// The offset nearest a client pixel: the row under it (the rows above and below the text give
// the first and the last), the byte boundary nearest it across the row.
std::size_t OffsetAt(const RowLayout& rows, const CellGrid& grid, const Scroll& scroll, Pixel at);

// ---- scrolling ----

struct ScrollLimits {
    std::size_t rows = 1;   // rows of the text
    std::size_t page = 1;   // rows shown whole
    long long lastX = 0;    // the x offset that shows the end of the widest line
};

// How far the widest line scrolls to the left: its end at the right margin; 0 when it fits.
long long LastX(long long textWidth, long long formatWidth);

// The scroll asked for, held inside the text: the last top row shows a whole last page.
Scroll ClampScroll(long long top, long long x, const ScrollLimits& limits);

// The scroll that shows the caret: the least move up or down that brings its row onto the page;
// sideways, a caret outside the format width is brought a third of that width in from the left
// edge, as the edit control does. Not clamped.
struct ScrollWish {
    long long top = 0;
    long long x = 0;
    bool operator==(const ScrollWish&) const = default;
};
ScrollWish ScrollToShow(const Scroll& now, const Frame& frame, std::size_t caretRow, long long caretX);

// A drag at a client point, maybe outside the view: one row or cell of auto-scroll towards the
// mouse when it is above or below the rows shown or beyond a margin, and the point to select at,
// pulled inside.
struct DragStep {
    int rows = 0;
    int cells = 0;
    Pixel inside;
};
DragStep DragStepAt(Pixel at, const Frame& frame);

// What a scroll bar asks for, in the bar's own terms.
enum class ScrollAction { LineBack, LineOn, PageBack, PageOn, Start, End };
// The position asked for from `now`, with the bar's line and page, and `end` its far end.
long long ScrollTarget(ScrollAction action, long long now, long long line, long long page, long long end);

// A scroll bar's numbers, each within a 32-bit field.
struct BarInfo {
    int max = 0;
    unsigned page = 0;
    int pos = 0;
    bool operator==(const BarInfo&) const = default;
};

BarInfo VerticalBar(std::size_t rows, std::size_t page, std::size_t top);

// The horizontal bar counts pixels while the text is narrower than a 32-bit range; a wider text
// (a line of some 300 million characters) is counted in coarser units, so the thumb still spans
// the whole of it.
long long HorizontalUnit(long long textWidth);
// Scrolled to the end, the thumb stands at the end, whatever the rounding to units.
BarInfo HorizontalBar(long long textWidth, long long formatWidth, long long x, long long lastX);
// The x offset a thumb at `trackPos` shows: at the bar's end, the end of the text.
long long XAtThumb(long long trackPos, const BarInfo& bar, long long textWidth);

// Panning with the middle button held down: every tick the view moves towards the mouse, by
// nothing while it stays near the point the button went down at and ever faster the farther it
// goes, as browsers do. Pixels per tick along one axis, signed as the distance.
constexpr int kPanDeadZone = 8;
constexpr long long kPanFastest = 4000;  // pixels a tick: a page or more, never a leap across the file
long long PanSpeed(long long distance);

// The ticks' moves, in whole rows down and pixels sideways; what is less than a row is kept for
// the next tick, so a slow pan still moves.
struct PanMove {
    long long rows = 0;
    long long x = 0;
    bool operator==(const PanMove&) const = default;
};
class PanScroll {
public:
    PanMove Tick(Pixel fromPress, int line);

private:
    long long restY_ = 0;
};

// Wheel turns add up to whole notches: a fine wheel sends less than a notch at a time.
constexpr int kWheelNotch = 120;
class WheelNotches {
public:
    int Add(int delta);  // the whole notches now turned (upward positive), the rest kept

private:
    int rest_ = 0;
};

}  // namespace core
