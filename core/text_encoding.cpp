#include "core/text_encoding.hpp"

#include "core/cp437.hpp"

namespace core {
namespace {

bool IsSurrogate(char16_t unit) { return (unit & 0xF800) == 0xD800; }
bool IsHighSurrogate(char16_t unit) { return (unit & 0xFC00) == 0xD800; }
bool IsLowSurrogate(char16_t unit) { return (unit & 0xFC00) == 0xDC00; }

bool StartsWith(std::string_view head, std::string_view mark) { return head.substr(0, mark.size()) == mark; }

inline char Cleaned(char byte) {
    const auto c = static_cast<unsigned char>(byte);
    const bool control = c < 0x20 && c != '\n' && c != '\r';
    return control ? ' ' : byte;
}

// Branch-free, every byte written back, so the compiler can vectorise it; a fixed count per call
// (the lane) lets it do so without a run-time trip count.
inline void CleanBytes(char* data, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) data[i] = Cleaned(data[i]);
}

constexpr std::size_t kCleanLane = 64;

}  // namespace

void CleanBlock(char* data, std::size_t n) {
    std::size_t i = 0;
    for (; i + kCleanLane <= n; i += kCleanLane) CleanBytes(data + i, kCleanLane);
    CleanBytes(data + i, n - i);
}

DetectedEncoding DetectEncoding(std::string_view head) {
    if (StartsWith(head, "\xFF\xFE")) return {TextEncoding::kUtf16LittleEndian, 2};
    if (StartsWith(head, "\xFE\xFF")) return {TextEncoding::kUtf16BigEndian, 2};
    return {TextEncoding::kEightBit, 0};
}

std::unique_ptr<TextDecoder> MakeDecoder(TextEncoding encoding, bool clean) {
    switch (encoding) {
    case TextEncoding::kUtf16LittleEndian: return std::make_unique<Utf16Decoder>(false);
    case TextEncoding::kUtf16BigEndian: return std::make_unique<Utf16Decoder>(true);
    case TextEncoding::kEightBit: break;
    }
    return std::make_unique<EightBitDecoder>(clean);
}

// ---- DecodeBuffer ----

char* DecodeBuffer::Room(std::size_t n) {
    if (size_ < n) {
        bytes_.reset(new char[n]);
        size_ = n;
    }
    return bytes_.get();
}

// ---- EightBitDecoder ----

EightBitDecoder::EightBitDecoder(bool clean) : clean_(clean) {}

std::string_view EightBitDecoder::Decode(std::span<char> piece) {
    if (clean_) CleanBlock(piece.data(), piece.size());
    return {piece.data(), piece.size()};
}

std::string_view EightBitDecoder::Finish() { return {}; }
bool EightBitDecoder::CtrlZEndsText() const { return true; }
std::size_t EightBitDecoder::DecodedSizeBound(std::size_t n) const { return n; }

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

std::string_view Utf16Decoder::Decode(std::span<char> piece) {
    char* const start = buffer_.Room(DecodedSizeBound(piece.size()));
    char* out = start;
    const auto* p = reinterpret_cast<const unsigned char*>(piece.data());
    const unsigned char* const end = p + piece.size();
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
    return {start, static_cast<std::size_t>(out - start)};
}

std::string_view Utf16Decoder::Finish() {
    char* const start = buffer_.Room(2);
    char* out = start;
    if (pendingHigh_ != 0) *out++ = '?';
    if (pendingByte_ >= 0) *out++ = '?';
    pendingHigh_ = 0;
    pendingByte_ = -1;
    return {start, static_cast<std::size_t>(out - start)};
}

bool Utf16Decoder::CtrlZEndsText() const { return false; }

// A unit is two bytes; a byte held over from the last piece and a waiting high half can each
// add one '?' more.
std::size_t Utf16Decoder::DecodedSizeBound(std::size_t n) const { return n / 2 + 2; }

}  // namespace core
