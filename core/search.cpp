#include "core/search.hpp"

#include "core/cp437.hpp"

#include <cstring>

namespace core {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

char OtherCase(char folded) {
    return (folded >= 'A' && folded <= 'Z') ? static_cast<char>(folded - 'A' + 'a') : folded;
}

// Where the search starts, or nullopt when the selection reaches or passes the end of the text.
std::optional<std::size_t> SearchStart(std::size_t length, std::size_t selStart, std::size_t selLength) {
    if (selStart >= length || selLength >= length - selStart) return std::nullopt;
    return selStart + selLength;
}

bool MatchesRestAt(std::string_view text, std::size_t at, std::string_view find) {
    for (std::size_t i = 1; i < find.size(); ++i)
        if (FoldAscii(text[at + i]) != FoldAscii(find[i])) return false;
    return true;
}

// Offset of the first c in text[from, end), kNone when there is none.
std::size_t FindByte(std::string_view text, std::size_t from, std::size_t end, char c) {
    if (from >= end) return kNone;
    const void* hit = std::memchr(text.data() + from, c, end - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : kNone;
}

// Walks the places where the first byte of the find text can match, in either letter case,
// letting memchr do the scanning. Each case keeps its next hit, so neither scans a stretch twice.
class FirstByteCandidates {
public:
    FirstByteCandidates(std::string_view text, std::size_t from, std::size_t end, char first)
        : text_(text), end_(end), upper_(FoldAscii(first)), lower_(OtherCase(upper_)) {
        nextUpper_ = FindByte(text_, from, end_, upper_);
        nextLower_ = (lower_ == upper_) ? kNone : FindByte(text_, from, end_, lower_);
    }

    // The next candidate offset, kNone when none is left; each call moves past the one returned.
    std::size_t Next() {
        const std::size_t at = nextUpper_ < nextLower_ ? nextUpper_ : nextLower_;
        if (at == kNone) return kNone;
        if (at == nextUpper_) nextUpper_ = FindByte(text_, at + 1, end_, upper_);
        if (at == nextLower_) nextLower_ = FindByte(text_, at + 1, end_, lower_);
        return at;
    }

private:
    std::string_view text_;
    std::size_t end_;
    char upper_;
    char lower_;
    std::size_t nextUpper_ = kNone;
    std::size_t nextLower_ = kNone;
};

}  // namespace

std::optional<std::string> Cp437FindText(std::u16string_view typed) {
    std::string bytes;
    bytes.reserve(typed.size());
    for (char16_t c : typed) {
        // A surrogate is half of a character beyond the BMP, which code page 437 never draws.
        const auto byte = (c >= 0xD800 && c < 0xE000) ? std::nullopt : Cp437Byte(c);
        if (!byte) return std::nullopt;
        bytes.push_back(static_cast<char>(*byte));
    }
    return bytes;
}

std::optional<std::size_t> FindNext(std::string_view text, std::size_t selStart, std::size_t selLength,
                                    std::string_view find) {
    const auto start = SearchStart(text.size(), selStart, selLength);
    if (!start || find.empty() || find.size() > text.size() - *start) return std::nullopt;

    // A match must start no later than text.size() - find.size().
    const std::size_t candidateEnd = text.size() - find.size() + 1;
    FirstByteCandidates candidates(text, *start, candidateEnd, find.front());
    for (std::size_t at = candidates.Next(); at != kNone; at = candidates.Next())
        if (MatchesRestAt(text, at, find)) return at;
    return std::nullopt;
}

}  // namespace core
