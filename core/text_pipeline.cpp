#include "core/text_pipeline.hpp"

#include "core/cp437.hpp"

#include <algorithm>
#include <cstring>

namespace core {
namespace {

constexpr char kCtrlZ = 0x1A;

const char* Find(const char* p, const char* end, char c) {
    return static_cast<const char*>(std::memchr(p, c, static_cast<std::size_t>(end - p)));
}

// Room for the view text: the bytes plus a CR LF per line of a typical 80-column file, so a
// large file is not copied over and over while it grows.
std::size_t ViewTextEstimate(std::size_t contentBytes) { return contentBytes + contentBytes / 32 + 2; }

// Branch-free, every byte written back, so the compiler can vectorise it; a fixed count per call
// (the lane) lets it do so without a run-time trip count.
inline void CleanBytes(char* data, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(data[i]);
        const bool control = c < 0x20 && c != '\n' && c != '\r';
        data[i] = control ? ' ' : static_cast<char>(c);
    }
}

constexpr std::size_t kCleanLane = 64;

// UTF-16 input is decoded in slices this size (bytes), into a buffer on the stack.
constexpr std::size_t kDecodeSlice = 16384;

bool IsSurrogate(char16_t unit) { return (unit & 0xF800) == 0xD800; }
bool IsHighSurrogate(char16_t unit) { return (unit & 0xFC00) == 0xD800; }
bool IsLowSurrogate(char16_t unit) { return (unit & 0xFC00) == 0xDC00; }

}  // namespace

bool ShouldClean(std::int32_t fileSize) { return fileSize <= kCleanThreshold; }

void CleanBlock(char* data, std::size_t n) {
    std::size_t i = 0;
    for (; i + kCleanLane <= n; i += kCleanLane) CleanBytes(data + i, kCleanLane);
    CleanBytes(data + i, n - i);
}

bool HasUtf16Mark(const char* data, std::size_t n) {
    if (n < 2) return false;
    const auto a = static_cast<unsigned char>(data[0]);
    const auto b = static_cast<unsigned char>(data[1]);
    return (a == 0xFE && b == 0xFF) || (a == 0xFF && b == 0xFE);
}

TextEncoding EncodingOfMark(const char* data, std::size_t n) {
    if (!HasUtf16Mark(data, n)) return TextEncoding::kEightBit;
    return static_cast<unsigned char>(data[0]) == 0xFF ? TextEncoding::kUtf16LittleEndian
                                                       : TextEncoding::kUtf16BigEndian;
}

// ---- Utf16Decoder ----

Utf16Decoder::Utf16Decoder(bool bigEndian) : bigEndian_(bigEndian) {}

inline char* Utf16Decoder::Put(char16_t unit, char* out) {
    if (pendingHigh_ != 0) {
        pendingHigh_ = 0;
        // Every character beyond the BMP lacks a code page 437 glyph: the pair is one '?'.
        if (IsLowSurrogate(unit)) {
            *out++ = '?';
            return out;
        }
        *out++ = '?';  // the high half stood alone
    }
    if (IsSurrogate(unit)) {
        if (IsHighSurrogate(unit))
            pendingHigh_ = unit;
        else
            *out++ = '?';  // a low half without its high one
        return out;
    }
    if (unit != 0) *out++ = static_cast<char>(kCp437FromBmp[unit]);
    return out;
}

std::size_t Utf16Decoder::Decode(const char* data, std::size_t n, char* out) {
    char* const start = out;
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* const end = p + n;
    const int hi = bigEndian_ ? 0 : 1;  // index of the high byte within a unit
    if (pendingByte_ >= 0 && p < end) {
        const unsigned char pair[2] = {static_cast<unsigned char>(pendingByte_), *p++};
        out = Put(static_cast<char16_t>(pair[hi] << 8 | pair[1 - hi]), out);
        pendingByte_ = -1;
    }
    for (; end - p >= 2; p += 2) {
        const auto unit = static_cast<char16_t>(p[hi] << 8 | p[1 - hi]);
        // The common case first: no surrogate waiting, none arriving, not U+0000.
        if (pendingHigh_ == 0 && !IsSurrogate(unit) && unit != 0)
            *out++ = static_cast<char>(kCp437FromBmp[unit]);
        else
            out = Put(unit, out);
    }
    if (p < end) pendingByte_ = *p;
    return static_cast<std::size_t>(out - start);
}

