#include "core/cp437.hpp"

#include <algorithm>
#include <array>

namespace core {
namespace {

// Control bytes 0x00-0x1F as the PC draws them; TAB, LF and CR keep their own values because the
// glyph text (edit messages, the clipboard) needs them as text, not as pictures. NUL draws as a
// blank on the PC, and a blank is what it must be in the glyph text too: a U+0000 there would end
// the text for whoever reads it as a string (a paste, WM_GETTEXT).
constexpr std::array<char16_t, 32> kLow = {
    0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,
    0x25D8, 0x0009, 0x000A, 0x2642, 0x2640, 0x000D, 0x266B, 0x263C,
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,
};

constexpr std::array<char16_t, 128> kHigh = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 80
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,  // 90
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A0
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // B0
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // C0
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // D0
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,  // E0
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,  // F0
};

constexpr std::array<char16_t, 256> MakeTable() {
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 0x20; ++b) table[b] = kLow[b];
    for (int b = 0x20; b < 0x7F; ++b) table[b] = static_cast<char16_t>(b);
    table[0x7F] = 0x2302;
    for (int b = 0x80; b < 0x100; ++b) table[b] = kHigh[b - 0x80];
    return table;
}

constexpr std::array<char16_t, 256> kGlyphs = MakeTable();

constexpr std::array<unsigned char, 0x10000> MakeInverse() {
    std::array<unsigned char, 0x10000> table{};
    for (auto& b : table) b = '?';
    for (int c = 0; c < 0x80; ++c) table[c] = static_cast<unsigned char>(c);
    for (int b = 0x01; b < 0x20; ++b)
        if (kLow[b] >= 0x80) table[kLow[b]] = static_cast<unsigned char>(b);
    table[0x2302] = 0x7F;
    for (int b = 0x80; b < 0x100; ++b) table[kHigh[b - 0x80]] = static_cast<unsigned char>(b);
    return table;
}

struct LookAlike {
    char16_t character;
    unsigned char shown;
};

// Characters whose meaning survives as a plain one: what editors and web pages put in for the
// typewriter's quotes, hyphen and blank.
constexpr LookAlike kLookAlikes[] = {
    {0x201C, '"'}, {0x201D, '"'}, {0x201E, '"'}, {0x201F, '"'}, {0x2033, '"'}, {0x00A8, '"'},
    {0x2018, '\''}, {0x2019, '\''}, {0x201A, '\''}, {0x201B, '\''}, {0x2032, '\''}, {0x00B4, '\''},
    {0x2010, '-'}, {0x2011, '-'}, {0x2012, '-'}, {0x2013, '-'}, {0x2014, '-'}, {0x2015, '-'}, {0x2212, '-'},
    {0x00AD, '-'}, {0x2043, '-'},
    {0x2039, '<'}, {0x203A, '>'}, {0x02C6, '^'}, {0x02DC, '~'}, {0x00D7, 'x'}, {0x2044, '/'},
    {0x2002, ' '}, {0x2003, ' '}, {0x2004, ' '}, {0x2005, ' '}, {0x2006, ' '}, {0x2007, ' '},
    {0x2008, ' '}, {0x2009, ' '}, {0x200A, ' '}, {0x202F, ' '}, {0x205F, ' '}, {0x3000, ' '},
};

constexpr std::array<unsigned char, 0x10000> MakeShown() {
    std::array<unsigned char, 0x10000> table = MakeInverse();
    for (const LookAlike& look : kLookAlikes)
        if (table[look.character] == '?') table[look.character] = look.shown;
    return table;
}

constexpr std::size_t kChunk = 2048;

}  // namespace

constexpr std::array<unsigned char, 0x10000> kCp437FromBmp = MakeInverse();
constexpr std::array<unsigned char, 0x10000> kCp437ShownFromBmp = MakeShown();

char16_t Cp437Glyph(unsigned char byte) { return kGlyphs[byte]; }

std::optional<unsigned char> Cp437Byte(char32_t c) {
    if (c >= kCp437FromBmp.size()) return std::nullopt;
    const unsigned char byte = kCp437FromBmp[c];
    if (byte == '?' && c != U'?') return std::nullopt;
    return byte;
}

void AppendGlyphs(std::string_view bytes, std::u16string& out) {
    // Through a small buffer rather than resize-then-fill: a resize would zero the whole
    // (for a 16 MiB file, 32 MiB) result before it is written.
    out.reserve(out.size() + bytes.size());
    char16_t chunk[kChunk];
    for (std::size_t from = 0; from < bytes.size(); from += kChunk) {
        const std::size_t n = std::min(kChunk, bytes.size() - from);
        for (std::size_t i = 0; i < n; ++i) chunk[i] = kGlyphs[static_cast<unsigned char>(bytes[from + i])];
        out.append(chunk, n);
    }
}

std::u16string ToGlyphs(std::string_view bytes) {
    std::u16string out;
    AppendGlyphs(bytes, out);
    return out;
}

}  // namespace core
