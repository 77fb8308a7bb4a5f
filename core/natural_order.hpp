#pragma once
// File names in the order Explorer lists them: a run of digits counts as the number it spells
// ("file2" before "file10"), and letters are compared without their case, accented and Greek and
// Cyrillic ones too. Names are UTF-8; a byte that starts no valid sequence counts as itself.
#include <string_view>

namespace core {

// Negative, zero or positive as `a` stands before, with or after `b`. Zero only for names that
// differ in nothing but letter case and leading zeros: the same name to a case-blind file system.
int NaturalCompare(std::string_view a, std::string_view b);

// A strict order for sorting: NaturalCompare, then the bytes, so no two different names tie.
bool NaturalLess(std::string_view a, std::string_view b);

}  // namespace core
