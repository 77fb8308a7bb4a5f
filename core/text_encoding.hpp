#pragma once
// Which encoding a file is in, and the decoders that turn its bytes into the view's bytes: code
// page 437, one byte per character, so the view draws every character of the file in its DOS
// shape. An encoding is three things here: an enumerator, a rule in DetectEncoding, and a decoder
// that MakeDecoder returns for it. Nothing outside this unit needs to know more.
#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace core {

enum class TextEncoding { kEightBit, kUtf16LittleEndian, kUtf16BigEndian };

struct DetectedEncoding {
    TextEncoding encoding = TextEncoding::kEightBit;
    std::size_t markLength = 0;  // the byte-order mark in front of the text: read, never shown
    bool operator==(const DetectedEncoding&) const = default;
};

// Decides from the first bytes of a file: the loader passes its first block, or the whole file
// when it is shorter. FF FE is UTF-16 little endian and FE FF big endian, each behind its
// two-byte mark; anything else is 8-bit, the UTF-8 mark EF BB BF included (three characters of
// the first line, as in every DOS viewer).
DetectedEncoding DetectEncoding(std::string_view head);

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
// accented letters, the PC symbols; U+0000-U+007F as themselves) or '?' when code page 437 has
// none. A surrogate pair is one character; a lone surrogate, or a byte left over at the end, is
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

// The cleaning rule of 8-bit files, in place: every byte below 0x20 other than LF (0x0A) and CR
// (0x0D) becomes a blank; 0x7F and 0x80-0xFF stay.
void CleanBlock(char* data, std::size_t n);

// The decoder of an encoding. Only 8-bit text is ever cleaned: a Unicode file has no stray
// control bytes to blank, only characters.
std::unique_ptr<TextDecoder> MakeDecoder(TextEncoding encoding, bool clean);

}  // namespace core
