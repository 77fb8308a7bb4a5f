#pragma once
// The IBM PC (code page 437) shapes of the view's bytes, one UTF-16 unit per byte, so offsets,
// selections and line indexes are the same in the byte text and in its glyph text.
#include <string>
#include <string_view>

namespace core {

// 0x20-0x7E ASCII; 0x7F U+2302; 0x80-0xFF the PC glyphs (0xFF U+00A0); 0x01-0x1F the PC glyphs
// except TAB, LF and CR, which keep their meaning; 0x00 stays 0.
char16_t Cp437Glyph(unsigned char byte);

void AppendGlyphs(std::string_view bytes, std::u16string& out);
std::u16string ToGlyphs(std::string_view bytes);

}  // namespace core
