// The load road (encoding, decoders, cleaner, line reader, view text), the lazy wrap layout and
// the glyph map on arbitrary bytes. The first input byte picks where the data is split into two pieces and how
// many bytes at most a source hands out per read; the rest is the file.
#include "core/cp437.hpp"
#include "core/text_layout.hpp"
#include "core/text_load.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

std::string ReadInTwo(std::string bytes, std::size_t cut, core::TextEncoding encoding) {
    core::ViewTextBuilder out;
    core::TextReader reader(encoding, false);
    reader.Feed(std::span(bytes).first(cut), out);
    reader.Feed(std::span(bytes).subspan(cut), out);
    reader.Finish(out);
    return out.Take();
}

std::string ReadInOne(std::string bytes, core::TextEncoding encoding) {
    core::ViewTextBuilder out;
    core::TextReader reader(encoding, false);
    reader.Feed(bytes, out);
    reader.Finish(out);
    return out.Take();
}

bool HasNul(const std::vector<std::string>& lines) {
    for (const auto& line : lines)
        if (line.find('\0') != std::string::npos) return true;
    return false;
}

// The view text is each line followed by CR LF, and splitting it at CR LF gives the lines back:
// a line never keeps a CR or an LF, whichever of them broke it.
void CheckRoundTrip(const std::vector<std::string>& lines, const std::string& text) {
    std::string joined;
    for (const auto& line : lines) {
        Check(line.find_first_of("\r\n") == std::string::npos);
        joined += line + "\r\n";
    }
    Check(joined == text);
}

// No decoder writes past the room it asks for, in one piece or in two.
void CheckDecodedBound(std::string bytes, std::size_t cut, core::TextEncoding encoding) {
    auto decoder = core::MakeDecoder(encoding, true);
    std::size_t total = decoder->Decode(std::span(bytes).first(cut)).size();
    Check(total <= decoder->DecodedSizeBound(cut));
    const std::size_t second = decoder->Decode(std::span(bytes).subspan(cut)).size();
    Check(second <= decoder->DecodedSizeBound(bytes.size() - cut));
    total += second + decoder->Finish().size();
    Check(total <= decoder->DecodedSizeBound(bytes.size()));
}

// The cleaning copy: the file's bytes, cleaned, byte for byte as long.
class CopySink final : public core::ByteSink {
public:
    std::size_t Write(const char* data, std::size_t size) override {
        bytes.append(data, size);
        return size;
    }
    std::string bytes;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t cut = bytes.empty() ? 0 : data[0] % (bytes.size() + 1);

    using core::TextEncoding;
    for (TextEncoding encoding : {TextEncoding::kEightBit, TextEncoding::kUtf16LittleEndian,
                                  TextEncoding::kUtf16BigEndian, TextEncoding::kUtf8, TextEncoding::kWindows1252}) {
        const std::string whole = ReadInOne(std::string(bytes), encoding);
        Check(ReadInTwo(std::string(bytes), cut, encoding) == whole);
        CheckDecodedBound(std::string(bytes), cut, encoding);
        const auto lines = core::SplitLines(bytes, encoding);
        CheckRoundTrip(lines, whole);
        if (encoding == TextEncoding::kUtf8 || encoding == TextEncoding::kWindows1252) {
            // Never more than one cell per byte.
            std::size_t characters = 0;
            for (const auto& line : lines) characters += line.size();
            Check(characters <= bytes.size() + 1);
        }
        if (encoding == TextEncoding::kUtf16LittleEndian || encoding == TextEncoding::kUtf16BigEndian) {
            // One byte at most per character, U+0000 dropped, so never a NUL.
            Check(!HasNul(lines));
            std::size_t characters = 0;
            for (const auto& line : lines) characters += line.size();
            Check(characters <= bytes.size() / 2 + 1);
        }
    }

    std::string cleaned(bytes);
    core::CleanBlock(cleaned.data(), cleaned.size());
    for (unsigned char c : cleaned) Check(c >= 0x20 || c == '\n' || c == '\r');

    // The program's road, with a source that hands out as little as one byte per read.
    for (bool clean : {true, false}) {
        const std::string text = core::BuildViewText(bytes, clean);
        core::MemorySource source(bytes, data[0] % 7 + 1);
        core::TextLoad load(source, core::LoadOptionsFor(clean));
        CopySink copy;
        Check(*load.Run(nullptr, &copy) == text);
        // Decided on the whole of a cleaned file, on its start otherwise.
        const core::DetectedEncoding detected =
            core::DetectEncoding(clean ? bytes : bytes.substr(0, core::kUtf8SampleSize));
        Check(load.Encoding() == detected);
        Check(copy.bytes == (load.MakesCleanedCopy() ? cleaned : std::string()));
        // Every way of reading the bytes holds together: chosen, each gives its own reading.
        for (core::EncodingChoice choice : {core::EncodingChoice::kDos437, core::EncodingChoice::kUtf8,
                                            core::EncodingChoice::kUtf16LittleEndian,
                                            core::EncodingChoice::kUtf16BigEndian, core::EncodingChoice::kWindows1252}) {
            core::MemorySource chosenSource(bytes, data[0] % 5 + 1);
            core::TextLoad chosen(chosenSource, core::LoadOptionsFor(clean, choice));
            Check(*chosen.Run() == core::BuildViewText(bytes, clean, choice));
        }
        if (detected.encoding == TextEncoding::kEightBit && clean) {
            for (unsigned char c : text) Check(c >= 0x20 || c == '\n' || c == '\r');
            Check(text == ReadInOne(cleaned, TextEncoding::kEightBit));
        }
        if (!clean) continue;
        // Word wrap laid out block by block, as a large text is, gives the rows of the whole layout.
        core::LineIndex index;
        index.Build(text);
        const core::WrapWidth width{(data[0] % 40 + 2) * 7LL, 7};
        core::RowLayout whole, lazy;
        whole.Reset(index, width, SIZE_MAX);
        lazy.Reset(index, width, 0);
        const std::size_t middle = text.size() / 2;
        lazy.MakeExactThroughOffset(middle);
        Check(lazy.RowOf(middle) == whole.RowOf(middle));
        Check(lazy.ExactCount() == whole.Count());
        for (std::size_t row = 0; row < whole.Count(); row += 1 + whole.Count() / 64)
            Check(lazy.At(row).start == whole.At(row).start && lazy.At(row).end == whole.At(row).end);
        const std::u16string glyphs = core::ToGlyphs(text);
        Check(glyphs.size() == text.size());
        for (std::size_t i = 0; i < text.size(); ++i)
            Check(glyphs[i] == core::Cp437Glyph(static_cast<unsigned char>(text[i])));
    }
    return 0;
}
