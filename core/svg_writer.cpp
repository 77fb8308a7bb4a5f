#include "core/svg_writer.hpp"

#include <cstdio>
#include <utility>

#include "core/cp437.hpp"

namespace core {
namespace {

std::string Hex(std::uint32_t colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    return text;
}

const char* OpacityOf(Fill fill) {
    switch (fill) {
        case Fill::Light: return "0.25";
        case Fill::Medium: return "0.5";
        case Fill::Dark: return "0.75";
        case Fill::Solid: break;
    }
    return nullptr;
}

void AppendUtf8(char16_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Attribute values are ours but the face's name: quotes and ampersands escaped as well.
std::string AttributeText(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
        }
    }
    return out;
}

bool Blank(char16_t glyph) { return glyph == u' ' || glyph == 0x00A0; }

}  // namespace

void AppendXmlGlyph(char16_t glyph, std::string& out) {
    switch (glyph) {
        case u'&': out += "&amp;"; return;
        case u'<': out += "&lt;"; return;
        case u'>': out += "&gt;"; return;
        default: break;
    }
    const bool forbidden = (glyph < 0x20 && glyph != u'\t' && glyph != u'\n' && glyph != u'\r') ||
                           glyph == 0xFFFE || glyph == 0xFFFF || (glyph >= 0xD800 && glyph <= 0xDFFF);
    // A tab, LF or CR is allowed but would not keep its cell: a blank does.
    if (forbidden || glyph == u'\t' || glyph == u'\n' || glyph == u'\r') glyph = u' ';
    AppendUtf8(glyph, out);
}

SvgWriter::SvgWriter(const SvgStyle& style, std::size_t columns, std::size_t lines, Sink sink)
    : style_(style), sink_(std::move(sink)) {
    if (style_.scale < 1) style_.scale = 1;
    const long long width = static_cast<long long>(columns) * style_.cell.width;
    const long long height = static_cast<long long>(lines) * style_.cell.height;
    const std::string w = std::to_string(width), h = std::to_string(height);
    Put("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"");
    Put(std::to_string(width * style_.scale) + "\" height=\"" + std::to_string(height * style_.scale));
    Put("\" viewBox=\"0 0 " + w + " " + h + "\" shape-rendering=\"crispEdges\">\n");
    if (!style_.transparent) Put("<rect width=\"" + w + "\" height=\"" + h + "\" fill=\"" + Hex(style_.back) + "\"/>\n");
    Put("<g fill=\"" + Hex(style_.text) + "\" font-family=\"" + AttributeText(style_.fontFamily) +
        ", monospace\" font-size=\"" + std::to_string(style_.fontPixels) + "\">\n");
    Send();
}

void SvgWriter::AddLine(std::string_view bytes) {
    lines_.Clear();
    blocks_.Clear();
    const int top = static_cast<int>(row_) * style_.cell.height;
    std::u16string run;
    std::size_t runStart = 0;
    for (std::size_t cell = 0; cell < bytes.size(); ++cell) {
        const char16_t glyph = bytes[cell] == '\t' ? u' ' : Cp437Glyph(static_cast<unsigned char>(bytes[cell]));
        const std::optional<ShapeSpec> shape = MayBeShape(glyph) ? ShapeOf(glyph) : std::nullopt;
        if (!shape) {
            if (run.empty()) runStart = cell;
            run += glyph;
            continue;
        }
        FlushText(runStart, run);
        run.clear();
        const int left = static_cast<int>(cell) * style_.cell.width;
        (shape->kind == ShapeKind::Box ? lines_ : blocks_).Add(*shape, style_.cell, left, top);
    }
    FlushText(runStart, run);
    WriteShapes();
    ++row_;
    Send();
}

void SvgWriter::FlushText(std::size_t firstCell, std::u16string_view glyphs) {
    std::size_t first = 0, last = glyphs.size();
    while (first < last && Blank(glyphs[first])) ++first;
    while (last > first && Blank(glyphs[last - 1])) --last;
    if (first == last) return;
    const long long x = static_cast<long long>(firstCell + first) * style_.cell.width;
    const long long y = static_cast<long long>(row_) * style_.cell.height + style_.baseline;
    const long long length = static_cast<long long>(last - first) * style_.cell.width;
    Put("<text x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" textLength=\"" +
        std::to_string(length) + "\" lengthAdjust=\"spacingAndGlyphs\" xml:space=\"preserve\">");
    for (std::size_t i = first; i < last; ++i) AppendXmlGlyph(glyphs[i], out_);
    Put("</text>\n");
}

void SvgWriter::WriteShapes() {
    for (const ShapeRect& r : blocks_.Rects()) {
        Put("<rect x=\"" + std::to_string(r.left) + "\" y=\"" + std::to_string(r.top) + "\" width=\"" +
            std::to_string(r.right - r.left) + "\" height=\"" + std::to_string(r.bottom - r.top) + "\"");
        if (const char* opacity = OpacityOf(r.fill)) Put(std::string(" fill-opacity=\"") + opacity + "\"");
        Put("/>\n");
    }
    if (lines_.Rects().empty()) return;
    Put("<path d=\"");
    for (const ShapeRect& r : lines_.Rects())
        Put("M" + std::to_string(r.left) + " " + std::to_string(r.top) + "h" + std::to_string(r.right - r.left) + "v" +
            std::to_string(r.bottom - r.top) + "h" + std::to_string(r.left - r.right) + "z");
    Put("\"/>\n");
}

void SvgWriter::Finish() {
    Put("</g>\n</svg>\n");
    Send();
}

void SvgWriter::Send() {
    if (out_.empty()) return;
    sink_(out_);
    out_.clear();
}

}  // namespace core
