#pragma once
// The IBM PC (code page 437) shapes of the view's bytes, one UTF-16 unit per byte, so offsets,
// selections and line indexes are the same in the byte text and in its glyph text.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace core {

// 0x20-0x7E ASCII; 0x7F U+2302; 0x80-0xFF the PC glyphs (0xFF U+00A0); 0x01-0x1F the PC glyphs
// except TAB, LF and CR, which keep their meaning; 0x00 a blank (U+0020), so the glyph text never
// holds a NUL. Every other byte has a glyph of its own.
char16_t Cp437Glyph(unsigned char byte);

void AppendGlyphs(std::string_view bytes, std::u16string& out);
std::u16string ToGlyphs(std::string_view bytes);

// The inverse of the glyph map over the Basic Multilingual Plane: the byte whose glyph is the
// character (U+0000-U+007F map to themselves, so TAB, LF, CR and the other controls keep their
// bytes), '?' for every character code page 437 does not draw.
extern const std::array<unsigned char, 0x10000> kCp437FromBmp;

// What a decoded text shows for each character of the Basic Multilingual Plane: the glyph map's
// inverse, and for characters code page 437 lacks an obvious one-cell look-alike (typographic
// quotes, dashes, spaces of other widths) where there is one, else '?'. Never more than one cell
// per character, so the art's columns stay.
extern const std::array<unsigned char, 0x10000> kCp437ShownFromBmp;

// The code page 437 byte drawn as c; nullopt when code page 437 has no such glyph.
std::optional<unsigned char> Cp437Byte(char32_t c);

}  // namespace core
