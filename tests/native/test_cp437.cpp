#include "core/cp437.hpp"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace std::string_literals;

TEST(Cp437, KnownGlyphs) {
    struct Case { unsigned char byte; char16_t glyph; } cases[] = {
        {0xC9, u'\u2554'}, {0xCD, u'\u2550'}, {0xBA, u'\u2551'}, {0xB0, u'\u2591'}, {0xB2, u'\u2593'},
        {0xDB, u'\u2588'}, {0xDC, u'\u2584'}, {0xDF, u'\u2580'}, {0x80, u'\u00C7'}, {0xE1, u'\u00DF'},
        {0x01, u'\u263A'}, {0x1A, u'\u2192'}, {0x1F, u'\u25BC'}, {0x7F, u'\u2302'}, {0xFF, u'\u00A0'},
        {0x00, u' '}, {0x09, u'\t'}, {0x0A, u'\n'}, {0x0D, u'\r'}, {0x20, u' '}, {0x41, u'A'}, {0x7E, u'~'},
    };
    for (const auto& c : cases) EXPECT_EQ(core::Cp437Glyph(c.byte), c.glyph) << int(c.byte);
}

// NUL shares the blank: the PC draws it so, and a U+0000 would end the glyph text for its readers.
TEST(Cp437, DistinctGlyphsButNulAndOnlyTabLfCrStayControls) {
    std::set<char16_t> seen;
    for (int b = 1; b < 256; ++b) {
        const char16_t g = core::Cp437Glyph(static_cast<unsigned char>(b));
        EXPECT_TRUE(seen.insert(g).second) << "byte " << b << " shares its glyph";
        if (b >= 0x20 && b < 0x7F) {
            EXPECT_EQ(g, char16_t(b));
        }
        if (g < 0x20) {
            EXPECT_TRUE(b == '\t' || b == '\n' || b == '\r') << b;
        }
    }
}

TEST(Cp437, ToGlyphsMapsEveryByteToOneUnit) {
    const std::string bytes = "\xC9\xCD\xBB\r\n\x00X"s;
    EXPECT_EQ(core::ToGlyphs(bytes), u"\u2554\u2550\u2557\r\n X");
    std::u16string out = u"ab";
    core::AppendGlyphs("\xB0", out);
    EXPECT_EQ(out, u"ab\u2591");
    EXPECT_TRUE(core::ToGlyphs("").empty());
}

// Find and the UTF-16 decoding go back from a character to the byte that draws it.
TEST(Cp437, InverseGivesEachGlyphItsByteAndNothingForTheRest) {
    for (int b = 1; b < 256; ++b)
        EXPECT_EQ(core::Cp437Byte(core::Cp437Glyph(static_cast<unsigned char>(b))), b) << b;
    EXPECT_EQ(core::Cp437Byte(core::Cp437Glyph(0)), ' ');  // the blank goes back to the blank byte
    struct Case { char32_t c; std::optional<unsigned char> byte; } cases[] = {
        {U'\u00E9', 0x82}, {U'\u00FC', 0x81}, {U'\u2550', 0xCD}, {U'\u00A0', 0xFF}, {U'?', '?'},
        {U'\x01', 0x01}, {U'\x1A', 0x1A}, {U'\x7F', 0x7F},  // controls and DEL as themselves
        {U'\u20AC', std::nullopt}, {U'\u02C8', std::nullopt}, {U'\xD800', std::nullopt},
        {U'\U0001F600', std::nullopt}, {U'\uFFFF', std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(core::Cp437Byte(c.c), c.byte) << std::hex << unsigned(c.c);
}

// The whole map written out row by row, as the PC's character chart shows it: the map's tables
// are checked against this one and not against themselves, so a swapped pair (0xB5 and 0xB6 look
// alike) is caught. The controls TAB, LF and CR keep their meaning, NUL is a blank.
TEST(Cp437, EveryByteHasTheGlyphOfThePcChart) {
    const std::u16string rows[16] = {
        u" ☺☻♥♦♣♠•◘\t\n♂♀\r♫☼", u"►◄↕‼¶§▬↨↑↓→←∟↔▲▼", u" !\"#$%&'()*+,-./", u"0123456789:;<=>?",
        u"@ABCDEFGHIJKLMNO",    u"PQRSTUVWXYZ[\\]^_", u"`abcdefghijklmno", u"pqrstuvwxyz{|}~⌂",
        u"ÇüéâäàåçêëèïîìÄÅ",    u"ÉæÆôöòûùÿÖÜ¢£¥₧ƒ", u"áíóúñÑªº¿⌐¬½¼¡«»", u"░▒▓│┤╡╢╖╕╣║╗╝╜╛┐",
        u"└┴┬├─┼╞╟╚╔╩╦╠═╬╧", u"╨╤╥╙╘╒╓╫╪┘┌█▄▌▐▀", u"αßΓπΣσµτΦΘΩδ∞φε∩", u"≡±≥≤⌠⌡÷≈°∙·√ⁿ²■\u00A0",
    };
    for (int row = 0; row < 16; ++row) {
        ASSERT_EQ(rows[row].size(), 16u) << row;
        for (int column = 0; column < 16; ++column) {
            const int byte = row * 16 + column;
            const char16_t glyph = rows[row][static_cast<std::size_t>(column)];
            EXPECT_EQ(core::Cp437Glyph(static_cast<unsigned char>(byte)), glyph) << std::hex << byte;
            if (byte != 0) {
                EXPECT_EQ(core::kCp437ShownFromBmp[glyph], byte) << std::hex << byte;
            }
        }
    }
}

// Characters the PC lacks show as one cell: a plain look-alike where the meaning survives, '?'
// otherwise; what it has is never replaced.
TEST(Cp437, LookAlikesTakeOneCellAndNeverReplaceAGlyph) {
    struct Case { char16_t c; unsigned char shown; } cases[] = {
        {u'“', '"'}, {u'”', '"'}, {u'„', '"'}, {u'‘', '\''}, {u'’', '\''}, {u'‚', '\''},
        {u'–', '-'}, {u'—', '-'}, {u'\u2212', '-'}, {u'\u2009', ' '}, {u'\u3000', ' '},
        {u'\u00A0', 0xFF}, {u'•', 0x07}, {u'é', 0x82}, {u'═', 0xCD},  // the PC's own
        {u'€', '?'}, {u'™', '?'}, {u'…', '?'}, {u'Š', '?'}, {u'\uFFFD', '?'}, {char16_t{0xD800}, '?'},
    };
    for (const auto& c : cases) EXPECT_EQ(core::kCp437ShownFromBmp[c.c], c.shown) << std::hex << unsigned(c.c);
    // The look-alikes are for finding nothing: Find's inverse keeps to the PC's glyphs.
    EXPECT_EQ(core::Cp437Byte(U'“'), std::nullopt);
    for (int b = 1; b < 256; ++b) {
        const char16_t glyph = core::Cp437Glyph(static_cast<unsigned char>(b));
        EXPECT_EQ(core::kCp437ShownFromBmp[glyph], core::kCp437FromBmp[glyph]) << b;
    }
}
