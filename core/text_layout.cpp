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

bool LineIndex::Build(std::string_view text, const Progress& progress) {
    text_ = text;
    hasTabs_ = std::memchr(text.data(), '\t', text.size()) != nullptr;
    starts_.assign(1, 0);
    blockWidest_.assign(1, 0);
    widest_ = 0;
    std::size_t start = 0;
    std::size_t line = 0;
    for (std::size_t report = kProgressStep;;) {
        if (progress && start >= report) {
            if (!progress(start)) return false;
            report = start + kProgressStep;
        }
        const std::size_t end = BreakFrom(start);
        const std::string_view content = text.substr(start, end - start);
        const std::size_t cells = hasTabs_ ? CellsOf(content) : content.size();
        widest_ = std::max(widest_, cells);
        auto& blockWidest = blockWidest_.back();
        blockWidest = static_cast<std::uint16_t>(std::max<std::size_t>(blockWidest, std::min(cells, kWidestKept)));
        if (end == text.size()) break;
        start = end + 2;
        if (++line % kIndexStride == 0) {
            starts_.push_back(start);
            blockWidest_.push_back(0);
        }
    }
    count_ = line + 1;
    return true;
}

std::size_t LineIndex::LinesIn(std::size_t block) const {
    return block + 1 < starts_.size() ? kIndexStride : count_ - block * kIndexStride;
}

