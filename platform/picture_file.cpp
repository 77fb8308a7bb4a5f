#include "platform/picture_file.hpp"

#include <algorithm>
#include <cstring>

#include "core/app_error.hpp"
#include "core/svg_writer.hpp"
#include "platform/files.hpp"
#include "platform/png_writer.hpp"
#include "platform/replacing_file.hpp"
#include "platform/unicode.hpp"
#include "platform/view_painter.hpp"

namespace platform {
namespace {

// What one strip may hold: small enough for any picture, large enough that a strip of an NFO is
// a hundred lines and the encoder is called seldom.
constexpr long long kStripBudget = 4LL << 20;
// SVG lines between two looks at the message queue.
constexpr int kSvgLinesPerStep = 256;

[[noreturn]] void CannotCreate(const std::string& part) {
    const DWORD reason = ::GetLastError();
    std::string text = "Cannot create the picture's " + part;
    if (reason != ERROR_SUCCESS) text += ". " + SystemErrorText(reason);
    throw core::AppError(text);
}

HDC MakeMemoryDc() {
    WindowDC screen(nullptr);
    return ::CreateCompatibleDC(screen.get());
}

std::uint32_t Rgb(COLORREF colour) { return static_cast<std::uint32_t>(colour) & 0xFFFFFF; }

// One drawn row as the PNG's row: each pixel `scale` times across, three bytes or four with the
// ink's share as alpha over the text colour.
void ConvertRow(const std::uint8_t* from, int width, const PictureStyle& style, const PictureOptions& options,
                std::uint8_t* to) {
    const std::uint32_t text = Rgb(style.text), back = Rgb(style.back);
    for (int x = 0; x < width; ++x, from += 4) {
        std::uint8_t px[4] = {from[0], from[1], from[2], 255};
        if (options.transparent) {
            const std::uint32_t drawn = from[2] | (std::uint32_t{from[1]} << 8) | (std::uint32_t{from[0]} << 16);
            px[3] = core::InkCoverage(drawn, text, back);
            px[0] = static_cast<std::uint8_t>(text >> 16);
            px[1] = static_cast<std::uint8_t>(text >> 8);
            px[2] = static_cast<std::uint8_t>(text);
        }
        const int size = options.transparent ? 4 : 3;
        for (int k = 0; k < options.scale; ++k, to += size) std::memcpy(to, px, static_cast<std::size_t>(size));
    }
}

// Draws `lines` strip by strip and hands each pixel row to `row`; false when progress said stop.
template <class RowSink>
bool DrawStrips(const std::vector<std::string>& lines, const PictureStyle& style, core::CellSize cell, int width,
                RowSink row, const PictureProgress& progress) {
    const int count = std::max<int>(1, static_cast<int>(lines.size()));
    const int stripLines = core::StripLines(width, cell.height, kStripBudget, count);
    PictureStrip strip(style, cell, width, stripLines);
    for (int first = 0; first < count; first += stripLines) {
        const int drawn = std::min(stripLines, count - first);
        strip.Draw(lines, first, drawn);
        for (int y = 0; y < drawn * cell.height; ++y) row(strip.Row(y));
        if (progress && !progress()) return false;
    }
    return true;
}

}  // namespace

PictureMetrics MeasurePicture(const PictureStyle& style) {
    UniqueMemoryDC dc(MakeMemoryDc());
    if (!dc) CannotCreate("drawing surface");
    UniqueGdi font(::CreateFontIndirectW(&style.font));
    if (!font) CannotCreate("font");
    SelectedObject selected(dc.get(), font.get());
    SIZE a{};
    ::GetTextExtentPoint32W(dc.get(), L"A", 1, &a);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc.get(), &metrics);
    return PictureMetrics{core::CellSize{a.cx, a.cy}, metrics.tmAscent,
                          std::max<int>(1, metrics.tmHeight - metrics.tmInternalLeading)};
}

core::PictureExtent PictureExtentOf(core::CellSize cell, const std::vector<std::string>& lines, int scale) {
    const std::size_t longest = std::max<std::size_t>(1, core::LongestLine(lines));
    return core::ScaledPictureExtent(cell, longest, std::max<long long>(1, static_cast<long long>(lines.size())), scale);
}

