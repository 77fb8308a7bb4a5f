#pragma once
// From file bytes to the view's byte text: cleaning, the UTF-16 mark and decoding, line splitting
// and the view text. Everything streams, so a 16 MiB file never exists as a list of line strings
// next to its view text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace core {

constexpr std::int32_t kCleanThreshold = 4194304;  // files of at most this size (signed compare) are cleaned
constexpr std::size_t kCopyBlock = 65536;

// The size is the signed probe result, so an unreadable file (-1) counts as small and goes the
// cleaning road, which is where its failure is reported.
bool ShouldClean(std::int32_t fileSize);

// Bytes below 0x20 other than LF and CR become blanks, in place.
void CleanBlock(char* data, std::size_t n);

// n >= 2 and the first two bytes are FE FF or FF FE.
bool HasUtf16Mark(const char* data, std::size_t n);

enum class TextEncoding { kEightBit, kUtf16LittleEndian, kUtf16BigEndian };

// FF FE: little endian; FE FF: big endian; anything else (fewer than two bytes too): 8-bit.
TextEncoding EncodingOfMark(const char* data, std::size_t n);

// Streaming UTF-16 to the view's bytes: each character becomes the code page 437 byte that draws
// it (box drawing, blocks, accented letters, the PC symbols; U+0000-U+007F as themselves) or '?'
// when code page 437 has none. A surrogate pair is one character; a lone surrogate, or a byte
// left over at the end, is one '?'. U+0000 is dropped, as the zero bytes of such files always were.
class Utf16Decoder {
public:
    explicit Utf16Decoder(bool bigEndian);

    // Decodes n bytes into out, which must have room for n / 2 + 2 bytes; returns the count written.
    std::size_t Decode(const char* data, std::size_t n, char* out);
    // End of input: what is left over becomes '?'. Writes at most 2 bytes.
    std::size_t Finish(char* out);

private:
    char* Put(char16_t unit, char* out);

    bool bigEndian_;
    int pendingByte_ = -1;     // first byte of a unit split across Decode calls
    char16_t pendingHigh_ = 0;  // a high surrogate waiting for its low half
};

// The view's byte text: every line followed by CR LF. A NUL is a character like any other.
class ViewTextBuilder {
public:
    void AddLine(std::string_view line);

    // AddLine in pieces, for lines that span input buffers: BeginLine, AppendToLine any number
    // of times, EndLine. Gives the same text as AddLine of the joined pieces.
    void BeginLine();
    void AppendToLine(std::string_view piece);
    void EndLine();
    // Every line given so far becomes one open line, without the breaks between them: the line
    // reader took CRs for breaks until an LF showed they were not. Lines hold no CR or LF.
    void JoinLinesSoFar();

    const std::string& Text() const;
    std::string Take();  // leaves the builder empty
    void Reserve(std::size_t n);

private:
    std::string text_;
};

// Collects whole lines; for tests and small inputs, where a list of strings is affordable.
class LineCollector {
public:
    void BeginLine();
    void AppendToLine(std::string_view piece);
    void EndLine();
    void JoinLinesSoFar();

    const std::vector<std::string>& Lines() const;
    std::vector<std::string> Take();

private:
    std::vector<std::string> lines_;
};

// Streaming line splitter over a file's bytes behind any mark, decoding UTF-16 text first. LF
// ends a line; in a text that holds an LF, CR never belongs to a line (CR LF is one break, a CR
// elsewhere is dropped, so CR CR LF is one break). A text without any LF is a classic Mac file:
// there each CR ends a line. A byte other than Ctrl-Z opens a line, so a final break adds no empty
// line but a lone CR gives one. In 8-bit text Ctrl-Z (0x1A) ends the input, a line in progress
// still counting, and what follows it is never read (an LF there makes no Mac file an LF one).
// In UTF-16 text U+001A is a character like any other.
//
// Until the first LF the reader cannot tell the two kinds apart: it takes each CR for a break, as
// in a Mac file, and at the first LF joins the lines given so far back into the one line that LF
// ends (in an ordinary file a few bytes, if any). So a Mac file streams at the speed of any other,
// with no second pass over the file and no copy of it.
class LineReader {
public:
    explicit LineReader(TextEncoding encoding);

    // Returns false once a Ctrl-Z ended the input; later Feed calls are ignored.
    bool Feed(const char* data, std::size_t n, ViewTextBuilder& out);
    bool Feed(const char* data, std::size_t n, LineCollector& out);
    void Finish(ViewTextBuilder& out);  // end of file: ends a line in progress
    void Finish(LineCollector& out);
    bool Ended() const;

private:
    template <class Sink> bool FeedInto(const char* data, std::size_t n, Sink& out);
    template <class Sink> bool Split(const char* data, std::size_t n, Sink& out);
    template <class Sink> void SplitAtLf(const char* p, const char* end, Sink& out);
    template <class Sink> void SplitAtCr(const char* p, const char* end, Sink& out);
    template <class Sink> void AppendContent(const char* p, const char* end, Sink& out);
    template <class Sink> void OpenLine(Sink& out);
    template <class Sink> void FinishInto(Sink& out);
    template <class Sink> void EndInput(Sink& out);

    bool decoding_;
    Utf16Decoder decoder_;
    bool lineOpen_ = false;
    bool anyLine_ = false;  // a line has been given to the sink
    bool lfSeen_ = false;   // an LF has been read: CRs are dropped, not breaks
    bool ended_ = false;
};

// The line reader over a whole byte string, for tests and small inputs. No mark test: the
// caller passes the bytes behind any mark and says how they are encoded.
std::vector<std::string> SplitLines(std::string_view bytes, TextEncoding encoding);

// Mark test; for an unmarked file optional cleaning in kCopyBlock blocks; split; build. A marked
// file is decoded behind its mark and never cleaned.
std::string BuildViewText(std::string_view fileBytes, bool clean);

}  // namespace core