std::size_t Utf16Decoder::Finish(char* out) {
    std::size_t n = 0;
    if (pendingHigh_ != 0) out[n++] = '?';
    if (pendingByte_ >= 0) out[n++] = '?';
    pendingHigh_ = 0;
    pendingByte_ = -1;
    return n;
}

// ---- ViewTextBuilder ----

void ViewTextBuilder::AddLine(std::string_view line) {
    BeginLine();
    AppendToLine(line);
    EndLine();
}

void ViewTextBuilder::BeginLine() {}

void ViewTextBuilder::AppendToLine(std::string_view piece) { text_.append(piece.data(), piece.size()); }

void ViewTextBuilder::EndLine() { text_.append("\r\n", 2); }

void ViewTextBuilder::JoinLinesSoFar() {
    text_.erase(std::remove_if(text_.begin(), text_.end(), [](char c) { return c == '\r' || c == '\n'; }),
                text_.end());
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

LineReader::LineReader(TextEncoding encoding)
    : decoding_(encoding != TextEncoding::kEightBit), decoder_(encoding == TextEncoding::kUtf16BigEndian) {}

bool LineReader::Feed(const char* data, std::size_t n, ViewTextBuilder& out) { return FeedInto(data, n, out); }
bool LineReader::Feed(const char* data, std::size_t n, LineCollector& out) { return FeedInto(data, n, out); }
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
bool LineReader::FeedInto(const char* data, std::size_t n, Sink& out) {
    if (ended_) return false;
    if (!decoding_) return Split(data, n, out);
    char decoded[kDecodeSlice / 2 + 2];
    for (std::size_t from = 0; from < n; from += kDecodeSlice) {
        const std::size_t take = std::min(kDecodeSlice, n - from);
        Split(decoded, decoder_.Decode(data + from, take, decoded), out);
    }
    return true;
}

template <class Sink>
bool LineReader::Split(const char* data, std::size_t n, Sink& out) {
    if (n == 0) return true;
    // Ctrl-Z is an end-of-text mark of 8-bit files only: in UTF-16 text U+001A is a character, and
    // ending there would silently drop the rest of the file.
    const char* const ctrlZ = decoding_ ? nullptr : Find(data, data + n, kCtrlZ);
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
    if (decoding_) {
        char rest[2];
        Split(rest, decoder_.Finish(rest), out);
    }
    EndInput(out);
}

// ---- whole-buffer helpers ----

std::vector<std::string> SplitLines(std::string_view bytes, TextEncoding encoding) {
    LineCollector lines;
    LineReader reader(encoding);
    reader.Feed(bytes.data(), bytes.size(), lines);
    reader.Finish(lines);
    return lines.Take();
}

std::string BuildViewText(std::string_view fileBytes, bool clean) {
    ViewTextBuilder out;
    const TextEncoding encoding = EncodingOfMark(fileBytes.data(), fileBytes.size());
    if (encoding != TextEncoding::kEightBit) {
        const std::string_view body = fileBytes.substr(2);
        out.Reserve(ViewTextEstimate(body.size() / 2));
        LineReader reader(encoding);
        reader.Feed(body.data(), body.size(), out);
        reader.Finish(out);
        return out.Take();
    }
    out.Reserve(ViewTextEstimate(fileBytes.size()));
    LineReader reader(TextEncoding::kEightBit);
    if (!clean) {
        reader.Feed(fileBytes.data(), fileBytes.size(), out);
        reader.Finish(out);
        return out.Take();
    }
    // Cleaned block by block, as the cleaning copy does, rather than as one copy of the file.
    std::string block(std::min(kCopyBlock, fileBytes.size()), '\0');
    for (std::size_t offset = 0; offset < fileBytes.size(); offset += kCopyBlock) {
        const std::size_t n = std::min(kCopyBlock, fileBytes.size() - offset);
        std::memcpy(block.data(), fileBytes.data() + offset, n);
        CleanBlock(block.data(), n);
        reader.Feed(block.data(), n, out);
    }
    reader.Finish(out);
    return out.Take();
}

}  // namespace core
