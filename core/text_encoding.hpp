#pragma once
// Which encoding a file is in, and the decoders that turn its bytes into the view's bytes: code
// page 437, one byte per character, so the view draws every character of the file in its DOS
// shape. An encoding is four things here: an enumerator, a rule in DetectEncoding or a choice in
// ChosenEncoding, the name EncodingName shows, and a decoder that MakeDecoder returns for it.
// Nothing outside this unit needs to know more.
#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace core {

// kEightBit is code page 437, the bytes as they are.
enum class TextEncoding { kEightBit, kUtf16LittleEndian, kUtf16BigEndian, kUtf8, kWindows1252 };

struct DetectedEncoding {
    TextEncoding encoding = TextEncoding::kEightBit;
    std::size_t markLength = 0;  // the byte-order mark in front of the text: read, never shown
    bool operator==(const DetectedEncoding&) const = default;
};

// What the user asked the file to be read as; Automatic lets the bytes decide.
enum class EncodingChoice { kAutomatic, kDos437, kUtf8, kUtf16LittleEndian, kUtf16BigEndian, kWindows1252 };

// The status bar's name of what is shown: "DOS 437", "UTF-8", "UTF-8 mark", "UTF-16 LE",
// "UTF-16 BE", "Windows-1252".
std::string_view EncodingName(const DetectedEncoding& encoding);
// The longest of those names, for the panel's width.
std::string_view LongestEncodingName();

// Automatic reading needs at most this much of a larger file; a file the loader cleans is
// looked at whole.
constexpr std::size_t kUtf8SampleSize = 65536;

// Whether text without a mark is UTF-8, told from the bytes fed to it in order (pieces cut
// anywhere). It must be valid UTF-8 throughout (no overlong forms, no surrogates, nothing past
// U+10FFFF, at most one sequence cut by the end of the sample) and carry evidence: a character of
// three or four bytes (box drawing, blocks, typographic punctuation) that is not private use, or
// two-byte letters and symbols where text has them: Latin letters within words, Latin-1 symbols
// between plain characters. Code page 437 art that happens to be valid UTF-8 (C4 B3, `─│`, is
// `ĳ`) has neither. The DOS end-of-file mark (Ctrl-Z) ends the sample: what follows it is a
// binary record.
class Utf8Evidence {
public:
    // False once the answer is known to be no: nothing more need be fed.
    bool Feed(std::string_view bytes);
    bool Decided() const { return invalid_ || ended_; }
    bool IsUtf8() const;
    // Nothing but plain characters (below 0x80) so far: read either way they are the same text.
    bool PlainSoFar() const { return plain_; }

private:
    void Character(char32_t c, int length);
    void Settle(bool nextIsLetter, bool nextIsPlain);
    void Count(bool latin1);

    bool invalid_ = false;
    bool plain_ = true;
    bool ended_ = false;  // a Ctrl-Z was met
    int need_ = 0;        // continuation bytes still due
    char32_t code_ = 0;
    unsigned char low_ = 0x80, high_ = 0xBF;
    int length_ = 0;
    bool previousLetter_ = false;   // the last character was a letter (ASCII or counted)
    bool previousPlain_ = true;     // the last character was ASCII (or the text's start)
    int waiting_ = 0;               // 1: a letter, 2: a symbol waiting for its right neighbour
    bool waitingLatin1_ = false;
    std::size_t wide_ = 0;          // characters of three or four bytes
    std::size_t twoByte_ = 0;
    std::size_t counted_ = 0;       // two-byte characters standing where text has them
    std::size_t countedLatin1_ = 0;
};

// The mark at the start of a file: FF FE is UTF-16 little endian and FE FF big endian, each
// behind its two-byte mark; EF BB BF is UTF-8 behind its three-byte mark.
std::optional<DetectedEncoding> MarkedEncoding(std::string_view head);
// Decides from the start of a file: its mark, else UTF-8 when Utf8Evidence says so over `head`
// (the loader passes the whole file when it cleans it, else its first kUtf8SampleSize bytes),
// else 8-bit.
DetectedEncoding DetectEncoding(std::string_view head);
// A choice other than Automatic is taken as it is, only its own mark skipped.
DetectedEncoding ChosenEncoding(std::string_view head, EncodingChoice choice);