PictureStrip::PictureStrip(const PictureStyle& style, core::CellSize cell, int width, int stripLines)
    : style_(style), cell_(cell), width_(width) {
    dc_.reset(MakeMemoryDc());
    if (!dc_) CannotCreate("drawing surface");
    font_.reset(::CreateFontIndirectW(&style.font));
    if (!font_) CannotCreate("font");
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -stripLines * cell.height;  // top-down: rows in the order they are handed on
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(::CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_ || !bits)
        CannotCreate("strip of " + std::to_string(width) + " x " + std::to_string(stripLines * cell.height) + " pixels");
    bits_ = static_cast<std::uint8_t*>(bits);
    ::SelectObject(dc_.get(), bitmap_.get());
    ::SelectObject(dc_.get(), font_.get());
    ::SetBkMode(dc_.get(), OPAQUE);
    ::SetTextAlign(dc_.get(), TA_LEFT | TA_TOP | TA_NOUPDATECP);
}

void PictureStrip::Draw(const std::vector<std::string>& lines, int first, int count) {
    // The shades' dots are laid from the text's first row, so they run on across strips.
    const core::CellGrid grid{cell_.width, cell_.height, 0};
    RowPainter painter(dc_.get(), grid, RowColours{style_.text, style_.back, style_.text, style_.back},
                       core::Pixel{0, -static_cast<long long>(first) * cell_.height});
    for (int i = 0; i < count; ++i) {
        const std::size_t index = static_cast<std::size_t>(first + i);
        // As the export: one cell per byte, a tab a blank.
        line_.assign(index < lines.size() ? std::string_view(lines[index]) : std::string_view());
        std::replace(line_.begin(), line_.end(), '\t', ' ');
        cells_.Build(line_, core::Row{0, 0, line_.size()}, false,
                     core::CellWindow{0, static_cast<long long>(line_.size())}, core::Span{});
        painter.Paint(cells_, 0, i * cell_.height, width_);
    }
    ::GdiFlush();  // the rows are read straight from the bits next
}

bool SavePngPicture(const std::wstring& target, const std::vector<std::string>& lines, const PictureStyle& style,
                    const PictureOptions& options, const PictureProgress& progress) {
    const core::CellSize cell = MeasurePicture(style).cell;
    const core::PictureExtent extent = PictureExtentOf(cell, lines, options.scale);
    if (auto refusal = core::PictureSizeRefusal(extent)) throw core::AppError(*refusal);
    const int width = static_cast<int>(extent.width / options.scale);
    const int pixelBytes = options.transparent ? 4 : 3;
    const std::size_t stride = static_cast<std::size_t>(extent.width) * static_cast<std::size_t>(pixelBytes);
    // Rows go to the encoder in batches: a call per row costs more than the encoding.
    const std::size_t batchRows = std::max<std::size_t>(
        static_cast<std::size_t>(options.scale), static_cast<std::size_t>(kStripBudget) / stride / options.scale * options.scale);
    std::vector<std::uint8_t> batch(stride * batchRows);
    std::size_t held = 0;

    ComApartment com;
    ReplacingFile file(target);
    {
        ComRef<IStream> stream = FileHandleStream(file.Handle());
        PngEncoder png(stream.get(), static_cast<std::uint32_t>(extent.width), static_cast<std::uint32_t>(extent.height),
                       options.transparent ? PngPixels::Bgra32 : PngPixels::Bgr24);
        const auto flush = [&] {
            if (held) png.WriteRows(static_cast<std::uint32_t>(held), static_cast<std::uint32_t>(stride), batch.data());
            held = 0;
        };
        const bool done = DrawStrips(lines, style, cell, width, [&](const std::uint8_t* drawn) {
            if (held + static_cast<std::size_t>(options.scale) > batchRows) flush();
            std::uint8_t* first = batch.data() + held * stride;
            ConvertRow(drawn, width, style, options, first);
            for (int k = 1; k < options.scale; ++k) std::memcpy(first + static_cast<std::size_t>(k) * stride, first, stride);
            held += static_cast<std::size_t>(options.scale);
        }, progress);
        if (!done) return false;
        flush();
        png.Commit();
    }
    file.Commit();
    return true;
}

