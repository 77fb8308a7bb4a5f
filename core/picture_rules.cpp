#include "core/picture_rules.hpp"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace core {
namespace {

std::string_view ExtensionOf(std::string_view path) {
    const std::size_t cut = path.find_last_of("\\/:");
    const std::string_view name = cut == std::string_view::npos ? path : path.substr(cut + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

bool SameAscii(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string WithThousands(long long value) {
    std::string digits = std::to_string(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

std::string SizeText(PictureExtent extent) {
    return WithThousands(extent.width) + " x " + WithThousands(extent.height) + " pixels";
}

int ChannelDistance(std::uint32_t a, std::uint32_t b, int shift) {
    return std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
}

}  // namespace

PictureTarget ChoosePictureTarget(std::string_view chosenPath, unsigned filterIndex) {
    const std::string_view extension = ExtensionOf(chosenPath);
    if (SameAscii(extension, ".svg")) return {std::string(chosenPath), PictureFormat::Svg};
    if (SameAscii(extension, ".png")) return {std::string(chosenPath), PictureFormat::Png};
    const PictureFormat format = filterIndex == kPictureFilterSvg ? PictureFormat::Svg : PictureFormat::Png;
    std::string path(chosenPath);
    if (extension.empty()) path += format == PictureFormat::Svg ? ".svg" : ".png";
    return {std::move(path), format};
}

std::string DefaultPictureName(std::string_view shownPath) {
    std::string name = DefaultExportName(shownPath);
    name.replace(name.size() - 4, 4, ".png");  // the export's name always ends in ".bmp"
    return name;
}

PictureExtent ScaledPictureExtent(CellSize cell, std::size_t longest, long long lines, int scale) {
    if (cell.width <= 0 || cell.height <= 0 || lines <= 0 || scale <= 0) return {};
    // Past the limit the exact figure no longer matters; saturating keeps it from wrapping.
    const long long cap = kPictureMaxSide * 1000;
    const long long columns = static_cast<long long>(std::min<std::size_t>(longest, static_cast<std::size_t>(cap)));
    const long long rows = std::min(lines, cap);
    return {columns * cell.width * scale, rows * cell.height * scale};
}

std::optional<std::string> PictureSizeRefusal(PictureExtent extent) {
    if (extent.width <= kPictureMaxSide && extent.height <= kPictureMaxSide) return std::nullopt;
    return "Sorry, cannot save a picture larger than " + WithThousands(kPictureMaxSide) +
           " pixels on a side: this one would be " + SizeText(extent) + ".";
}

std::optional<std::string> ClipboardPictureRefusal(PictureExtent extent) {
    if (extent.width <= kPictureMaxSide && extent.height <= kPictureMaxSide &&
        extent.width * extent.height <= kClipboardMaxPixels)
        return std::nullopt;
    return "Sorry, cannot copy a picture of more than " + WithThousands(kClipboardMaxPixels) +
           " pixels: this one would be " + SizeText(extent) + ". Select fewer lines, or use Save as Picture.";
}

int StripLines(long long width, int cellHeight, long long budgetBytes, int lines) {
    const long long perLine = std::max(1LL, width) * std::max(1, cellHeight) * 4;
    const long long fit = budgetBytes / perLine;
    return static_cast<int>(std::clamp<long long>(fit, 1, std::max(1, lines)));
}

std::uint8_t InkCoverage(std::uint32_t pixel, std::uint32_t text, std::uint32_t back) {
    int best = 0;
    int channel = 0;
    for (const int shift : {0, 8, 16}) {
        const int distance = ChannelDistance(text, back, shift);
        if (distance > best) best = distance, channel = shift;
    }
    if (best == 0) return 0;
    const int toward = ((text >> channel) & 0xFF) > ((back >> channel) & 0xFF) ? 1 : -1;
    const int moved = (static_cast<int>((pixel >> channel) & 0xFF) - static_cast<int>((back >> channel) & 0xFF)) * toward;
    return static_cast<std::uint8_t>(std::clamp((moved * 255 + best / 2) / best, 0, 255));
}

}  // namespace core
