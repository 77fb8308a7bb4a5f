#include "core/natural_order.hpp"

#include <cstddef>
#include <cstdint>

namespace core {
namespace {

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// One code point from the front of `text`, which it leaves after it. Broken and overlong forms
// give the lone byte, so every name has an order and nothing reads past its end.
char32_t TakeCodePoint(std::string_view& text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
    char32_t value = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
    bool valid = length != 0 && length <= text.size();
    for (std::size_t i = 1; valid && i < length; ++i) {
        valid = (byte(i) & 0xC0) == 0x80;
        value = (value << 6) | (byte(i) & 0x3F);
    }
    static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (!valid || value < kLeast[length] || value > 0x10FFFF) {
        text.remove_prefix(1);
        return lead;
    }
    text.remove_prefix(length);
    return value;
}

// Case folded the way names are compared: the capitals of Latin (basic, Latin-1 and Extended-A),
// Greek and Cyrillic become their small letters.
char32_t Folded(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 0x20;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F) {
        // Extended-A pairs capital and small letter as even and odd, except in 0x139-0x148 and
        // 0x179-0x17E, where the capital is the odd one.
        const bool oddCapitals = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        const bool capital = oddCapitals ? (c & 1) != 0 : (c & 1) == 0;
        return capital ? c + 1 : c;
    }
    if (c == 0x178) return 0xFF;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    return c;
}

// A run of digits as its number: its significant digits, compared by count and then one by one,
// so a number of any length compares right.
struct Number {
    std::string_view digits;  // without leading zeros
};

Number TakeNumber(std::string_view& text) {
    std::size_t end = 0;
    while (end < text.size() && IsDigit(static_cast<unsigned char>(text[end]))) ++end;
    std::string_view run = text.substr(0, end);
    text.remove_prefix(end);
    while (!run.empty() && run.front() == '0') run.remove_prefix(1);
    return Number{run};
}

int Compare(const Number& a, const Number& b) {
    if (a.digits.size() != b.digits.size()) return a.digits.size() < b.digits.size() ? -1 : 1;
    const int order = a.digits.compare(b.digits);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

}  // namespace

int NaturalCompare(std::string_view a, std::string_view b) {
    while (!a.empty() && !b.empty()) {
        const bool digitA = IsDigit(static_cast<unsigned char>(a.front()));
        const bool digitB = IsDigit(static_cast<unsigned char>(b.front()));
        if (digitA && digitB) {
            if (const int order = Compare(TakeNumber(a), TakeNumber(b))) return order;
            continue;
        }
        const char32_t ca = Folded(TakeCodePoint(a));
        const char32_t cb = Folded(TakeCodePoint(b));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.empty() != b.empty()) return a.empty() ? -1 : 1;
    return 0;
}

bool NaturalLess(std::string_view a, std::string_view b) {
    if (const int order = NaturalCompare(a, b)) return order < 0;
    return a < b;
}

}  // namespace core
