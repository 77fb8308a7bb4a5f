// UTF-8 and Windows-1252 into the view's code page 437 bytes: decoding over tables of real byte
// sequences, the rule that tells UTF-8 without a mark from 8-bit art, and the whole load.
#include "core/cp437.hpp"
#include "core/text_encoding.hpp"
#include "core/text_load.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

using core::EncodingChoice;
using core::TextEncoding;

std::string DecodeWhole(std::string bytes, TextEncoding encoding, bool clean = false) {
    auto decoder = core::MakeDecoder(encoding, clean);
    std::string out(decoder->Decode(bytes));
    out += decoder->Finish();
    return out;
}

// The same bytes cut into two pieces at `cut`.
std::string DecodeInTwo(const std::string& bytes, std::size_t cut, TextEncoding encoding) {
    auto decoder = core::MakeDecoder(encoding, false);
    std::string first = bytes.substr(0, cut), second = bytes.substr(cut);
    std::string out(decoder->Decode(first));
    out += decoder->Decode(second);
    out += decoder->Finish();
    return out;
}

// Code page 437 bytes as a Unicode editor saves them in UTF-8: each byte's glyph.
std::string AsUtf8(const std::string& cp437) {
    std::string out;
    for (unsigned char byte : cp437) {
        const char16_t c = core::Cp437Glyph(byte);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool LooksUtf8(std::string_view bytes) {
    core::Utf8Evidence evidence;
    evidence.Feed(bytes);
    return evidence.IsUtf8();
}

// A release NFO's frame, logo and prose in code page 437: box corners and lines, shades, blocks.
// (Its control bytes would differ on purpose: cleaned to blanks in the original, while the UTF-8
// copy spells their glyphs, which show.)
std::string BoxArtNfo() {
    std::string nfo;
    nfo += "\xC9" + std::string(60, '\xCD') + "\xBB\r\n";
    nfo += "\xBA \xDB\xDB\xDF\xDF\xDB\xDB \xB0\xB1\xB2 \xDC\xDC\xDC  M\x81nchen Caf\x82 \xF9 \xFE" + std::string(25, ' ') + "\xBA\r\n";
    nfo += "\xC7" + std::string(60, '\xC4') + "\xB6\r\n";
    nfo += "\xBA Released: 2026 \xB3 Size: 12 \xD7 15 MB \xB3 \xAF Enjoy \xAE" + std::string(12, ' ') + "\xBA\r\n";
    nfo += "\xC8" + std::string(60, '\xCD') + "\xBC\r\n";
    return nfo;
}

}  // namespace

// Every length, every way of being wrong: an invalid sequence is one '?' for its longest start
// that could have been valid, and the byte that broke it starts afresh.
TEST(Utf8Decoder, DecodesValidSequencesAndMarksEachBrokenOneOnce) {
    struct Case { std::string bytes; std::string shown; } cases[] = {
        {"ABC", "ABC"},
        {"\xC3\xA9", "\x82"},                       // é, two bytes
        {"\xE2\x95\x90\xE2\x94\x80", "\xCD\xC4"},   // ═ ─, three bytes
        {"\xF0\x9F\x98\x80", "?"},                  // an emoji, four bytes: no glyph
        {"\xE2\x80\x9CHi\xE2\x80\x9D", "\"Hi\""},   // look-alikes
        {"\xC2\xA0", "\xFF"},                       // the no-break space is the PC's own blank
        {"\xE2\x82\xAC", "?"},                      // € lacks a glyph
        {"\xC0\xAF", "??"},                         // overlong '/': C0 starts nothing
        {"\xE0\x80\xAF", "???"},                    // overlong three-byte form
        {"\xED\xA0\x80", "???"},                    // a surrogate
        {"\xF4\x90\x80\x80", "????"},               // past U+10FFFF
        {"\xF5\x80", "??"},
        {"\x80" "A", "?A"},                         // a lone continuation
        {"\xE2\x95" "A", "?A"},                     // cut by a plain character
        {"\xE2\x95\xE2\x95\x90", "?\xCD"},          // cut by the start of another
        {"\xE2\x95", "?"},                          // cut by the end
        {"\xF0\x9F\x98", "?"},
        {"\xFF\xFE", "??"},
        {"\xEF\xBF\xBD", "?"},                      // U+FFFD
        {"A\x00" "B"s, "A\x00" "B"s},               // not cleaned: NUL stays for the view's rule
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeWhole(c.bytes, TextEncoding::kUtf8), c.shown) << testing::PrintToString(c.bytes);
        for (std::size_t cut = 0; cut <= c.bytes.size(); ++cut)
            EXPECT_EQ(DecodeInTwo(c.bytes, cut, TextEncoding::kUtf8), c.shown) << testing::PrintToString(c.bytes) << cut;
    }
}

