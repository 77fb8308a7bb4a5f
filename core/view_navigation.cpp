#include "core/view_navigation.hpp"

#include <algorithm>
#include <limits>

namespace core {
namespace {

constexpr long long kIntMax = std::numeric_limits<int>::max();

std::string_view LineFrom(const LineIndex& index, std::size_t start) {
    return index.Text().substr(start, index.EndFrom(start) - start);
}

Row RowAt(const RowLayout& rows, long long row) {
    return rows.At(static_cast<std::size_t>(std::clamp<long long>(row, 0, static_cast<long long>(rows.Count()) - 1)));
}

// The offset's row, and its pixels from that row's start.
struct RowPlace {
    std::size_t row = 0;
    long long x = 0;
};

RowPlace PlaceOf(const RowLayout& rows, std::size_t offset, int cell) {
    const std::size_t index = rows.RowOf(offset);
    const Row row = rows.At(index);
    const std::size_t column = std::min(offset, row.end) - row.start;  // in its line break: at the row's end
    const std::size_t cells = CellsOf(rows.Index().Text().substr(row.start, column));
    return RowPlace{index, static_cast<long long>(cells) * cell};
}

}  // namespace

std::size_t Frame::PageRows() const {
    return static_cast<std::size_t>(std::max<long long>(1, height / std::max(1, grid.line)));
}

// ---- moves in the text ----

std::size_t MoveLeft(const LineIndex& index, std::size_t from, bool word) {
    const std::size_t line = index.LineOf(from);
    const std::size_t start = index.Start(line);
    if (from <= start) return line == 0 ? 0 : index.End(line - 1);  // over the line break
    if (!word) return from - 1;
    return start + WordBefore(LineFrom(index, start), from - start);
}

std::size_t MoveRight(const LineIndex& index, std::size_t from, bool word) {
    const std::size_t line = index.LineOf(from);
    const std::size_t start = index.Start(line);
    const std::size_t end = index.EndFrom(start);
    if (from >= end) return line + 1 < index.Count() ? end + 2 : end;  // over the line break
    if (!word) return from + 1;
    return start + WordEnd(LineFrom(index, start), from - start);
}

Span WordAround(const LineIndex& index, std::size_t offset) {
    const std::size_t start = index.Start(index.LineOf(offset));
    const std::string_view line = LineFrom(index, start);
    const std::size_t at = std::min(offset - start, line.size());
    return Span{start + WordStart(line, at), start + WordEnd(line, at)};
}

long long XInRow(const RowLayout& rows, std::size_t offset, int cell) { return PlaceOf(rows, offset, cell).x; }

std::size_t RowMove(const RowLayout& rows, std::size_t from, long long by, long long x, int cell) {
    const Row hit = RowAt(rows, static_cast<long long>(rows.RowOf(from)) + by);
    return hit.start + HitByte(rows.BytesOf(hit), x, cell);
}

CaretStep StepCaret(const RowLayout& rows, const Frame& frame, std::size_t caret, CaretKey key, bool ctrl) {
    const int cell = frame.grid.cell;
    const long long page = static_cast<long long>(frame.PageRows());
    auto rowsOn = [&](long long by) { return RowMove(rows, caret, by, XInRow(rows, caret, cell), cell); };
    switch (key) {
    case CaretKey::Left: return {MoveLeft(rows.Index(), caret, ctrl), 0};
    case CaretKey::Right: return {MoveRight(rows.Index(), caret, ctrl), 0};
    case CaretKey::Up: return {rowsOn(-1), 0};
    case CaretKey::Down: return {rowsOn(1), 0};
    case CaretKey::PageUp: return {rowsOn(-page), -page};
    case CaretKey::PageDown: return {rowsOn(page), page};
    case CaretKey::Home: return {ctrl ? 0 : rows.At(rows.RowOf(caret)).start, 0};
    case CaretKey::End: return {ctrl ? rows.Index().Text().size() : rows.At(rows.RowOf(caret)).end, 0};
    }
    return {caret, 0};
}

// ---- pixels and offsets ----

Pixel PixelOf(const RowLayout& rows, const CellGrid& grid, const Scroll& scroll, std::size_t offset) {
    const RowPlace place = PlaceOf(rows, offset, grid.cell);
    return Pixel{grid.margin + place.x - scroll.x,
                 (static_cast<long long>(place.row) - static_cast<long long>(scroll.top)) * grid.line};
}

std::size_t OffsetAt(const RowLayout& rows, const CellGrid& grid, const Scroll& scroll, Pixel at) {
    const long long row = static_cast<long long>(scroll.top) + (at.y < 0 ? -1 : at.y / std::max(1, grid.line));
    const Row hit = RowAt(rows, row);
    return hit.start + HitByte(rows.BytesOf(hit), at.x - grid.margin + scroll.x, grid.cell);
}

// ---- scrolling ----

long long LastX(long long textWidth, long long formatWidth) { return std::max<long long>(0, textWidth - formatWidth); }

Scroll ClampScroll(long long top, long long x, const ScrollLimits& limits) {
    const long long lastTop =
        std::max<long long>(0, static_cast<long long>(limits.rows) - static_cast<long long>(limits.page));
    return Scroll{static_cast<std::size_t>(std::clamp<long long>(top, 0, lastTop)),
                  std::clamp<long long>(x, 0, std::max<long long>(0, limits.lastX))};
}

ScrollWish ScrollToShow(const Scroll& now, const Frame& frame, std::size_t caretRow, long long caretX) {
    const std::size_t page = frame.PageRows();
    ScrollWish wish{static_cast<long long>(now.top), now.x};
    if (caretRow >= now.top + page) wish.top = static_cast<long long>(caretRow + 1) - static_cast<long long>(page);
    if (caretRow < now.top) wish.top = static_cast<long long>(caretRow);
    const long long width = frame.FormatWidth();
    if (caretX < now.x || caretX - now.x > width) wish.x = caretX - width / 3;  // a third in
    return wish;
}

DragStep DragStepAt(Pixel at, const Frame& frame) {
    const long long bottom = frame.RowsBottom();
    const int margin = frame.grid.margin;
    DragStep step;
    if (at.y < 0) --step.rows;
    if (at.y >= bottom) ++step.rows;
    if (at.x < margin) --step.cells;
    if (at.x >= frame.width - margin) ++step.cells;
    step.inside = Pixel{std::clamp<long long>(at.x, 0, std::max<long long>(0, frame.width - 1)),
                        std::clamp<long long>(at.y, 0, std::max<long long>(0, bottom - 1))};
    return step;
}

long long ScrollTarget(ScrollAction action, long long now, long long line, long long page, long long end) {
    switch (action) {
    case ScrollAction::LineBack: return now - line;
    case ScrollAction::LineOn: return now + line;
    case ScrollAction::PageBack: return now - page;
    case ScrollAction::PageOn: return now + page;
    case ScrollAction::Start: return 0;
    case ScrollAction::End: return end;
    }
    return now;
}

BarInfo VerticalBar(std::size_t rows, std::size_t page, std::size_t top) {
    const auto cap = static_cast<std::size_t>(kIntMax);
    return BarInfo{static_cast<int>(std::min(rows > 0 ? rows - 1 : 0, cap)),
                   static_cast<unsigned>(std::min(page, cap)), static_cast<int>(std::min(top, cap))};
}

long long HorizontalUnit(long long textWidth) { return std::max<long long>(0, textWidth) / kIntMax + 1; }

BarInfo HorizontalBar(long long textWidth, long long formatWidth, long long x, long long lastX) {
    const long long unit = HorizontalUnit(textWidth);
    const long long units = (std::max<long long>(0, textWidth) + unit - 1) / unit;
    const long long page = std::max<long long>(0, formatWidth) / unit;
    const bool atEnd = x > 0 && x >= lastX;
    const long long pos = atEnd ? std::max<long long>(0, units - page) : x / unit;
    return BarInfo{static_cast<int>(std::max<long long>(0, units - 1)), static_cast<unsigned>(std::min(page, kIntMax)),
                   static_cast<int>(std::clamp<long long>(pos, 0, kIntMax))};
}

long long XAtThumb(long long trackPos, const BarInfo& bar, long long textWidth) {
    const bool atEnd = trackPos + static_cast<long long>(bar.page) > static_cast<long long>(bar.max);
    return atEnd ? textWidth : trackPos * HorizontalUnit(textWidth);
}

// Slow and fine near the press point, then growing with the square of the distance, so a
// short reach reads line by line and a long one runs through the file.
long long PanSpeed(long long distance) {
    // Held far below where the square would overflow: the speed is at its fastest long before.
    const long long reach = std::min<long long>(distance < 0 ? -(distance + 1) : distance, 1 << 20) - kPanDeadZone +
                            (distance < 0 ? 1 : 0);
    if (reach <= 0) return 0;
    const long long speed = std::min(kPanFastest, reach / 4 + 1 + reach * reach / 400);
    return distance < 0 ? -speed : speed;
}

PanMove PanScroll::Tick(Pixel fromPress, int line) {
    restY_ += PanSpeed(fromPress.y);
    const long long height = std::max(line, 1);
    const long long rows = restY_ / height;  // towards zero: the rest keeps the sign of the move
    restY_ -= rows * height;
    return PanMove{rows, PanSpeed(fromPress.x)};
}

int WheelNotches::Add(int delta) {
    rest_ += delta;
    const int notches = rest_ / kWheelNotch;
    rest_ -= notches * kWheelNotch;
    return notches;
}

}  // namespace core
