#include "core/text_encoding.hpp"

#include "core/cp437.hpp"

#include <array>
#include <cstdint>
#include <cstring>

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

constexpr std::string_view kUtf16LittleMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigMark = "\xFE\xFF";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr unsigned char kCtrlZ = 0x1A;

// What a byte starts: how many continuation bytes follow, the bits it carries, and the range the
// first continuation must lie in (narrower after E0, ED, F0 and F4, which rules out overlong
// forms, surrogates and characters past U+10FFFF). need 0: it starts nothing.
struct SequenceStart {
    int need;
    char32_t bits;
    unsigned char low, high;
};

constexpr SequenceStart StartOf(unsigned char b) {
    if (b >= 0xC2 && b <= 0xDF) return {1, b & 0x1Fu, 0x80, 0xBF};
    if (b == 0xE0) return {2, 0, 0xA0, 0xBF};
    if (b == 0xED) return {2, 0xD, 0x80, 0x9F};
    if (b >= 0xE1 && b <= 0xEF) return {2, b & 0x0Fu, 0x80, 0xBF};
    if (b == 0xF0) return {3, 0, 0x90, 0xBF};
    if (b >= 0xF1 && b <= 0xF3) return {3, b & 0x07u, 0x80, 0xBF};
    if (b == 0xF4) return {3, 4, 0x80, 0x8F};
    return {0, 0, 0, 0};
}

constexpr std::array<SequenceStart, 256> MakeStarts() {
    std::array<SequenceStart, 256> starts{};
    for (int b = 0; b < 256; ++b) starts[static_cast<std::size_t>(b)] = StartOf(static_cast<unsigned char>(b));
    return starts;
}

constexpr std::array<SequenceStart, 256> kStarts = MakeStarts();

constexpr bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Past a run of plain characters (below 0x80, Ctrl-Z excluded), a word at a time.
inline const unsigned char* SkipPlain(const unsigned char* p, const unsigned char* end) {
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        const std::uint64_t z = word ^ (kOnes * kCtrlZ);
        if (((word | ((z - kOnes) & ~z)) & kHigh) != 0) break;
        p += 8;
    }
    while (p < end && *p < 0x80 && *p != kCtrlZ) ++p;
    return p;
}

constexpr bool IsAsciiLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

// The letters of Latin-1 and Latin Extended-A and -B, without the multiplication and division signs.
constexpr bool IsLatinLetter(char32_t c) { return c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7; }

constexpr bool IsPrivateUse(char32_t c) { return (c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000; }

// 0x80-0x9F of Windows-1252; U+FFFD where it assigns nothing.
constexpr char32_t kWindows1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

constexpr char32_t Windows1252Of(unsigned char b) { return b >= 0x80 && b < 0xA0 ? kWindows1252High[b - 0x80] : b; }

// The control bytes of a cleaned file are blanked before they are looked up: 0x07 is a control
// there, while the bullet U+2022 (byte 0x95) draws as byte 0x07.
std::array<unsigned char, 256> MakeWindows1252Table(bool clean) {
    std::array<unsigned char, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        const unsigned char cleaned = clean ? static_cast<unsigned char>(Cleaned(static_cast<char>(byte))) : byte;
        table[static_cast<std::size_t>(b)] = kCp437ShownFromBmp[Windows1252Of(cleaned)];
    }
    return table;
}

const std::array<unsigned char, 256> kWindows1252Cleaned = MakeWindows1252Table(true);
const std::array<unsigned char, 256> kWindows1252Raw = MakeWindows1252Table(false);

}  // namespace

void CleanBlock(char* data, std::size_t n) {
    std::size_t i = 0;
    for (; i + kCleanLane <= n; i += kCleanLane) CleanBytes(data + i, kCleanLane);
    CleanBytes(data + i, n - i);
}

std::optional<DetectedEncoding> MarkedEncoding(std::string_view head) {
    if (StartsWith(head, kUtf16LittleMark)) return DetectedEncoding{TextEncoding::kUtf16LittleEndian, 2};
    if (StartsWith(head, kUtf16BigMark)) return DetectedEncoding{TextEncoding::kUtf16BigEndian, 2};
    if (StartsWith(head, kUtf8Mark)) return DetectedEncoding{TextEncoding::kUtf8, 3};
    return std::nullopt;
}

DetectedEncoding DetectEncoding(std::string_view head) {
    if (const auto marked = MarkedEncoding(head)) return *marked;
    Utf8Evidence evidence;
    evidence.Feed(head);
    return {evidence.IsUtf8() ? TextEncoding::kUtf8 : TextEncoding::kEightBit, 0};
}

