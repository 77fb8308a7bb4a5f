#include "core/text_pipeline.hpp"

#include <cstring>

namespace core {
namespace {

constexpr char kCtrlZ = 0x1A;

const char* Find(const char* p, const char* end, char c) {
    return static_cast<const char*>(std::memchr(p, c, static_cast<std::size_t>(end - p)));
}

}  // namespace

// ---- ViewTextBuilder ----

void ViewTextBuilder::AddLine(std::string_view line) {
    BeginLine();
    AppendToLine(line);
    EndLine();
}

void ViewTextBuilder::BeginLine() {}

void ViewTextBuilder::AppendToLine(std::string_view piece) { text_.append(piece.data(), piece.size()); }

void ViewTextBuilder::EndLine() { text_.append("\r\n", 2); }

// Every break here is the CR LF that EndLine wrote, and lines hold neither byte: the lines are
// moved together a line at a time.
void ViewTextBuilder::JoinLinesSoFar() {
    char* const begin = text_.data();
    const char* const end = begin + text_.size();
    char* out = begin;
    for (const char* p = begin; p < end;) {
        const char* cr = Find(p, end, '\r');
        const char* const stop = cr != nullptr ? cr : end;
        std::memmove(out, p, static_cast<std::size_t>(stop - p));
        out += stop - p;
        p = cr != nullptr ? cr + 2 : end;
    }
    text_.resize(static_cast<std::size_t>(out - begin));
}

const std::string& ViewTextBuilder::Text() const { return text_; }

std::string ViewTextBuilder::Take() {
    std::string out = std::move(text_);
    text_.clear();
    return out;
}

void ViewTextBuilder::Reserve(std::size_t n) { text_.reserve(n); }

// ---- LineCollector ----

void LineCollector::BeginLine() { lines_.emplace_back(); }
void LineCollector::AppendToLine(std::string_view piece) { lines_.back().append(piece); }
void LineCollector::EndLine() {}

void LineCollector::JoinLinesSoFar() {
    std::string joined;
    for (const std::string& line : lines_) joined += line;
    lines_.assign(1, std::move(joined));
}

const std::vector<std::string>& LineCollector::Lines() const { return lines_; }
std::vector<std::string> LineCollector::Take() { return std::move(lines_); }

// ---- LineReader ----

LineReader::LineReader(bool ctrlZEndsText) : ctrlZEnds_(ctrlZEndsText) {}

bool LineReader::Feed(std::string_view bytes, ViewTextBuilder& out) { return Split(bytes.data(), bytes.size(), out); }
bool LineReader::Feed(std::string_view bytes, LineCollector& out) { return Split(bytes.data(), bytes.size(), out); }
void LineReader::Finish(ViewTextBuilder& out) { FinishInto(out); }
void LineReader::Finish(LineCollector& out) { FinishInto(out); }
bool LineReader::Ended() const { return ended_; }

// The bytes of a line between two breaks. A CR never stays in a line: before an LF it belongs
// to the break, anywhere else it is dropped. Because that holds whatever the next byte is, no
// CR needs to be held back across Feed calls.
template <class Sink>
void LineReader::AppendContent(const char* p, const char* end, Sink& out) {
    while (p < end) {
        const char* cr = Find(p, end, '\r');
        if (cr == nullptr) {
            out.AppendToLine({p, static_cast<std::size_t>(end - p)});
            return;
        }
        if (cr > p) out.AppendToLine({p, static_cast<std::size_t>(cr - p)});
        p = cr + 1;
    }
}

template <class Sink>
bool LineReader::Split(const char* data, std::size_t n, Sink& out) {
    if (ended_) return false;
    if (n == 0) return true;
    const char* const ctrlZ = ctrlZEnds_ ? Find(data, data + n, kCtrlZ) : nullptr;
    const char* const limit = ctrlZ != nullptr ? ctrlZ : data + n;
    if (!lfSeen_ && data < limit) {
        if (Find(data, limit, '\n') == nullptr) {
            SplitAtCr(data, limit, out);
        } else {
            // Not a Mac file after all: what was split at CRs is one line in progress.
            if (anyLine_) {
                out.JoinLinesSoFar();
                lineOpen_ = true;
            }
            lfSeen_ = true;
        }
    }
    if (lfSeen_) SplitAtLf(data, limit, out);
    if (ctrlZ == nullptr) return true;
    EndInput(out);
    ended_ = true;
    return false;
}

// Any byte but Ctrl-Z opens a line, even a CR that is then dropped.
template <class Sink>
void LineReader::OpenLine(Sink& out) {
    if (lineOpen_) return;
    out.BeginLine();
    lineOpen_ = true;
    anyLine_ = true;
}

template <class Sink>
void LineReader::SplitAtLf(const char* p, const char* end, Sink& out) {
    while (p < end) {
        OpenLine(out);
        const char* lf = Find(p, end, '\n');
        if (lf == nullptr) {
            AppendContent(p, end, out);
            return;
        }
        AppendContent(p, (lf > p && lf[-1] == '\r') ? lf - 1 : lf, out);
        out.EndLine();
        lineOpen_ = false;
        p = lf + 1;
    }
}

// A text without LF so far: each CR ends a line.
template <class Sink>
void LineReader::SplitAtCr(const char* p, const char* end, Sink& out) {
    while (p < end) {
        OpenLine(out);
        const char* cr = Find(p, end, '\r');
        if (cr == nullptr) {
            out.AppendToLine({p, static_cast<std::size_t>(end - p)});
            return;
        }
        out.AppendToLine({p, static_cast<std::size_t>(cr - p)});
        out.EndLine();
        lineOpen_ = false;
        p = cr + 1;
    }
}

// The input has ended (its end, or a Ctrl-Z): a line in progress ends there.
template <class Sink>
void LineReader::EndInput(Sink& out) {
    if (!lineOpen_) return;
    out.EndLine();
    lineOpen_ = false;
}

template <class Sink>
void LineReader::FinishInto(Sink& out) {
    if (ended_) return;
    EndInput(out);
}

}  // namespace core
