#include "core/text_load.hpp"

#include <gtest/gtest.h>

#include "core/cp437.hpp"

#include <span>
#include <string>
#include <vector>

using namespace std::string_literals;
using Lines = std::vector<std::string>;

namespace {

using core::TextEncoding;
constexpr TextEncoding kEightBit = TextEncoding::kEightBit;
constexpr TextEncoding kLittle = TextEncoding::kUtf16LittleEndian;
constexpr TextEncoding kBig = TextEncoding::kUtf16BigEndian;

// The line rules read literally, one byte at a time with a look at the next: a second,
// differently built reader to hold the streaming one against. Nothing after a Ctrl-Z counts, so
// the input is cut there first; what is left decides whether CR is a break (no LF in it at all).
Lines ReferenceLines(std::string_view s, bool ctrlZEnds) {
    if (ctrlZEnds) s = s.substr(0, s.find('\x1A'));
    const bool crBreaks = s.find('\n') == std::string_view::npos;
    Lines lines;
    std::size_t i = 0;
    while (i < s.size()) {
        std::string line;
        for (; i < s.size(); ++i) {
            const char c = s[i];
            if (c == '\n' || (c == '\r' && crBreaks)) { ++i; break; }
            if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') { i += 2; break; }
            if (c == '\r') continue;
            line += c;
        }
        lines.push_back(line);
    }
    return lines;
}

// UTF-16 decoded unit by unit through the glyph map's inverse, written from the rules.
std::string ReferenceDecode(std::string_view s, bool bigEndian) {
    std::string out;
    std::size_t i = 0;
    auto unitAt = [&](std::size_t at) {
        const auto a = static_cast<unsigned char>(s[at]), b = static_cast<unsigned char>(s[at + 1]);
        return static_cast<char16_t>(bigEndian ? a << 8 | b : b << 8 | a);
    };
    for (; i + 1 < s.size(); i += 2) {
        const char16_t unit = unitAt(i);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < s.size()) {
            const char16_t next = unitAt(i + 2);
            if (next >= 0xDC00 && next < 0xE000) i += 2;  // a pair: one character, outside code page 437
            out += '?';
        } else if (unit >= 0xD800 && unit < 0xE000) {
            out += '?';
        } else if (unit != 0) {
            out += static_cast<char>(core::Cp437Byte(unit).value_or('?'));
        }
    }
    if (i < s.size()) out += '?';
    return out;
}

Lines ExpectedLines(std::string_view s, TextEncoding encoding) {
    if (encoding == kEightBit) return ReferenceLines(s, true);
    return ReferenceLines(ReferenceDecode(s, encoding == kBig), false);
}

