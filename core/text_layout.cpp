#include "core/text_layout.hpp"

#include <algorithm>
#include <cstring>

namespace core {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Marks that never start a row after a break: closing brackets, '!' and '?', separators.
bool NoBreakBefore(char c) { return IsBlank(c) || std::strchr(")]}!?,.;:/", c) != nullptr; }

std::size_t NextTabStop(std::size_t cells) { return (cells / kTabCells + 1) * kTabCells; }

// Bytes of `row` that fit in `fit` cells, looking no further than needed.
std::size_t FittingBytes(std::string_view row, std::size_t fit) {
    std::size_t cells = 0;
    for (std::size_t i = 0; i < row.size(); ++i) {
        cells = row[i] == '\t' ? NextTabStop(cells) : cells + 1;
        if (cells > fit) return i;
    }
    return row.size();
}

}  // namespace

std::size_t CellsOf(std::string_view row) {
    if (std::memchr(row.data(), '\t', row.size()) == nullptr) return row.size();
    std::size_t cells = 0;
    for (char c : row) cells = c == '\t' ? NextTabStop(cells) : cells + 1;
    return cells;
}

std::size_t HitByte(std::string_view row, long long x, int cellWidth) {
    if (x <= 0 || cellWidth <= 0) return 0;
    if (std::memchr(row.data(), '\t', row.size()) == nullptr) {
        const auto byte = static_cast<unsigned long long>((x + cellWidth / 2) / cellWidth);
        return static_cast<std::size_t>(std::min<unsigned long long>(byte, row.size()));
    }
    std::size_t cells = 0;
    for (std::size_t i = 0; i < row.size(); ++i) {
        const std::size_t next = row[i] == '\t' ? NextTabStop(cells) : cells + 1;
        const long long middle = static_cast<long long>(cells + next) * cellWidth / 2;
        if (x < middle) return i;
        cells = next;
    }
    return row.size();
}

bool BreakBefore(std::string_view line, std::size_t i) {
    if (i == 0 || i >= line.size()) return false;
    const char before = line[i - 1];
    const char at = line[i];
    if (NoBreakBefore(at)) return false;
    if (IsBlank(before) || before == '!' || before == '?') return true;
    return (before == '-' || before == '/') && !IsDigit(at);
}

std::size_t WordStart(std::string_view line, std::size_t pos) {
    for (std::size_t i = std::min(pos, line.size()); i > 0; --i)
        if (BreakBefore(line, i)) return i;
    return 0;
}

std::size_t WordEnd(std::string_view line, std::size_t pos) {
    for (std::size_t i = pos + 1; i < line.size(); ++i)
        if (BreakBefore(line, i)) return i;
    return line.size();
}

std::size_t WordBefore(std::string_view line, std::size_t pos) {
    return pos == 0 ? 0 : WordStart(line, pos - 1);
}

// A row holds what fits: up to the last break that fits, so that no word which ends inside the
// width moves down. Blanks that cross the edge start the next row, which keeps every row within
// the width (and every byte drawn) however the blanks fall; a word wider than the whole row is cut
// where it reaches the edge.
std::size_t RowLength(std::string_view rest, const WrapWidth& width) {
    const std::size_t fit = width.Cells();
    const std::size_t fits = FittingBytes(rest, fit);
    if (fit == 0 || fits == rest.size()) return rest.size();
    if (fits > 0 && IsBlank(rest[fits])) return fits;
    for (std::size_t at = fits; at > 0; --at)
        if (BreakBefore(rest, at)) return at;
    return std::max<std::size_t>(fits, 1);
}

// ---- LineIndex ----

std::size_t LineIndex::BreakFrom(std::size_t from) const {
    while (from < text_.size()) {
        const void* cr = std::memchr(text_.data() + from, '\r', text_.size() - from);
        if (cr == nullptr) break;
        const auto at = static_cast<std::size_t>(static_cast<const char*>(cr) - text_.data());
        if (at + 1 < text_.size() && text_[at + 1] == '\n') return at;
        from = at + 1;
    }
    return text_.size();
}

void LineIndex::Build(std::string_view text) {
    text_ = text;
    hasTabs_ = std::memchr(text.data(), '\t', text.size()) != nullptr;
    starts_.assign(1, 0);
    widest_ = 0;
    std::size_t start = 0;
    std::size_t line = 0;
    for (;;) {
        const std::size_t end = BreakFrom(start);
        const std::string_view content = text.substr(start, end - start);
        widest_ = std::max(widest_, hasTabs_ ? CellsOf(content) : content.size());
        if (end == text.size()) break;
        start = end + 2;
        if (++line % kIndexStride == 0) starts_.push_back(start);
    }
    count_ = line + 1;
}

