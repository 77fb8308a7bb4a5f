#pragma once
// The one road from a file's bytes to the view's text, taken alike by the program, the tests, the
// fuzz target and the benchmarks. The bytes come from a ByteSource (a file, memory); the encoding
// is decided on the first block; each block is decoded (an 8-bit one cleaned when asked), split
// into lines and appended to the view text, and a cleaned block can also go to a ByteSink (the
// cleaning copy). Between blocks an observer hears how far the load is and may cancel it. Nothing
// here touches a window, so a load can run on any thread.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/app_error.hpp"
#include "core/text_encoding.hpp"
#include "core/text_pipeline.hpp"

namespace core {

constexpr std::int32_t kCleanThreshold = 4194304;  // files of at most this size (signed compare) are cleaned
constexpr std::size_t kCopyBlock = 65536;          // the cleaning copy's step: the window is served between two
constexpr std::size_t kReadBlock = 1 << 20;        // a larger file's step, read by a worker thread
// A larger file is refused before anything is read. The 32-bit program has the 4 GiB a 64-bit
// Windows gives a large-address-aware process: the shown text, another one being read beside it,
// and a copy of all of it on the clipboard (the bytes, and twice as many for the UTF-16 glyphs, in
// one block) must fit. Measured (bench/win32_address_room): up to 608 MiB does, 624 MiB does not;
// the limit keeps a margin below that for a system whose libraries lie elsewhere.
constexpr std::int64_t kLargestViewableFile = 576ll << 20;

// The size is the signed probe result, so an unreadable file (-1) counts as small and goes the
// cleaning road, which is where its failure is reported.
bool ShouldClean(std::int32_t fileSize);

// Where a load's bytes come from.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to `size` bytes into `into`; the count read, 0 only at the end. A failure throws
    // AppError with a message that says what could not be read and why.
    virtual std::size_t Read(char* into, std::size_t size) = 0;
    // The whole size when known, else 0: room is reserved by it and progress measured against it.
    virtual std::uint64_t SizeHint() const = 0;
};

// Where the cleaning copy goes.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // The count stored; fewer than given means the medium is full. A failure throws AppError.
    virtual std::size_t Write(const char* data, std::size_t size) = 0;
};

// Bytes in memory, handed out at most `chunk` at a time, as some file systems and pipes do.
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::string_view bytes, std::size_t chunk = SIZE_MAX);
    std::size_t Read(char* into, std::size_t size) override;
    std::uint64_t SizeHint() const override;

private:
    std::string_view bytes_;
    std::size_t chunk_;
    std::size_t at_ = 0;
};

// Hears of a load between its blocks. The defaults: nothing to report, never cancelled.
class LoadObserver {
public:
    virtual ~LoadObserver() = default;
    // After each block has gone all the way through: the file bytes read so far, and the source's
    // size hint (0 when unknown).
    virtual void BlockDone(std::uint64_t bytesRead, std::uint64_t sizeHint);
    // Asked before each block; true ends the load with no text.
    virtual bool CancelRequested();
};

struct LoadOptions {
    bool clean = false;  // the control bytes of an 8-bit text become blanks
    std::size_t blockSize = kReadBlock;
    EncodingChoice encoding = EncodingChoice::kAutomatic;
    // A source that goes on past this many bytes (a file that grows while it is read, a device
    // without end) ends the load with TextTooLarge rather than with the memory exhausted.
    std::uint64_t largestText = static_cast<std::uint64_t>(kLargestViewableFile);
};

class TextTooLarge : public AppError {
public:
    TextTooLarge();
};

// Cleaned files go in copy blocks, the others in large read blocks.
LoadOptions LoadOptionsFor(bool clean, EncodingChoice encoding = EncodingChoice::kAutomatic);

// Text of the cleaning copy's failure when a write stored fewer bytes than it was given.
inline constexpr char kStreamWriteError[] = "Stream write error";
// "The file '<path>' is too large to show."
std::string TooLargeText(std::string_view path);
// "There is not enough memory to show '<path>'."
std::string NotEnoughMemoryText(std::string_view path);

// A file's bytes behind any mark, in pieces, decoded and split into lines. Where the pieces are
// cut never changes the result.
class TextReader {
public:
    TextReader(TextEncoding encoding, bool clean);
    // Decodes and splits the piece, which an 8-bit decoder cleans in place. Returns false once a
    // Ctrl-Z has ended the text: later pieces are ignored.
    bool Feed(std::span<char> piece, ViewTextBuilder& out);
    bool Feed(std::span<char> piece, LineCollector& out);
    void Finish(ViewTextBuilder& out);  // the end of the input
    void Finish(LineCollector& out);
    bool Ended() const;
    // From here on the pieces are in `encoding` (only between two pieces, of cleaned text).
    void Switch(TextEncoding encoding, bool clean);
    std::size_t DecodedSizeBound(std::size_t n) const;

private:
    template <class Sink> bool FeedInto(std::span<char> piece, Sink& out);
    template <class Sink> void FinishInto(Sink& out);

    std::unique_ptr<TextDecoder> decoder_;
    LineReader lines_;
};

// One load: made on a source, it reads the first block and decides the encoding (reading on, as
// far as the decision needs, through a cleaned file: it is decided on whole); Run, called once,
// reads the rest. A source's or sink's failure leaves it as an AppError and nothing half-built comes out.
class TextLoad {
public:
    TextLoad(ByteSource& source, const LoadOptions& options);
    TextLoad(const TextLoad&) = delete;
    TextLoad& operator=(const TextLoad&) = delete;

    // Known once the load is made, but for a cleaned file whose first block is plain text: that
    // one is decided once Run has met its first other character.
    const DetectedEncoding& Encoding() const;
    // An 8-bit text that is cleaned (in place, in the load's block): its cleaning copy is the file
    // with the control bytes blanked, byte for byte as long. A marked file is never copied.
    bool MakesCleanedCopy() const;
    // The view text: every line followed by CR LF. When the load makes a cleaned copy, each cleaned
    // block goes to `copy` as well (when given), and a short write ends the load with
    // kStreamWriteError. nullopt when the observer cancelled.
    std::optional<std::string> Run(LoadObserver* observer = nullptr, ByteSink* copy = nullptr);

private:
    std::size_t ReadBlock();
    DetectedEncoding Decide();
    void ReadAhead();
    void Settle(std::string_view block);
    std::span<char> NextPiece(std::size_t& moreAt);
    void Reserve(ViewTextBuilder& text) const;
    void Copy(ByteSink& copy, std::span<const char> cleaned) const;

    ByteSource& source_;
    LoadOptions options_;
    std::unique_ptr<char[]> block_;
    std::size_t headSize_;
    std::string more_;  // blocks read past the first to decide the encoding, not decoded yet
    // A cleaned file plain so far is read as 8-bit until a block says more: its plain characters
    // are the same text either way, so nothing need be held back before then.
    Utf8Evidence evidence_;
    bool pending_ = false;
    DetectedEncoding encoding_;
    TextReader reader_;
};

// The whole road over bytes in memory, in the program's blocks: encoding, cleaning, lines, view text.
std::string BuildViewText(std::string_view fileBytes, bool clean,
                          EncodingChoice encoding = EncodingChoice::kAutomatic);

// The lines of bytes behind any mark in the given encoding (not cleaned); for tests and small inputs.
std::vector<std::string> SplitLines(std::string_view bytes, TextEncoding encoding);

}  // namespace core
