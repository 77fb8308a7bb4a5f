#pragma once
// The text as a picture to share: drawn by the view's own row painter (font, colours, line and
// block art as shapes) a strip of lines at a time, and handed out as it is drawn: a PNG through the
// system's encoder, an SVG from the same cells, or a bitmap and a PNG for the clipboard. A strip
// holds a few MiB however long the text, so memory stays bounded.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/picture_rules.hpp"
#include "core/row_cells.hpp"
#include "platform/export_bitmap.hpp"
#include "platform/win_handles.hpp"

namespace platform {

struct GlobalTraits {
    static HGLOBAL Invalid() { return nullptr; }
    static void Close(HGLOBAL h) { ::GlobalFree(h); }
};
using UniqueGlobal = UniqueHandle<HGLOBAL, GlobalTraits>;

struct PictureOptions {
    int scale = 1;             // 1, 2 or 3: each pixel drawn as a square of scale x scale
    bool transparent = false;  // the background left out; smoothed edges keep their share of ink
};

// The cell and the face's measures in the style's font, as the picture will be drawn.
struct PictureMetrics {
    core::CellSize cell;
    int ascent = 0;
    int em = 0;  // the face's em in pixels: the cell's height less its internal leading
};
PictureMetrics MeasurePicture(const PictureStyle& style);

// The picture's size at scale 1 for these lines: one cell at least, so an empty text still makes one.
core::PictureExtent PictureExtentOf(core::CellSize cell, const std::vector<std::string>& lines, int scale);

// Lines drawn a strip at a time into a 32-bit top-down bitmap as wide as the picture.
class PictureStrip {
public:
    PictureStrip(const PictureStyle& style, core::CellSize cell, int width, int stripLines);
    PictureStrip(const PictureStrip&) = delete;
    PictureStrip& operator=(const PictureStrip&) = delete;

    // Lines [first, first + count) of `lines`, count no more than the strip holds; the strip's
    // rows below them are left as they were.
    void Draw(const std::vector<std::string>& lines, int first, int count);
    // Pixel row y of the strip: width pixels of blue, green, red and an unused byte.
    const std::uint8_t* Row(int y) const { return bits_ + static_cast<std::size_t>(y) * width_ * 4; }
    int Width() const { return width_; }

private:
    PictureStyle style_;
    core::CellSize cell_;
    int width_;
    UniqueGdi font_;
    UniqueGdi bitmap_;
    UniqueMemoryDC dc_;
    std::uint8_t* bits_ = nullptr;
    core::RowCells cells_;
    std::string line_;
};

// Called after each strip; false stops the save, and nothing is written.
using PictureProgress = std::function<bool()>;

// The picture of `lines` written in target's place (see ReplacingFile). False when stopped.
bool SavePngPicture(const std::wstring& target, const std::vector<std::string>& lines, const PictureStyle& style,
                    const PictureOptions& options, const PictureProgress& progress);
bool SaveSvgPicture(const std::wstring& target, const std::vector<std::string>& lines, const PictureStyle& style,
                    const PictureOptions& options, const PictureProgress& progress);

// The picture of `lines` at scale 1 as clipboard blocks: a packed 24-bit bottom-up DIB (CF_DIB)
// and the same picture as PNG bytes. Throws AppError when the system cannot make them.
struct ClipboardPicture {
    UniqueGlobal dib;
    UniqueGlobal png;
};
ClipboardPicture MakeClipboardPicture(const std::vector<std::string>& lines, const PictureStyle& style);

}  // namespace platform