std::size_t LineIndex::BlockContentBytes(std::size_t block) const {
    const std::size_t end = block + 1 < starts_.size() ? starts_[block + 1] : text_.size() + 2;
    return end - starts_[block] - 2 * LinesIn(block);
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

// ---- BlockRowSums ----

void BlockRowSums::Assign(std::vector<std::size_t> rows) {
    tree_ = std::move(rows);
    tree_.insert(tree_.begin(), 0);
    for (std::size_t i = 1; i < tree_.size(); ++i)
        if (const std::size_t parent = i + (i & (~i + 1)); parent < tree_.size()) tree_[parent] += tree_[i];
}

std::size_t BlockRowSums::Before(std::size_t block) const {
    std::size_t sum = 0;
    for (std::size_t i = block; i > 0; i &= i - 1) sum += tree_[i];
    return sum;
}

void BlockRowSums::Add(std::size_t block, std::size_t delta) {
    for (std::size_t i = block + 1; i < tree_.size(); i += i & (~i + 1)) tree_[i] += delta;
}

// Down the tree from its largest power of two: every block has a row, so the sums only grow.
BlockRowSums::Place BlockRowSums::Find(std::size_t row) const {
    std::size_t step = 1;
    while (step * 2 < tree_.size()) step *= 2;
    std::size_t block = 0;
    for (; step > 0; step /= 2) {
        if (block + step < tree_.size() && tree_[block + step] <= row) {
            block += step;
            row -= tree_[block];
        }
    }
    return Place{block, row};
}

// ---- RowLayout ----

void RowLayout::Reset(const LineIndex& index, const WrapWidth& width, std::size_t wholeLayoutBytes) {
    index_ = &index;
    width_ = width;
    ++generation_;
    sums_.Clear();
    laid_.clear();
    unlaid_ = 0;
    frontier_ = 0;
    fit_ = index.WidestCells() > width.Cells() ? width.Cells() : 0;  // nothing to wrap when every line fits
    count_ = index.Count();
    if (fit_ == 0) return;
    // A block whose lines all fit has a row per line: laid out without looking at it.
    std::vector<std::size_t> rows(index.Blocks());
    laid_.assign(rows.size(), true);
    for (std::size_t block = 0; block < rows.size(); ++block) {
        const bool fits = index.BlockWidest(block) <= fit_;
        rows[block] = fits ? index.LinesIn(block) : 0;
        laid_[block] = fits;
        unlaid_ += fits ? 0 : 1;
    }
    if (index.Text().size() <= wholeLayoutBytes) {
        for (std::size_t block = 0; block < rows.size(); ++block)
            if (!laid_[block]) rows[block] = RowsOfBlock(block), laid_[block] = true;
        unlaid_ = 0;
    } else {
        Estimate(rows);
    }
    count_ = 0;
    for (const std::size_t blockRows : rows) count_ += blockRows;
    sums_.Assign(std::move(rows));
}

// Every block still to be laid out gets an estimate, scaled by how far the estimates of a sample
// of blocks across the text were from their layout: that ratio is what the text's words do to its
// rows at this width. The sampled blocks are laid out for good.
void RowLayout::Estimate(std::vector<std::size_t>& rows) const {
    constexpr std::size_t kSamples = 64;
    constexpr std::size_t kSampleBytes = 256 << 10;
    const std::size_t step = std::max<std::size_t>(unlaid_ / kSamples, 4);  // a few blocks of a small text
    double estimated = 0;
    double exact = 0;
    std::size_t budget = kSampleBytes;
    for (std::size_t block = 0, seen = 0; block < rows.size(); ++block) {
        if (laid_[block]) continue;
        rows[block] = RoughEstimate(block);
        const std::size_t bytes = index_->BlockContentBytes(block);
        if (seen++ % step != 0 || bytes > budget) continue;
        budget -= bytes;
        estimated += static_cast<double>(rows[block]);
        rows[block] = RowsOfBlock(block);
        exact += static_cast<double>(rows[block]);
        laid_[block] = true;
        --unlaid_;
    }
    if (estimated == 0) return;
    const double ratio = exact / estimated;
    for (std::size_t block = 0; block < rows.size(); ++block)
        if (!laid_[block])
            rows[block] = std::max(index_->LinesIn(block) + 1, static_cast<std::size_t>(static_cast<double>(rows[block]) * ratio + 0.5));
}

std::size_t RowLayout::RowsOfBlock(std::size_t block) const {
    std::size_t start = index_->BlockStart(block);
    std::size_t rows = 0;
    for (std::size_t line = index_->LinesIn(block); line > 0; --line) {
        const std::size_t end = index_->EndFrom(start);
        rows += RowsIn(start, end);
        start = end + 2;
    }
    return rows;
}

// What wrapping the widest line costs, and the others at their average length. A wrapped row is
// assumed some nine tenths full: words that do not fit move down whole.
std::size_t RowLayout::RoughEstimate(std::size_t block) const {
    const double fit = static_cast<double>(fit_) * 0.92;
    const auto rowsOf = [&](double cells) { return cells <= static_cast<double>(fit_) ? 1.0 : cells / fit + 0.5; };
    const std::size_t lines = index_->LinesIn(block);
    const std::size_t bytes = index_->BlockContentBytes(block);
    const std::size_t widest = index_->BlockWidest(block);
    double rows = 0;
    if (widest < LineIndex::kWidestKept) {
        const std::size_t rest = bytes > widest ? bytes - widest : 0;
        rows = rowsOf(static_cast<double>(widest)) +
               (lines > 1 ? static_cast<double>(lines - 1) * rowsOf(static_cast<double>(rest) / static_cast<double>(lines - 1)) : 0);
    } else {
        rows = static_cast<double>(bytes) / fit + static_cast<double>(lines) / 2;
    }
    // At least one line is wider than the row.
    return std::max(lines + 1, static_cast<std::size_t>(rows + 0.5));
}

std::size_t RowLayout::LayOut(std::size_t block) const {
    if (laid_[block]) return 0;
    const std::size_t rows = RowsOfBlock(block);
    laid_[block] = true;
    --unlaid_;
    const std::size_t delta = rows - sums_.Of(block);
    if (delta == 0) return 0;
    sums_.Add(block, delta);
    count_ += delta;
    ++generation_;
    return delta;
}

std::size_t RowLayout::Frontier() const {
    while (frontier_ < laid_.size() && laid_[frontier_]) ++frontier_;
    return frontier_;
}

std::size_t RowLayout::ExactCount() const {
    for (std::size_t block = Frontier(); unlaid_ > 0 && block < laid_.size(); ++block) LayOut(block);
    return count_;
}

void RowLayout::MakeExactThroughRow(std::size_t row) const {
    while (unlaid_ > 0 && Frontier() < laid_.size() && sums_.Before(frontier_) <= row) LayOut(frontier_);
}

void RowLayout::MakeExactThroughOffset(std::size_t offset) const {
    if (unlaid_ == 0) return;
    const std::size_t last = index_->LineOf(offset) / kIndexStride;
    for (std::size_t block = Frontier(); unlaid_ > 0 && block <= last; ++block) LayOut(block);
}

void RowLayout::LayOutAround(std::size_t offset, std::size_t rowsBefore, std::size_t rowsAfter) const {
    if (unlaid_ == 0) return;
    const std::size_t home = index_->LineOf(offset) / kIndexStride;
    LayOut(home);
    const std::size_t above = RowOf(offset) - sums_.Before(home);
    for (std::size_t block = home, seen = above; seen < rowsBefore && block > 0;) {
        LayOut(--block);
        seen += sums_.Of(block);
    }
    for (std::size_t block = home + 1, seen = sums_.Of(home) - above; seen < rowsAfter && block < laid_.size(); ++block) {
        LayOut(block);
        seen += sums_.Of(block);
    }
}

bool RowLayout::Refine(std::size_t bytes, std::size_t anchor, std::size_t maxShift) const {
    if (unlaid_ == 0) return false;
    const std::size_t anchorBlock = index_->LineOf(anchor) / kIndexStride;
    std::size_t done = 0;
    std::size_t shift = 0;
    while (unlaid_ > 0 && done < bytes && shift < maxShift) {
        const std::size_t block = Frontier();
        const auto delta = static_cast<std::ptrdiff_t>(LayOut(block));
        if (block < anchorBlock) shift += static_cast<std::size_t>(delta < 0 ? -delta : delta);
        done += index_->BlockContentBytes(block) + 1;
    }
    return unlaid_ > 0;
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

// Laying the block out may change its count, never where it starts: a row beyond its new end is
// looked for again among the blocks after it (or is the last row, when the text ends sooner).
BlockRowSums::Place RowLayout::PlaceOf(std::size_t row) const {
    for (;;) {
        const BlockRowSums::Place place = sums_.Find(std::min(row, count_ - 1));
        if (laid_[place.block]) return place;
        LayOut(place.block);
    }
}

Row RowLayout::At(std::size_t row) const {
    if (fit_ == 0) {
        row = std::min(row, count_ - 1);
        const std::size_t start = index_->Start(row);
        return Row{row, start, index_->EndFrom(start)};
    }
    BlockRowSums::Place place = PlaceOf(row);
    std::size_t line = place.block * kIndexStride;
    std::size_t start = index_->Start(line);
    std::size_t end = index_->EndFrom(start);
    for (std::size_t rows = RowsIn(start, end); rows <= place.row; rows = RowsIn(start, end)) {
        place.row -= rows;
        start = end + 2;
        ++line;
        end = index_->EndFrom(start);
    }
    Row result = RowFrom(line, start, end);
    for (; place.row > 0; --place.row) result = RowFrom(line, result.end, end);
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
    const std::size_t block = line / kIndexStride;
    LayOut(block);
    std::size_t row = sums_.Before(block);
    std::size_t start = index_->Start(block * kIndexStride);
    for (std::size_t l = block * kIndexStride; l < line; ++l) {
        const std::size_t end = index_->EndFrom(start);
        row += RowsIn(start, end);
        start = end + 2;
    }
    const std::size_t end = index_->EndFrom(start);
    for (Row r = RowFrom(line, start, end); r.end < end && offset >= r.end; r = RowFrom(line, r.end, end)) ++row;
    return row;
}

}  // namespace core
