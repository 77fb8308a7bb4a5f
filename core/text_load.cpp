#include "core/text_load.hpp"

#include <algorithm>

namespace core {
namespace {

// Decoded and split this much at a time: a UTF-16 slice's characters fit the first-level cache.
constexpr std::size_t kDecodeSlice = 16384;

}  // namespace

bool ShouldClean(std::int32_t fileSize) { return fileSize <= kCleanThreshold; }

LoadOptions LoadOptionsFor(bool clean, EncodingChoice encoding) {
    LoadOptions options;
    options.clean = clean;
    options.encoding = encoding;
    options.blockSize = clean ? kCopyBlock : kReadBlock;
    return options;
}

TextTooLarge::TextTooLarge() : AppError("The text is too large to show") {}

std::string TooLargeText(std::string_view path) {
    return "The file '" + std::string(path) + "' is too large to show.";
}

std::string NotEnoughMemoryText(std::string_view path) {
    return "There is not enough memory to show '" + std::string(path) + "'.";
}

// ---- MemorySource ----

MemorySource::MemorySource(std::string_view bytes, std::size_t chunk)
    : bytes_(bytes), chunk_(std::max<std::size_t>(chunk, 1)) {}

std::size_t MemorySource::Read(char* into, std::size_t size) {
    const std::size_t n = std::min({size, chunk_, bytes_.size() - at_});
    std::copy_n(bytes_.data() + at_, n, into);
    at_ += n;
    return n;
}

std::uint64_t MemorySource::SizeHint() const { return bytes_.size(); }

// ---- LoadObserver ----

void LoadObserver::BlockDone(std::uint64_t, std::uint64_t) {}
bool LoadObserver::CancelRequested() { return false; }

// ---- TextReader ----

// In cleaned text no decoder passes on a Ctrl-Z of the file, so only a character drawn by byte
// 0x1A (the arrow) could end it there, and must not.
TextReader::TextReader(TextEncoding encoding, bool clean)
    : decoder_(MakeDecoder(encoding, clean)), lines_(decoder_->CtrlZEndsText() && !clean) {}

void TextReader::Switch(TextEncoding encoding, bool clean) { decoder_ = MakeDecoder(encoding, clean); }

bool TextReader::Feed(std::span<char> piece, ViewTextBuilder& out) { return FeedInto(piece, out); }
bool TextReader::Feed(std::span<char> piece, LineCollector& out) { return FeedInto(piece, out); }
void TextReader::Finish(ViewTextBuilder& out) { FinishInto(out); }
void TextReader::Finish(LineCollector& out) { FinishInto(out); }
bool TextReader::Ended() const { return lines_.Ended(); }
std::size_t TextReader::DecodedSizeBound(std::size_t n) const { return decoder_->DecodedSizeBound(n); }

// In slices, so what a decoder writes to its own buffer is split while it is still in the
// processor's nearest cache.
template <class Sink>
bool TextReader::FeedInto(std::span<char> piece, Sink& out) {
    for (std::size_t at = 0; at < piece.size() && !lines_.Ended(); at += kDecodeSlice)
        lines_.Feed(decoder_->Decode(piece.subspan(at, std::min(kDecodeSlice, piece.size() - at))), out);
    return !lines_.Ended();
}

template <class Sink>
void TextReader::FinishInto(Sink& out) {
    if (!lines_.Ended()) lines_.Feed(decoder_->Finish(), out);
    lines_.Finish(out);
}

// ---- TextLoad ----

namespace {

// A file smaller than a block needs no whole block: a small load does not pay for touching a
// large buffer. A size that is wrong (the file grew) only costs more reads.
std::size_t BlockSizeFor(const LoadOptions& options, std::uint64_t sizeHint) {
    constexpr std::size_t kSmallestBlock = 4096;
    const std::size_t block = std::max<std::size_t>(options.blockSize, 1);
    if (sizeHint == 0 || sizeHint >= block) return block;
    return std::min(block, std::max<std::size_t>(static_cast<std::size_t>(sizeHint), kSmallestBlock));
}

}  // namespace

TextLoad::TextLoad(ByteSource& source, const LoadOptions& options)
    : source_(source),
      options_{options.clean, BlockSizeFor(options, source.SizeHint()), options.encoding, options.largestText},
      block_(new char[options_.blockSize]),
      headSize_(ReadBlock()),
      encoding_(Decide()),
      reader_(encoding_.encoding, options_.clean) {}

const DetectedEncoding& TextLoad::Encoding() const { return encoding_; }

bool TextLoad::MakesCleanedCopy() const { return options_.clean && encoding_.encoding == TextEncoding::kEightBit; }

// A block is filled as far as the source goes, so the blocks, and with them the progress steps,
// do not depend on how the source happens to hand its bytes out.
std::size_t TextLoad::ReadBlock() {
    std::size_t filled = 0;
    while (filled < options_.blockSize) {
        const std::size_t n = source_.Read(block_.get() + filled, options_.blockSize - filled);
        if (n == 0) break;
        filled += n;
    }
    return filled;
}

// A cleaned file is decided on whole, a larger one on its start. Reading on stops as soon as the
// bytes cannot be UTF-8, which for 8-bit art is at its first line; a cleaned file that begins
// with a block of plain text is decided in Run, when a block is not.
DetectedEncoding TextLoad::Decide() {
    const std::string_view head(block_.get(), headSize_);
    if (options_.encoding != EncodingChoice::kAutomatic) return ChosenEncoding(head, options_.encoding);
    if (const auto marked = MarkedEncoding(head)) return *marked;
    if (!options_.clean) {
        evidence_.Feed(head.substr(0, kUtf8SampleSize));
    } else {
        evidence_.Feed(head);
        if (!evidence_.Decided() && evidence_.PlainSoFar() && headSize_ == options_.blockSize) {
            pending_ = true;
            return {TextEncoding::kEightBit, 0};
        }
        if (headSize_ == options_.blockSize) ReadAhead();
    }
    return {evidence_.IsUtf8() ? TextEncoding::kUtf8 : TextEncoding::kEightBit, 0};
}

// The rest of the file, block by block, until the evidence is enough.
void TextLoad::ReadAhead() {
    const std::uint64_t hint = source_.SizeHint();
    // Room for the whole file at once: growing block by block would copy it over and over.
    if (!evidence_.Decided() && hint > headSize_ && hint <= options_.largestText)
        more_.reserve(static_cast<std::size_t>(hint - headSize_));
    for (std::size_t n = options_.blockSize; n == options_.blockSize && !evidence_.Decided();) {
        if (headSize_ + more_.size() > options_.largestText) break;  // Run reports it
        const std::size_t at = more_.size();
        more_.resize(at + options_.blockSize);
        n = 0;
        while (n < options_.blockSize) {
            const std::size_t got = source_.Read(more_.data() + at + n, options_.blockSize - n);
            if (got == 0) break;
            n += got;
        }
        more_.resize(at + n);
        evidence_.Feed(std::string_view(more_).substr(at));
    }
}

// A block of a file still read as 8-bit: plain text goes on that way; at the first other
// character the rest is looked at, and UTF-8 takes over from this block on.
void TextLoad::Settle(std::string_view block) {
    evidence_.Feed(block);
    if (!evidence_.Decided() && evidence_.PlainSoFar() && block.size() == options_.blockSize) return;
    pending_ = false;
    ReadAhead();
    if (!evidence_.IsUtf8()) return;
    encoding_ = {TextEncoding::kUtf8, 0};
    reader_.Switch(TextEncoding::kUtf8, options_.clean);
}

// The blocks read while deciding, then the source's.
std::span<char> TextLoad::NextPiece(std::size_t& moreAt) {
    if (moreAt < more_.size()) {
        const std::size_t n = std::min(options_.blockSize, more_.size() - moreAt);
        const std::span<char> piece(more_.data() + moreAt, n);
        moreAt += n;
        return piece;
    }
    return {block_.get(), ReadBlock()};
}

// Room for the text plus a CR LF per line of a short-line file, so a large text is not copied
// over and over while it grows.
void TextLoad::Reserve(ViewTextBuilder& text) const {
    const std::uint64_t hint = source_.SizeHint();
    if (hint <= encoding_.markLength || hint > options_.largestText) return;
    const std::size_t decoded = reader_.DecodedSizeBound(static_cast<std::size_t>(hint - encoding_.markLength));
    text.Reserve(decoded + decoded / 16 + 64);
}

void TextLoad::Copy(ByteSink& copy, std::span<const char> cleaned) const {
    if (!cleaned.empty() && copy.Write(cleaned.data(), cleaned.size()) != cleaned.size())
        throw AppError(kStreamWriteError);
}

std::optional<std::string> TextLoad::Run(LoadObserver* observer, ByteSink* copy) {
    if (observer && observer->CancelRequested()) return std::nullopt;
    if (!MakesCleanedCopy()) copy = nullptr;
    ViewTextBuilder text;
    Reserve(text);
    const std::uint64_t sizeHint = source_.SizeHint();
    std::uint64_t read = headSize_;
    std::span<char> piece(block_.get(), headSize_);
    piece = piece.subspan(std::min(encoding_.markLength, piece.size()));
    std::size_t moreAt = 0;
    bool firstPiece = true;  // decided on already
    for (std::size_t n = headSize_; n > 0;) {
        if (read > options_.largestText) throw TextTooLarge();
        if (pending_ && !firstPiece) Settle({piece.data(), piece.size()});
        firstPiece = false;
        reader_.Feed(piece, text);
        if (copy && MakesCleanedCopy()) Copy(*copy, piece);
        if (observer) observer->BlockDone(read, sizeHint);
        if (reader_.Ended()) break;  // nothing after a Ctrl-Z is read
        if (observer && observer->CancelRequested()) return std::nullopt;
        piece = NextPiece(moreAt);
        n = piece.size();
        read += n;
    }
    reader_.Finish(text);
    std::string result = text.Take();
    // A Ctrl-Z early in a large file leaves most of the reserved room unused: give it back.
    if (result.capacity() / 2 > result.size() + kReadBlock) result.shrink_to_fit();
    return result;
}

// ---- whole-buffer roads ----

std::string BuildViewText(std::string_view fileBytes, bool clean, EncodingChoice encoding) {
    MemorySource source(fileBytes);
    TextLoad load(source, LoadOptionsFor(clean, encoding));
    return *load.Run();
}

std::vector<std::string> SplitLines(std::string_view bytes, TextEncoding encoding) {
    LineCollector lines;
    TextReader reader(encoding, false);
    std::string piece(bytes);
    reader.Feed(piece, lines);
    reader.Finish(lines);
    return lines.Take();
}

}  // namespace core