std::size_t LineIndex::Start(std::size_t line) const {
    line = std::min(line, count_ - 1);
    std::size_t start = starts_[line / kIndexStride];
    for (std::size_t k = line % kIndexStride; k > 0; --k) start = BreakFrom(start) + 2;
    return start;
}

std::size_t LineIndex::End(std::size_t line) const { return BreakFrom(Start(line)); }

std::size_t LineIndex::EndFrom(std::size_t start) const { return BreakFrom(start); }

std::size_t LineIndex::LineOf(std::size_t offset) const {
    const auto block = std::upper_bound(starts_.begin(), starts_.end(), offset) - starts_.begin() - 1;
    std::size_t line = static_cast<std::size_t>(block) * kIndexStride;
    std::size_t start = starts_[static_cast<std::size_t>(block)];
    for (;;) {
        const std::size_t end = BreakFrom(start);
        if (end == text_.size() || offset < end + 2) return line;
        start = end + 2;
        ++line;
    }
}

// ---- RowLayout ----

void RowLayout::Reset(const LineIndex& index, const WrapWidth& width) {
    index_ = &index;
    width_ = width;
    rowsBefore_.clear();
    fit_ = index.WidestCells() > width.Cells() ? width.Cells() : 0;  // nothing to wrap when every line fits
    count_ = index.Count();
    if (fit_ == 0) return;
    rowsBefore_.reserve(index.Count() / kIndexStride + 1);
    std::size_t rows = 0;
    std::size_t start = 0;
    for (std::size_t line = 0; line < index.Count(); ++line) {
        if (line % kIndexStride == 0) rowsBefore_.push_back(rows);
        const std::size_t end = index.EndFrom(start);
        rows += RowsIn(start, end);
        start = end + 2;
    }
    count_ = rows;
}

std::size_t RowLayout::RowsIn(std::size_t start, std::size_t end) const {
    if (end - start <= fit_ && !index_->HasTabs()) return 1;
    const std::string_view text = index_->Text();
    std::size_t rows = 1;
    for (std::size_t at = start + RowLength(text.substr(start, end - start), width_); at < end;
         at += RowLength(text.substr(at, end - at), width_))
        ++rows;
    return rows;
}

Row RowLayout::RowFrom(std::size_t line, std::size_t start, std::size_t lineEnd) const {
    const std::size_t length =
        fit_ == 0 ? lineEnd - start : RowLength(index_->Text().substr(start, lineEnd - start), width_);
    return Row{line, start, start + length};
}

// The first row of the block of lines holding `row`, with the row number it has.
RowLayout::Anchor RowLayout::BlockOf(std::size_t row) const {
    const auto block = std::upper_bound(rowsBefore_.begin(), rowsBefore_.end(), row) - rowsBefore_.begin() - 1;
    const auto k = static_cast<std::size_t>(block);
    return Anchor{k * kIndexStride, index_->Start(k * kIndexStride), rowsBefore_[k]};
}

Row RowLayout::At(std::size_t row) const {
    row = std::min(row, count_ - 1);
    if (fit_ == 0) {
        const std::size_t start = index_->Start(row);
        return Row{row, start, index_->EndFrom(start)};
    }
    Anchor at = BlockOf(row);
    std::size_t end = index_->EndFrom(at.start);
    for (std::size_t rows = RowsIn(at.start, end); at.row + rows <= row; rows = RowsIn(at.start, end)) {
        at.row += rows;
        at.start = end + 2;
        ++at.line;
        end = index_->EndFrom(at.start);
    }
    Row result = RowFrom(at.line, at.start, end);
    for (; at.row < row; ++at.row) result = RowFrom(at.line, result.end, end);
    return result;
}

Row RowLayout::Next(const Row& row) const {
    const std::size_t lineEnd = index_->EndFrom(row.end);
    if (lineEnd != row.end) return RowFrom(row.line, row.end, lineEnd);  // the rest of a wrapped line
    const std::size_t start = std::min(row.end + 2, index_->Text().size());
    return RowFrom(row.line + 1, start, index_->EndFrom(start));
}

std::size_t RowLayout::RowOf(std::size_t offset) const {
    const std::size_t line = index_->LineOf(offset);
    if (fit_ == 0) return line;
    const std::size_t k = line / kIndexStride;
    std::size_t row = rowsBefore_[k];
    std::size_t start = index_->Start(k * kIndexStride);
    for (std::size_t l = k * kIndexStride; l < line; ++l) {
        const std::size_t end = index_->EndFrom(start);
        row += RowsIn(start, end);
        start = end + 2;
    }
    const std::size_t end = index_->EndFrom(start);
    for (Row r = RowFrom(line, start, end); r.end < end && offset >= r.end; r = RowFrom(line, r.end, end)) ++row;
    return row;
}

}  // namespace core