DetectedEncoding ChosenEncoding(std::string_view head, EncodingChoice choice) {
    const auto skipping = [head](TextEncoding encoding, std::string_view mark) {
        return DetectedEncoding{encoding, StartsWith(head, mark) ? mark.size() : 0};
    };
    switch (choice) {
    case EncodingChoice::kAutomatic: return DetectEncoding(head);
    case EncodingChoice::kDos437: return {TextEncoding::kEightBit, 0};
    case EncodingChoice::kUtf8: return skipping(TextEncoding::kUtf8, kUtf8Mark);
    case EncodingChoice::kUtf16LittleEndian: return skipping(TextEncoding::kUtf16LittleEndian, kUtf16LittleMark);
    case EncodingChoice::kUtf16BigEndian: return skipping(TextEncoding::kUtf16BigEndian, kUtf16BigMark);
    case EncodingChoice::kWindows1252: return {TextEncoding::kWindows1252, 0};
    }
    return {TextEncoding::kEightBit, 0};
}

std::string_view EncodingName(const DetectedEncoding& encoding) {
    switch (encoding.encoding) {
    case TextEncoding::kEightBit: return "DOS 437";
    case TextEncoding::kUtf8: return encoding.markLength > 0 ? "UTF-8 mark" : "UTF-8";
    case TextEncoding::kUtf16LittleEndian: return "UTF-16 LE";
    case TextEncoding::kUtf16BigEndian: return "UTF-16 BE";
    case TextEncoding::kWindows1252: return "Windows-1252";
    }
    return "";
}

std::string_view LongestEncodingName() { return "Windows-1252"; }

std::unique_ptr<TextDecoder> MakeDecoder(TextEncoding encoding, bool clean) {
    switch (encoding) {
    case TextEncoding::kUtf16LittleEndian: return std::make_unique<Utf16Decoder>(false);
    case TextEncoding::kUtf16BigEndian: return std::make_unique<Utf16Decoder>(true);
    case TextEncoding::kUtf8: return std::make_unique<Utf8Decoder>(clean);
    case TextEncoding::kWindows1252: return std::make_unique<Windows1252Decoder>(clean);
    case TextEncoding::kEightBit: break;
    }
    return std::make_unique<EightBitDecoder>(clean);
}

// ---- Utf8Evidence ----

bool Utf8Evidence::Feed(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* const end = p + bytes.size();
    while (p < end && !Decided()) {
        if (need_ == 0 && waiting_ == 0) {
            // Plain text goes eight bytes at a time: only its last letter matters to what follows.
            const unsigned char* const from = p;
            p = SkipPlain(p, end);
            if (p > from) previousLetter_ = IsAsciiLetter(p[-1]), previousPlain_ = true;
            if (p == end) break;
        }
        if (need_ == 0 && *p >= 0x80) {
            // A whole sequence of two or three bytes, as box art and accented letters are: at once.
            const SequenceStart& start = kStarts[*p];
            if (start.need == 2 && end - p >= 3 && p[1] >= start.low && p[1] <= start.high && IsContinuation(p[2])) {
                plain_ = false;
                Character(start.bits << 12 | static_cast<char32_t>(p[1] & 0x3F) << 6 | (p[2] & 0x3Fu), 3);
                p += 3;
                continue;
            }
            if (start.need == 1 && end - p >= 2 && IsContinuation(p[1])) {
                plain_ = false;
                Character(start.bits << 6 | (p[1] & 0x3Fu), 2);
                p += 2;
                continue;
            }
        }
        const unsigned char b = *p++;
        if (b >= 0x80) plain_ = false;
        if (need_ > 0) {
            if (b < low_ || b > high_) {
                invalid_ = true;
                break;
            }
            code_ = code_ << 6 | (b & 0x3F);
            low_ = 0x80, high_ = 0xBF;
            if (--need_ == 0) Character(code_, length_);
            continue;
        }
        if (b == kCtrlZ) {
            ended_ = true;
            break;
        }
        if (b < 0x80) {
            Character(b, 1);
            continue;
        }
        const SequenceStart start = StartOf(b);
        if (start.need == 0) {
            invalid_ = true;
            break;
        }
        need_ = start.need, length_ = start.need + 1, code_ = start.bits, low_ = start.low, high_ = start.high;
    }
    return !invalid_;
}

void Utf8Evidence::Settle(bool nextIsLetter, bool nextIsPlain) {
    if ((waiting_ == 1 && nextIsLetter) || (waiting_ == 2 && nextIsPlain)) Count(waitingLatin1_);
    waiting_ = 0;
}

void Utf8Evidence::Count(bool latin1) {
    ++counted_;
    if (latin1) ++countedLatin1_;
}

void Utf8Evidence::Character(char32_t c, int length) {
    if (length == 1) {
        const bool letter = IsAsciiLetter(static_cast<unsigned char>(c));
        Settle(letter, true);
        previousLetter_ = letter, previousPlain_ = true;
        return;
    }
    if (length > 2) {
        Settle(false, false);
        if (!IsPrivateUse(c) && (c & 0xFFFE) != 0xFFFE) ++wide_;
        previousLetter_ = false, previousPlain_ = false;
        return;
    }
    // A letter counts beside a plain letter or a counted one; one that starts a word waits for
    // the plain letter after it.
    ++twoByte_;
    const bool letter = IsLatinLetter(c);
    Settle(false, false);
    bool counted = false;
    if (letter && previousLetter_) {
        Count(c <= 0xFF);
        counted = true;
    } else if (letter) {
        waiting_ = 1, waitingLatin1_ = c <= 0xFF;
    } else if (c >= 0xA0 && c <= 0xBF && previousPlain_) {
        waiting_ = 2, waitingLatin1_ = true;
    }
    previousLetter_ = counted, previousPlain_ = false;
}