// Cleaned, a UTF-8 file's controls become blanks as an 8-bit file's do; glyphs drawn by low bytes
// (the arrow → is byte 0x1A) stay, and do not end the text as a Ctrl-Z would.
TEST(Utf8Decoder, CleaningBlanksControlsButKeepsTheGlyphsOfLowBytes) {
    EXPECT_EQ(DecodeWhole("a\tb\x07" "c\x1A" "d\r\n", TextEncoding::kUtf8, true), "a b c d\r\n");
    EXPECT_EQ(DecodeWhole("\xE2\x86\x92\xE2\x98\xBA\xE2\x80\xA2", TextEncoding::kUtf8, true), "\x1A\x01\x07");
    EXPECT_EQ(core::BuildViewText("\xE2\x86\x92 after", true, EncodingChoice::kUtf8), "\x1A after\r\n");
    EXPECT_EQ(core::BuildViewText("\xE2\x86\x92 after", false, EncodingChoice::kUtf8), "\x1A after\r\n");
}

// The rule, over real byte sequences: UTF-8 text of every kind is UTF-8; code page 437 art that
// happens to be valid UTF-8 is not; anything invalid anywhere is 8-bit.
TEST(Utf8Evidence, TellsUtf8TextFromArtThatHappensToBeValid) {
    struct Case { std::string bytes; bool utf8; } cases[] = {
        {"", false},
        {"plain ASCII text\r\n", false},                               // nothing to tell: 8-bit
        {"\xE2\x95\x94\xE2\x95\x90\xE2\x95\x97", true},                // ╔═╗
        {"\xE2\x80\x9Cquoted\xE2\x80\x9D", true},                      // typographic quotes
        {"M\xC3\xBCnchen", true},                                      // München
        {"\xC3\x89" "cole", true},                                     // École: the letter starts the word
        {"Copyright \xC2\xA9 2026", true},                             // a Latin-1 symbol between plain ones
        {"Gr\xC3\xB6\xC3\x9F" "e", true},
        {"Z\xC5\x82ote g\xC3\xB3ry", true},                             // Polish: Extended-A and Latin-1
        {"\xC4\xB3", false},                                           // C4 B3 is ─│ on the PC
        {"\xC4\xB3" "Name", false},                                    // ĳ beside a word: Extended-A alone
        {"\xC3\x84\xC3\x84", false},                                   // two letters with no word around
        {"\xC3\x84\xC3\x84" "c", true},
        {"\xC2\xB3\xC2\xB3", false},                                   // ┬│┬│
        {"\xCD\xBA", false},                                           // ═║ as U+037A, not a Latin letter
        {"\xEE\xB0\xB0", false},                                       // ε░░ as private use
        {"\xC9\xCD\xBB", false},                                       // ╔═╗ on the PC: invalid
        {"M\xC3\xBCnchen \xDB ", false},                               // one invalid byte anywhere
        {"M\xC3\xBCnchen \xDB", true},                                 // but a cut at the very end is allowed
        {"\xE2\x95\x90 ok \xC0\x80", false},                           // overlong NUL
        {"\xED\xA0\x80", false},                                       // surrogate
        {"\xE2\x95\x90\xE2\x95", true},                                // cut by the end of the sample
        {"\xE2\x95\x90\x1A\xFF\xFE", true},                            // a Ctrl-Z ends what is looked at
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LooksUtf8(c.bytes), c.utf8) << testing::PrintToString(c.bytes);
        // Pieces cut anywhere tell the same.
        for (std::size_t cut = 0; cut <= c.bytes.size(); ++cut) {
            core::Utf8Evidence evidence;
            evidence.Feed(std::string_view(c.bytes).substr(0, cut));
            evidence.Feed(std::string_view(c.bytes).substr(cut));
            EXPECT_EQ(evidence.IsUtf8(), c.utf8) << testing::PrintToString(c.bytes) << cut;
        }
    }
}

