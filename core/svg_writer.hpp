#pragma once
// The text as an SVG picture: the background as one <rect>, each run of block and shade cells as
// one <rect> (a shade as its share of ink), the line art of a row as one <path>, and every other
// run of glyphs as a <text> stretched over exactly its cells, so the columns hold in any face the
// reader has. Written line by line into a sink: the whole picture never sits in memory.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/shape_geometry.hpp"

namespace core {

struct SvgStyle {
    CellBox cell;                 // pixels of one character cell
    int fontPixels = 16;          // the face's em, in pixels
    int baseline = 12;            // from a cell's top
    std::uint32_t text = 0;       // 0x00BBGGRR
    std::uint32_t back = 0xFFFFFF;
    bool transparent = false;     // no background <rect>
    std::string fontFamily;       // UTF-8; "monospace" follows it
    int scale = 1;                // the picture's width and height; its cells stay `cell`
};

class SvgWriter {
public:
    using Sink = std::function<void(std::string_view)>;

    // Writes the document's start: the <svg> element sized `columns` x `lines` cells, the background.
    SvgWriter(const SvgStyle& style, std::size_t columns, std::size_t lines, Sink sink);

    // The next line, as code page 437 bytes, one cell per byte (a tab is a blank cell).
    void AddLine(std::string_view bytes);
    // Closes the document.
    void Finish();

private:
    void FlushText(std::size_t firstCell, std::u16string_view glyphs);
    void WriteShapes();
    void Put(std::string_view text) { out_ += text; }
    void Send();

    SvgStyle style_;
    Sink sink_;
    std::size_t row_ = 0;
    std::string out_;
    ShapeStrip lines_;
    ShapeStrip blocks_;
};

// The escaped UTF-8 of a glyph in XML character data: & < > escaped, and characters XML may not
// hold at all (controls, U+FFFE, U+FFFF, lone surrogates) as a blank so the columns stay.
void AppendXmlGlyph(char16_t glyph, std::string& out);

}  // namespace core
