#include "core/ini_integer.hpp"

namespace core {

namespace {

constexpr std::uint64_t kLargestMagnitude = 0x80000000u;  // |INT32_MIN|
constexpr std::uint64_t kLargestPattern = 0xFFFFFFFFu;

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Removes a hex prefix from the front of text; false when there is none. Turning a leading
// "0x" into "$" first, as the settings file was always read, changes nothing: both are
// prefixes here, and a bare "0x" has no digits either way.
bool TakeHexPrefix(std::string_view& text) {
    if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X')) {
        text.remove_prefix(1);
        return true;
    }
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        return true;
    }
    return false;
}

// Digits of the given base running to the end, at most `limit`; nullopt otherwise.
std::optional<std::uint64_t> ParseDigits(std::string_view digits, int base, std::uint64_t limit) {
    if (digits.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        const int digit = base == 16 ? HexDigitValue(c) : (IsDecimalDigit(c) ? c - '0' : -1);
        if (digit < 0) return std::nullopt;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (value > limit) return std::nullopt;  // leading zeros never trip this
    }
    return value;
}

std::int32_t FromBitPattern(std::uint32_t bits) {
    return static_cast<std::int32_t>(bits);  // two's complement, defined since C++20
}

}  // namespace

std::optional<std::int32_t> ParseIniInteger(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (TakeHexPrefix(text)) {
        const auto bits = ParseDigits(text, 16, kLargestPattern);
        if (!bits) return std::nullopt;
        const auto pattern = static_cast<std::uint32_t>(*bits);
        return FromBitPattern(negative ? 0u - pattern : pattern);
    }
    const auto magnitude = ParseDigits(text, 10, negative ? kLargestMagnitude : kLargestMagnitude - 1);
    if (!magnitude) return std::nullopt;
    const auto pattern = static_cast<std::uint32_t>(*magnitude);
    return FromBitPattern(negative ? 0u - pattern : pattern);
}

std::int32_t IniIntegerOr(std::string_view text, std::int32_t fallback) {
    return ParseIniInteger(text).value_or(fallback);
}

}  // namespace core