bool SaveSvgPicture(const std::wstring& target, const std::vector<std::string>& lines, const PictureStyle& style,
                    const PictureOptions& options, const PictureProgress& progress) {
    const PictureMetrics metrics = MeasurePicture(style);
    if (auto refusal = core::PictureSizeRefusal(PictureExtentOf(metrics.cell, lines, options.scale)))
        throw core::AppError(*refusal);
    core::SvgStyle svg;
    svg.cell = core::CellBox{metrics.cell.width, metrics.cell.height};
    svg.fontPixels = metrics.em;
    svg.baseline = metrics.ascent;
    svg.text = Rgb(style.text);
    svg.back = Rgb(style.back);
    svg.transparent = options.transparent;
    svg.fontFamily = Narrow(style.font.lfFaceName);
    svg.scale = options.scale;
    ReplacingFile file(target);
    core::SvgWriter writer(svg, core::LongestLine(lines), lines.size(),
                           [&file](std::string_view part) { file.Write(part.data(), part.size()); });
    for (std::size_t i = 0; i < lines.size(); ++i) {
        writer.AddLine(lines[i]);
        if ((i + 1) % kSvgLinesPerStep == 0 && progress && !progress()) return false;
    }
    writer.Finish();
    file.Commit();
    return true;
}

ClipboardPicture MakeClipboardPicture(const std::vector<std::string>& lines, const PictureStyle& style) {
    const core::CellSize cell = MeasurePicture(style).cell;
    const core::PictureExtent extent = PictureExtentOf(cell, lines, 1);
    if (auto refusal = core::ClipboardPictureRefusal(extent)) throw core::AppError(*refusal);
    const int width = static_cast<int>(extent.width), height = static_cast<int>(extent.height);
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};

    ClipboardPicture picture;
    picture.dib.reset(::GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + stride * static_cast<std::size_t>(height)));
    if (!picture.dib) CannotCreate("bitmap of " + std::to_string(width) + " x " + std::to_string(height) + " pixels");
    auto* header = static_cast<BITMAPINFOHEADER*>(::GlobalLock(picture.dib.get()));
    if (!header) CannotCreate("bitmap");
    *header = BITMAPINFOHEADER{};
    header->biSize = sizeof *header;
    header->biWidth = width;
    header->biHeight = height;  // bottom-up, as programs that paste expect most
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biCompression = BI_RGB;
    header->biSizeImage = static_cast<DWORD>(stride * static_cast<std::size_t>(height));
    auto* pixels = reinterpret_cast<std::uint8_t*>(header + 1);

    ComApartment com;
    ComRef<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, FALSE, stream.out()))) {
        ::GlobalUnlock(picture.dib.get());
        CannotCreate("PNG");
    }
    try {
        PngEncoder png(stream.get(), static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                       PngPixels::Bgr24);
        int y = 0;
        const PictureOptions opaque;
        DrawStrips(lines, style, cell, width, [&](const std::uint8_t* drawn) {
            std::uint8_t* to = pixels + static_cast<std::size_t>(height - 1 - y) * stride;
            ConvertRow(drawn, width, style, opaque, to);
            png.WriteRows(1, static_cast<std::uint32_t>(width) * 3, to);
            ++y;
        }, nullptr);
        png.Commit();
    } catch (...) {
        ::GlobalUnlock(picture.dib.get());
        HGLOBAL written = nullptr;
        if (SUCCEEDED(::GetHGlobalFromStream(stream.get(), &written))) ::GlobalFree(written);
        throw;
    }
    ::GlobalUnlock(picture.dib.get());
    HGLOBAL written = nullptr;
    if (FAILED(::GetHGlobalFromStream(stream.get(), &written))) CannotCreate("PNG");
    picture.png.reset(written);
    return picture;
}

}  // namespace platform
