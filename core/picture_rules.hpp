#pragma once
// The rules of the shared pictures (PNG, SVG, the clipboard's) that need no window: which format a
// chosen name means, how large a picture may be, how many lines a strip holds, and how a pixel of
// the drawn text becomes ink with an alpha on a transparent background.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/export_geometry.hpp"

namespace core {

enum class PictureFormat { Png, Svg };

// The filter list's order: PNG first, SVG second (filter indexes count from 1).
constexpr unsigned kPictureFilterPng = 1;
constexpr unsigned kPictureFilterSvg = 2;

struct PictureTarget {
    std::string path;
    PictureFormat format = PictureFormat::Png;
};

// A typed ".png" or ".svg" (any case) decides the format whatever type was chosen; a name without
// an extension gets the chosen type's; any other extension is kept, in the chosen type's format.
PictureTarget ChoosePictureTarget(std::string_view chosenPath, unsigned filterIndex);

// "<base>.png" for the shown file's path (see DefaultExportName).
std::string DefaultPictureName(std::string_view shownPath);

// Pixels on either side: far below PNG's own 2^31 - 1, and what keeps a strip of the widest
// picture and the encoder's row inside the memory a save is allowed.
constexpr long long kPictureMaxSide = 1'000'000;
// The clipboard holds a whole copy of the bitmap, and each program that pastes makes another: at
// most 8 million pixels (24 MiB as a 24-bit bitmap, about a 2,800 x 2,800 square).
constexpr long long kClipboardMaxPixels = 8'000'000;

// Scales offered: 1x to 3x, whole multiples so every pixel stays a crisp square.
constexpr int kPictureMaxScale = 3;

struct PictureExtent {
    long long width = 0;
    long long height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
};

// Cells of `cell` size, one per byte of the longest line across and one row per line down, times
// `scale`; in 64 bits, so no count of lines or columns can wrap it.
PictureExtent ScaledPictureExtent(CellSize cell, std::size_t longest, long long lines, int scale);

// The refusal for a picture past kPictureMaxSide, naming the limit and the size it would have had.
std::optional<std::string> PictureSizeRefusal(PictureExtent extent);
std::optional<std::string> ClipboardPictureRefusal(PictureExtent extent);

// Lines drawn at once: as many as keep a 32-bit strip of `width` pixels within `budgetBytes`, at
// least one, at most `lines`.
int StripLines(long long width, int cellHeight, long long budgetBytes, int lines);

// How much of the text colour a drawn pixel holds (0-255), where the drawing mixed the text colour
// into the background (a smoothed glyph's edge): read on the channel where the two differ most.
// Colours are 0x00BBGGRR. Text and background alike: no ink.
std::uint8_t InkCoverage(std::uint32_t pixel, std::uint32_t text, std::uint32_t back);

}  // namespace core