// File bytes in, view bytes out, piece by piece: a character cut between two pieces comes out
// whole, so where the pieces are cut never changes the result.
class TextDecoder {
public:
    virtual ~TextDecoder() = default;
    // The view bytes of the next piece: the piece itself, rewritten in place where a decoder
    // needs no more room than the file bytes (8-bit text), or the decoder's own buffer; valid
    // until the next call.
    virtual std::string_view Decode(std::span<char> piece) = 0;
    // The end of the input: what a character cut by it left over.
    virtual std::string_view Finish() = 0;
    // Whether Ctrl-Z (0x1A) among the decoded bytes ends the text: the DOS end-of-file mark, which
    // only 8-bit files carry. In Unicode text U+001A is a character like any other, and ending
    // there would silently drop the rest of the file.
    virtual bool CtrlZEndsText() const = 0;
    // At least the decoded size of n file bytes, for reserving the view text's room.
    virtual std::size_t DecodedSizeBound(std::size_t n) const = 0;
};

// A decoder's output where it needs room of its own: grown to the largest piece, never shrunk,
// so a load of many blocks allocates once; not cleared, since every byte handed out is written.
class DecodeBuffer {
public:
    char* Room(std::size_t n);

private:
    std::unique_ptr<char[]> bytes_;
    std::size_t size_ = 0;
};

// 8-bit text: each byte as it is; with `clean`, every byte below 0x20 but LF and CR becomes a
// blank, in place. Decode returns the piece itself, so no byte of an 8-bit file is ever copied
// for decoding.
class EightBitDecoder final : public TextDecoder {
public:
    explicit EightBitDecoder(bool clean);
    std::string_view Decode(std::span<char> piece) override;
    std::string_view Finish() override;
    bool CtrlZEndsText() const override;
    std::size_t DecodedSizeBound(std::size_t n) const override;

private:
    bool clean_;
};

// UTF-16: each character becomes the code page 437 byte that draws it (box drawing, blocks,
// accented letters, the PC symbols; U+0000-U+007F as themselves), its look-alike, or '?'. A surrogate pair is one character; a lone surrogate, or a byte left over at the end, is
// one '?'. U+0000 is dropped, as the zero bytes of such files always were.
class Utf16Decoder final : public TextDecoder {
public:
    explicit Utf16Decoder(bool bigEndian);
    std::string_view Decode(std::span<char> piece) override;
    std::string_view Finish() override;
    bool CtrlZEndsText() const override;
    std::size_t DecodedSizeBound(std::size_t n) const override;

private:
    char* Put(char16_t unit, char* out);

    bool bigEndian_;
    int pendingByte_ = -1;      // first byte of a unit split across pieces
    char16_t pendingHigh_ = 0;  // a high surrogate waiting for its low half
    DecodeBuffer buffer_;
};

// UTF-8: each character becomes the code page 437 byte that draws it, or its look-alike, or '?';
// an invalid sequence (its longest start that could have been valid) is one '?', and so is a
// sequence cut by the end. With `clean`, control characters (U+0000-U+001F but LF and CR) become
// blanks, as the bytes of an 8-bit file do: UTF-8 files are DOS files converted.
class Utf8Decoder final : public TextDecoder {
public:
    explicit Utf8Decoder(bool clean);
    std::string_view Decode(std::span<char> piece) override;
    std::string_view Finish() override;
    bool CtrlZEndsText() const override;
    std::size_t DecodedSizeBound(std::size_t n) const override;

private:
    char* Put(unsigned char byte, char* out);
    char* Emit(char32_t c, char* out);

    bool clean_;
    int need_ = 0;
    char32_t code_ = 0;
    unsigned char low_ = 0x80, high_ = 0xBF;
    DecodeBuffer buffer_;
};

// Windows-1252: each byte through its character into code page 437 (with the look-alikes), in
// place; cleaned as an 8-bit file is.
class Windows1252Decoder final : public TextDecoder {
public:
    explicit Windows1252Decoder(bool clean);
    std::string_view Decode(std::span<char> piece) override;
    std::string_view Finish() override;
    bool CtrlZEndsText() const override;
    std::size_t DecodedSizeBound(std::size_t n) const override;

private:
    bool clean_;
};

// The character Windows-1252 gives a byte; U+FFFD for its five unassigned bytes.
char32_t Windows1252Character(unsigned char byte);

// The cleaning rule of 8-bit files, in place: every byte below 0x20 other than LF (0x0A) and CR
// (0x0D) becomes a blank; 0x7F and 0x80-0xFF stay.
void CleanBlock(char* data, std::size_t n);

// The decoder of an encoding. UTF-16 is never cleaned: it has no stray control bytes to blank,
// only characters. The others are DOS files in another spelling and are cleaned alike.
std::unique_ptr<TextDecoder> MakeDecoder(TextEncoding encoding, bool clean);

}  // namespace core
