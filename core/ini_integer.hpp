#pragma once
// Integers as they are written in the old INI settings file: decimal, or hexadecimal after
// "$", "x", "X", "0x" or "0X", with an optional sign.
#include <cstdint>
#include <optional>
#include <string_view>

namespace core {

// Leading spaces, at most one sign, then decimal digits or a hex prefix and hex digits running
// to the end. Decimal must lie in the 32-bit signed range; hex must fit in 32 bits and is taken
// as a bit pattern ("$FFFFFFFF" is -1), negated after "-". nullopt for anything else.
std::optional<std::int32_t> ParseIniInteger(std::string_view text);

// ParseIniInteger, or the fallback when the text is not such an integer.
std::int32_t IniIntegerOr(std::string_view text, std::int32_t fallback);

}  // namespace core
