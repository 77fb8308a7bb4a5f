#pragma once
// The find dialog's search on the text view's bytes.
//
// The search looks at the text after the selection only (from selStart + selLength to the end),
// never wraps, and ignores case for the 26 ASCII letters alone: no locale, and bytes from 128 up
// match only themselves, because the text is DOS code-page art whose upper half is not letters
// in the window's code page.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace core {

// Absolute offset in text of the leftmost match of find after the selection; nullopt when find is
// empty, longer than what follows the selection, or the selection reaches (or lies beyond) the
// end of the text.
// The bytes to look for when the user types `typed`: each character as the code page 437 byte that
// the view draws it with (so "M\u00FCnchen" finds the bytes M 0x81 n c h e n); nullopt when a
// character has no such byte, since nothing shown can match it.
std::optional<std::string> Cp437FindText(std::u16string_view typed);

std::optional<std::size_t> FindNext(std::string_view text, std::size_t selStart, std::size_t selLength,
                                    std::string_view find);

}  // namespace core