// Two-byte characters alone must look like text: most of them standing where text has them, and
// at least one of Latin-1, which every language written in Latin letters uses.
bool Utf8Evidence::IsUtf8() const {
    if (invalid_) return false;
    if (wide_ > 0) return true;
    std::size_t counted = counted_, latin1 = countedLatin1_;
    if (waiting_ == 2 && need_ == 0) ++counted, ++latin1;  // a symbol at the very end
    return latin1 > 0 && counted * 2 >= twoByte_;
}

// ---- Utf8Decoder ----

Utf8Decoder::Utf8Decoder(bool clean) : clean_(clean) {}

inline char* Utf8Decoder::Emit(char32_t c, char* out) {
    if (c < 0x20) {
        *out++ = clean_ ? Cleaned(static_cast<char>(c)) : static_cast<char>(c);
        return out;
    }
    *out++ = c < 0x10000 ? static_cast<char>(kCp437ShownFromBmp[c]) : '?';
    return out;
}

// A sequence that breaks off is one '?', and the byte that broke it starts afresh.
inline char* Utf8Decoder::Put(unsigned char b, char* out) {
    if (need_ > 0) {
        if (b >= low_ && b <= high_) {
            code_ = code_ << 6 | (b & 0x3F);
            low_ = 0x80, high_ = 0xBF;
            if (--need_ == 0) out = Emit(code_, out);
            return out;
        }
        *out++ = '?';
        need_ = 0;
    }
    if (b < 0x80) return Emit(b, out);
    const SequenceStart& start = kStarts[b];
    if (start.need == 0) {
        *out++ = '?';
        return out;
    }
    need_ = start.need, code_ = start.bits, low_ = start.low, high_ = start.high;
    return out;
}

std::string_view Utf8Decoder::Decode(std::span<char> piece) {
    char* const start = buffer_.Room(DecodedSizeBound(piece.size()));
    char* out = start;
    const auto* p = reinterpret_cast<const unsigned char*>(piece.data());
    const unsigned char* const end = p + piece.size();
    while (p < end) {
        if (need_ == 0 && *p < 0x80 && *p != kCtrlZ) {
            // The common case first: plain characters, copied (and cleaned) as they are.
            const unsigned char* const from = p;
            p = SkipPlain(p, end);
            const auto n = static_cast<std::size_t>(p - from);
            std::memcpy(out, from, n);
            if (clean_) CleanBlock(out, n);
            out += n;
            continue;
        }
        if (need_ == 0) {
            // A whole sequence of two or three bytes within the piece, as box art is: at once.
            const SequenceStart& start = kStarts[*p];
            if (start.need == 2 && end - p >= 3 && p[1] >= start.low && p[1] <= start.high && IsContinuation(p[2])) {
                out = Emit(start.bits << 12 | static_cast<char32_t>(p[1] & 0x3F) << 6 | (p[2] & 0x3Fu), out);
                p += 3;
                continue;
            }
            if (start.need == 1 && end - p >= 2 && IsContinuation(p[1])) {
                out = Emit(start.bits << 6 | (p[1] & 0x3Fu), out);
                p += 2;
                continue;
            }
        }
        out = Put(*p++, out);
    }
    return {start, static_cast<std::size_t>(out - start)};
}

std::string_view Utf8Decoder::Finish() {
    char* const start = buffer_.Room(1);
    char* out = start;
    if (need_ > 0) *out++ = '?';  // cut by the end
    need_ = 0;
    return {start, static_cast<std::size_t>(out - start)};
}

// A character such as U+2192 (the arrow) is drawn by byte 0x1A: it must not end the text.
bool Utf8Decoder::CtrlZEndsText() const { return false; }

// Each byte gives at most one; a sequence held over from the last piece, one more.
std::size_t Utf8Decoder::DecodedSizeBound(std::size_t n) const { return n + 1; }

// ---- Windows1252Decoder ----

char32_t Windows1252Character(unsigned char byte) {
    if (byte < 0x80 || byte >= 0xA0) return byte;
    return kWindows1252High[byte - 0x80];
}

Windows1252Decoder::Windows1252Decoder(bool clean) : clean_(clean) {}

std::string_view Windows1252Decoder::Decode(std::span<char> piece) {
    const auto& table = clean_ ? kWindows1252Cleaned : kWindows1252Raw;
    for (char& c : piece) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
    return {piece.data(), piece.size()};
}

std::string_view Windows1252Decoder::Finish() { return {}; }
bool Windows1252Decoder::CtrlZEndsText() const { return true; }
std::size_t Windows1252Decoder::DecodedSizeBound(std::size_t n) const { return n; }

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
    if (unit != 0) *out++ = static_cast<char>(kCp437ShownFromBmp[unit]);
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
            *out++ = static_cast<char>(kCp437ShownFromBmp[unit]);
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