std::string Joined(const Lines& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

// The lines, fed in pieces cut at `cuts`; the view text built from the same pieces must be those
// lines each followed by CR LF, so both sinks are held to one reading.
Lines SplitInPieces(std::string_view s, TextEncoding encoding, std::vector<std::size_t> cuts) {
    core::LineCollector out;
    core::ViewTextBuilder text;
    core::TextReader reader(encoding, false), textReader(encoding, false);
    std::string bytes(s), textBytes(s);  // the readers may rewrite what they are given
    std::size_t from = 0;
    cuts.push_back(s.size());
    for (std::size_t cut : cuts) {
        reader.Feed(std::span(bytes).subspan(from, cut - from), out);
        textReader.Feed(std::span(textBytes).subspan(from, cut - from), text);
        from = cut;
    }
    reader.Finish(out);
    textReader.Finish(text);
    Lines lines = out.Take();
    EXPECT_EQ(text.Take(), Joined(lines)) << testing::PrintToString(s);
    return lines;
}

std::string Utf16(std::u16string_view text, bool bigEndian) {
    std::string bytes;
    for (char16_t c : text) {
        const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

}  // namespace

TEST(LineReader, SplitsByTheLoaderRules) {
    struct Case { std::string in; Lines out; } cases[] = {
        {"", {}},
        {"A\r\nB\r\n", {"A", "B"}},
        {"A\nB\n", {"A", "B"}},
        {"A\nB", {"A", "B"}},
        {"A\rB\r\n", {"AB"}},                  // with an LF in the file a CR alone is dropped
        {"A\r\r\nB", {"A", "B"}},             // ... and CR CR LF is one break
        {"A\n\rB", {"A", "B"}},                // LF CR: one break
        {"A\rB\rC\nD\rE", {"ABC", "DE"}},      // one LF, however late, decides for the whole file
        {"A\n\n", {"A", ""}},
        {"A\n\r", {"A", ""}},
        // No LF anywhere: a classic Mac file, each CR a break, a final CR no extra line.
        {"A\rB\r", {"A", "B"}},
        {"A\rB", {"A", "B"}},
        {"A\r\rB\r\r", {"A", "", "B", ""}},
        {"\r", {""}},                          // a lone CR opens a line either way
        {"\r\r", {"", ""}},
        {"A\rB\x1A\nC\r", {"A", "B"}},          // an LF after the Ctrl-Z is never read
        {"AB\x1A" "CD\r\nEF", {"AB"}},
        {"\x1A" "AB", {}},
        {"A\n\x1A" "B", {"A"}},
        {"A\r\x1A", {"A"}},
        {"\r\x1A", {""}},                      // a line in progress counts even when empty
        {"A\0B\n"s, {"A\0B"s}},
        {"\0\r\0"s, {"\0"s, "\0"s}},
        {"\t\x0C\x7F\xFF\n", {"\t\x0C\x7F\xFF"}},
        {std::string(100000, 'x') + "\r\n", {std::string(100000, 'x')}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(core::SplitLines(c.in, kEightBit), c.out) << testing::PrintToString(c.in);
        EXPECT_EQ(ReferenceLines(c.in, true), c.out) << testing::PrintToString(c.in);
    }
}

// Every character becomes the code page 437 byte that draws it, in either byte order.
TEST(LineReader, DecodesUtf16TextToCodePage437Bytes) {
    struct Case { std::u16string in; Lines out; } cases[] = {
        {u"A\r\nB\r\n", {"A", "B"}},                           // a final break adds no line in either order
        {u"A\rB\r\r\nC", {"AB", "C"}},
        {u"A\rB\r\u2550\r", {"A", "B", "\xCD"}},   // no LF: CR breaks here too
        {u"A\r\x1A\r", {"A", "\x1A"}},
        {u"[\u02C8ma\u02B3k\u028As ku\u02D0n]", {"[?ma?k?s ku?n]"}},  // what code page 437 lacks is a '?'
        {u"\u2554\u2550\u2557\u2551\u2591\u2588", {"\xC9\xCD\xBB\xBA\xB0\xDB"}},
        {u"Caf\u00E9 in M\u00FCnchen \u00A0\u2302\u263A", {"Caf\x82 in M\x81nchen \xFF\x7F\x01"}},
        {u"\tA\x01\x1A" u"B\x7F", {"\tA\x01\x1A" "B\x7F"}},    // controls as themselves; U+001A ends nothing
        {std::u16string(u"A\0B", 3), {"AB"}},                 // U+0000 is dropped
        {u"\U0001F600x", {"?x"}},                               // a pair is one character
        {u"\xD800" u"A\xDC00", {"?A?"}},                        // lone halves
        {u"A\xD83D", {"A?"}},                                  // a high half at the end
        {u"\x0A00\x000A" u"B", {"?", "B"}},                    // byte order decides, not byte values
    };
    for (const auto& c : cases) {
        for (bool big : {false, true}) {
            const std::string bytes = Utf16(c.in, big);
            EXPECT_EQ(core::SplitLines(bytes, big ? kBig : kLittle), c.out) << testing::PrintToString(bytes) << big;
        }
    }
    EXPECT_EQ(core::SplitLines("A\0B"s, kLittle), (Lines{"A?"}));  // a byte left over is a '?'
}

TEST(LineReader, EveryBytePairAcrossAFeedBoundaryMatchesOneFeed) {
    for (TextEncoding encoding : {kEightBit, kLittle, kBig}) {
        for (int a = 0; a < 256; ++a) {
            for (int b = 0; b < 256; ++b) {
                const std::string s = "x"s + char(a) + char(b) + "y";
                ASSERT_EQ(SplitInPieces(s, encoding, {2}), SplitInPieces(s, encoding, {}))
                    << a << ' ' << b << ' ' << int(encoding);
            }
        }
    }
}

TEST(LineReader, ShortSequencesOfSpecialBytesMatchTheRulesUnderAnySplit) {
    struct Alphabet { TextEncoding encoding; std::string bytes; } alphabets[] = {
        {kEightBit, "\r\n\x1A"s + '\0' + 'x'},
        {kLittle, "\r\n"s + '\0' + "\xD8\xDC\x25"},
        {kBig, "\r\n"s + '\0' + "\xD8\xDC\x25"},
    };
    for (const Alphabet& alphabet : alphabets) {
        const std::size_t k = alphabet.bytes.size();
        for (std::size_t len = 1; len <= 6; ++len) {
            std::size_t total = 1;
            for (std::size_t i = 0; i < len; ++i) total *= k;
            for (std::size_t code = 0; code < total; ++code) {
                std::string s;
                for (std::size_t i = 0, c = code; i < len; ++i, c /= k) s += alphabet.bytes[c % k];
                const Lines expected = ExpectedLines(s, alphabet.encoding);
                ASSERT_EQ(SplitInPieces(s, alphabet.encoding, {}), expected) << testing::PrintToString(s);
                std::vector<std::size_t> everyByte;
                for (std::size_t cut = 1; cut < len; ++cut) {
                    ASSERT_EQ(SplitInPieces(s, alphabet.encoding, {cut}), expected) << testing::PrintToString(s) << cut;
                    everyByte.push_back(cut);
                }
                ASSERT_EQ(SplitInPieces(s, alphabet.encoding, everyByte), expected) << testing::PrintToString(s);
            }
        }
    }
}

TEST(LineReader, CtrlZEndsTheInputForLaterFeeds) {
    core::ViewTextBuilder out;
    core::LineReader reader(true);
    EXPECT_TRUE(reader.Feed("AB", out));
    EXPECT_FALSE(reader.Feed("C\x1A" "D\n", out));
    EXPECT_TRUE(reader.Ended());
    EXPECT_FALSE(reader.Feed("E\n", out));
    reader.Finish(out);
    EXPECT_EQ(out.Text(), "ABC\r\n");
}

TEST(ViewText, EveryLineIsFollowedByCrLfAndNulIsAByteLikeAnyOther) {
    struct Case { Lines lines; std::string text; } cases[] = {
        {{}, ""},
        {{""}, "\r\n"},
        {{"A", "B"}, "A\r\nB\r\n"},
        {{"A\0B"s, "C", "", "\0"s}, "A\0B\r\nC\r\n\r\n\0\r\n"s},
    };
    for (const auto& c : cases) {
        core::ViewTextBuilder whole, pieces;
        for (const auto& line : c.lines) {
            whole.AddLine(line);
            pieces.BeginLine();
            for (char ch : line) pieces.AppendToLine(std::string_view(&ch, 1));
            pieces.EndLine();
        }
        EXPECT_EQ(whole.Text(), c.text) << testing::PrintToString(c.lines);
        EXPECT_EQ(pieces.Take(), c.text) << testing::PrintToString(c.lines);
    }
}

// A Mac file long enough to straddle many reads, and one whose single LF comes last.
TEST(ViewText, LongCrOnlyTextSplitsAcrossFeedsWithoutLosingABreak) {
    std::string mac;
    for (int i = 0; i < 5000; ++i) mac += std::string(static_cast<std::size_t>(i % 97), 'a' + i % 26) + "\r";
    std::string lfLast = mac + "\n";
    for (const std::string* file : {&mac, &lfLast}) {
        const Lines expected = ReferenceLines(*file, true);
        ASSERT_EQ(expected.size(), file == &mac ? 5000u : 1u);
        std::vector<std::size_t> cuts;
        for (std::size_t at = 4093; at < file->size(); at += 4093) cuts.push_back(at);
        EXPECT_EQ(SplitInPieces(*file, kEightBit, cuts), expected);
        EXPECT_EQ(core::BuildViewText(*file, false), Joined(expected));
    }
}

TEST(BuildViewText, AppliesMarkCleaningAndSplitting) {
    struct Case { std::string file; bool clean; std::string text; } cases[] = {
        {"", true, ""},
        {"\xFF\xFE", true, ""},
        {"\xFF\xFE" "A\0\r\0\n\0B\0\r\0\n\0"s, true, "A\r\nB\r\n"},
        {"\xFE\xFF" "\0A\0\r\0\n\0B\0\r\0\n"s, true, "A\r\nB\r\n"},
        {"\xFF\xFE\t\0A\0\x1A\0" "B\0"s, true, "\tA\x1A" "B\r\n"},  // marked files are never cleaned
        {"\xFE\xFF\x25\x50\x25\x51"s, true, "\xCD\xBA\r\n"},
        {"\xEF\xBB\xBFX", true, "X\r\n"},  // the UTF-8 mark is read, never shown
        {"A\tB\x0C\0\x1A\x7F\xB0\r\n"s, true, "A B   \x7F\xB0\r\n"},
        {"A\tB\x0C\0\x1A\x7F\xB0\r\n"s, false, "A\tB\x0C\0\r\n"s},  // not cleaned: the NUL stays, Ctrl-Z ends
        {"A\0B\r\nC"s, false, "A\0B\r\nC\r\n"s},
        {"A\rB\x0C\rC", true, "A\r\nB \r\nC\r\n"},  // a cleaned Mac file
        {"\xFF\xFE" "A\0\r\0B\0\r\0"s, true, "A\r\nB\r\n"},
        {"AB\x1A" "CD\r\nEF", false, "AB\r\n"},
        {"\r", true, "\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::BuildViewText(c.file, c.clean), c.text) << testing::PrintToString(c.file) << c.clean;
}

TEST(BuildViewText, CleaningInBlocksKeepsBreaksThatStraddleABlock) {
    std::string file;
    for (std::size_t i = 0; file.size() < 3 * core::kCopyBlock; ++i) file += char(i * 7 % 256);
    file.replace(core::kCopyBlock - 1, 2, "\r\n");
    file.replace(2 * core::kCopyBlock - 1, 1, "\r");
    std::string cleaned = file;
    core::CleanBlock(cleaned.data(), cleaned.size());
    EXPECT_EQ(core::BuildViewText(file, true), core::BuildViewText(cleaned, false));
}

TEST(Cleaning, BlanksControlBytesButLineBreaks) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += char(b);
    core::CleanBlock(all.data(), all.size());
    for (int b = 0; b < 256; ++b) {
        const char expected = (b < 0x20 && b != '\n' && b != '\r') ? ' ' : char(b);
        EXPECT_EQ(all[b], expected) << b;
    }
}

TEST(Cleaning, ThresholdIsASigned32BitSize) {
    EXPECT_TRUE(core::ShouldClean(4194304));
    EXPECT_FALSE(core::ShouldClean(4194305));
    EXPECT_TRUE(core::ShouldClean(-1));
    EXPECT_TRUE(core::ShouldClean(0));
}
