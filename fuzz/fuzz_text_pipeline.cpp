// Line reader (8-bit and UTF-16 in both byte orders), cleaner, view text and glyph map on
// arbitrary bytes. The first input byte picks
// where the data is split into two Feed calls; the rest is the file.
#include "core/cp437.hpp"
#include "core/text_pipeline.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

std::string ReadInTwo(std::string_view bytes, std::size_t cut, core::TextEncoding encoding) {
    core::ViewTextBuilder out;
    core::LineReader reader(encoding);
    reader.Feed(bytes.data(), cut, out);
    reader.Feed(bytes.data() + cut, bytes.size() - cut, out);
    reader.Finish(out);
    return out.Take();
}

std::string ReadInOne(std::string_view bytes, core::TextEncoding encoding) {
    core::ViewTextBuilder out;
    core::LineReader reader(encoding);
    reader.Feed(bytes.data(), bytes.size(), out);
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t cut = bytes.empty() ? 0 : data[0] % (bytes.size() + 1);

    using core::TextEncoding;
    for (TextEncoding encoding :
         {TextEncoding::kEightBit, TextEncoding::kUtf16LittleEndian, TextEncoding::kUtf16BigEndian}) {
        const std::string whole = ReadInOne(bytes, encoding);
        Check(ReadInTwo(bytes, cut, encoding) == whole);
        const auto lines = core::SplitLines(bytes, encoding);
        CheckRoundTrip(lines, whole);
        if (encoding != TextEncoding::kEightBit) {
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

    const std::string text = core::BuildViewText(bytes, true);
    if (!core::HasUtf16Mark(bytes.data(), bytes.size())) {
        for (unsigned char c : text) Check(c >= 0x20 || c == '\n' || c == '\r');
        Check(text == ReadInOne(cleaned, core::TextEncoding::kEightBit));
    }

    const std::u16string glyphs = core::ToGlyphs(text);
    Check(glyphs.size() == text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        Check(glyphs[i] == core::Cp437Glyph(static_cast<unsigned char>(text[i])));
    return 0;
}