TEST(TextEncoding, MarksComeFirstAndChoicesSkipOnlyTheirOwnMark) {
    using core::DetectedEncoding;
    EXPECT_EQ(core::DetectEncoding("\xE2\x95\x90"), (DetectedEncoding{TextEncoding::kUtf8, 0}));
    struct Case { std::string head; EncodingChoice choice; DetectedEncoding detected; } cases[] = {
        {"\xEF\xBB\xBF" "A", EncodingChoice::kUtf8, {TextEncoding::kUtf8, 3}},
        {"A", EncodingChoice::kUtf8, {TextEncoding::kUtf8, 0}},
        {"\xFF\xFE" "A", EncodingChoice::kUtf8, {TextEncoding::kUtf8, 0}},
        {"\xEF\xBB\xBF" "A", EncodingChoice::kDos437, {TextEncoding::kEightBit, 0}},
        {"\xFF\xFE" "A", EncodingChoice::kUtf16LittleEndian, {TextEncoding::kUtf16LittleEndian, 2}},
        {"\xFE\xFF" "A", EncodingChoice::kUtf16LittleEndian, {TextEncoding::kUtf16LittleEndian, 0}},
        {"\xFE\xFF" "A", EncodingChoice::kUtf16BigEndian, {TextEncoding::kUtf16BigEndian, 2}},
        {"\xFF\xFE", EncodingChoice::kWindows1252, {TextEncoding::kWindows1252, 0}},
        {"\xFF\xFE", EncodingChoice::kAutomatic, {TextEncoding::kUtf16LittleEndian, 2}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::ChosenEncoding(c.head, c.choice), c.detected) << testing::PrintToString(c.head);
    // The panel is sized for the longest name: no name may be clipped.
    for (const DetectedEncoding e : {DetectedEncoding{TextEncoding::kEightBit, 0}, {TextEncoding::kUtf8, 3},
                                     {TextEncoding::kUtf16LittleEndian, 2}, {TextEncoding::kWindows1252, 0}})
        EXPECT_LE(core::EncodingName(e).size(), core::LongestEncodingName().size()) << core::EncodingName(e);
}

TEST(Windows1252Decoder, EachByteThroughItsCharacter) {
    EXPECT_EQ(DecodeWhole("caf\xE9 \x80 \x93" "a\x94 \x96 \x95 \x81 \xA0", TextEncoding::kWindows1252),
              "caf\x82 ? \"a\" - \x07 ? \xFF");
    // Cleaned, the control bytes are blanked before the lookup: the bullet stays a bullet.
    EXPECT_EQ(DecodeWhole("\x07\x95\t\x1A", TextEncoding::kWindows1252, true), " \x07  ");
    for (int b = 0; b < 256; ++b) {
        if (b < 0x80 || b >= 0xA0) { EXPECT_EQ(core::Windows1252Character(static_cast<unsigned char>(b)), char32_t(b)); }
    }
    EXPECT_EQ(core::Windows1252Character(0x80), U'€');
    EXPECT_EQ(core::Windows1252Character(0x9F), U'Ÿ');
}

// A UTF-8 NFO of box art shows the glyphs of its code page 437 original cell for cell, with and
// without its mark, and read in pieces of any size.
TEST(TextLoad, Utf8NfoShowsItsCp437OriginalCellForCell) {
    const std::string original = BoxArtNfo();
    const std::string expected = core::BuildViewText(original, true);
    for (const std::string& utf8 : {AsUtf8(original), "\xEF\xBB\xBF" + AsUtf8(original)}) {
        for (std::size_t chunk : {std::size_t{1}, std::size_t{2}, std::size_t{7}}) {
            core::MemorySource source(utf8, chunk);
            core::TextLoad load(source, core::LoadOptionsFor(true));
            EXPECT_EQ(load.Encoding().encoding, TextEncoding::kUtf8);
            EXPECT_FALSE(load.MakesCleanedCopy());
            EXPECT_EQ(*load.Run(), expected) << chunk;
        }
    }
}

// A cleaned file is decided on whole: a UTF-8 character far past the first block counts, and so
// does an invalid byte there (plain text before it is the same text either way, so it is read on
// as 8-bit until then). A larger file is decided on its start, and a later invalid
// sequence shows '?' for its bytes.
TEST(TextLoad, CleanedFileIsDecidedWholeALargerOneOnItsStart) {
    const std::string ascii(3 * core::kCopyBlock + 100, 'a');
    struct Case { std::string file; TextEncoding encoding; std::string text; } cases[] = {
        {ascii + "\xE2\x95\x90", TextEncoding::kUtf8, ascii + "\xCD\r\n"},
        {ascii + "\xE2\x95\x90 \xDB\xDB", TextEncoding::kEightBit, ascii + "\xE2\x95\x90 \xDB\xDB\r\n"},
        {"\xE2\x95\x90" + ascii + "\xDB\xDB", TextEncoding::kEightBit, "\xE2\x95\x90" + ascii + "\xDB\xDB\r\n"},
        {ascii, TextEncoding::kEightBit, ascii + "\r\n"},
        {ascii.substr(0, core::kCopyBlock - 1) + "\xE2\x95\x90" + ascii, TextEncoding::kUtf8,
         ascii.substr(0, core::kCopyBlock - 1) + "\xCD" + ascii + "\r\n"},  // cut by the first block's end
        {ascii + "\x1A\xE2\x95\x90", TextEncoding::kEightBit, ascii + " \xE2\x95\x90\r\n"},  // after the DOS end
    };
    for (const auto& c : cases) {
        core::MemorySource source(c.file, 4093);
        core::TextLoad load(source, core::LoadOptionsFor(true));
        EXPECT_TRUE(*load.Run() == c.text);
        EXPECT_EQ(load.Encoding().encoding, c.encoding);
        EXPECT_EQ(load.MakesCleanedCopy(), c.encoding == TextEncoding::kEightBit);
    }
    const std::string large = "\xE2\x95\x90" + std::string(core::kUtf8SampleSize, 'a') + "\xDB\xC4" + "\xE2\x95";
    core::MemorySource source(large);
    core::TextLoad load(source, core::LoadOptionsFor(false));
    EXPECT_EQ(load.Encoding().encoding, TextEncoding::kUtf8);
    EXPECT_EQ(*load.Run(), "\xCD" + std::string(core::kUtf8SampleSize, 'a') + "???\r\n");
}
