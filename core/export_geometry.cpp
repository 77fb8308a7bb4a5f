#include "core/export_geometry.hpp"

#include <algorithm>
#include <limits>

#include "core/shown_file.hpp"

namespace core {
namespace {
constexpr long long kIntMax = std::numeric_limits<int>::max();
}  // namespace

const char kExportNoFileText[] = "Open a file first.";
const char kExportTooManyLinesText[] = "Sorry, cannot export files longer than 300 lines.";
const char kExportLinesTooLongText[] = "Sorry, cannot export files with lines longer than 200 characters.";
const char kExportOverwriteText[] = "File already exists, do you want to overwrite?";
const char kExportWriteErrorText[] = "Stream write error";

std::string ExportOverShownFileText(std::string_view target) {
    return "Cannot export over '" + std::string(target) +
           "', the file being shown. Choose another name for the picture.";
}

std::string ExportCannotCreateText(std::string_view fullPath, std::string_view reason) {
    std::string text = "Cannot create file \"";
    text.append(fullPath);
    text += "\". ";
    text.append(reason);
    return text;
}

int ExportLineCount(int displayLines, std::string_view lastDisplayLine) {
    if (displayLines <= 0) return 0;
    return lastDisplayLine.empty() ? displayLines - 1 : displayLines;
}

std::size_t LongestLine(const std::vector<std::string>& lines) {
    std::size_t longest = 0;
    for (const std::string& line : lines) longest = std::max(longest, line.size());
    return longest;
}

std::optional<std::string_view> ExportLineCountRefusal(int lines) {
    if (lines > kExportMaxLines) return kExportTooManyLinesText;
    return std::nullopt;
}

std::optional<std::string_view> ExportLineLengthRefusal(std::size_t longest) {
    if (longest > kExportMaxLineLength) return kExportLinesTooLongText;
    return std::nullopt;
}

PictureSize ExportPictureSize(CellSize cell, std::size_t longest, int lines) {
    // The limits keep the product small, but a font could report anything: never overflow.
    auto times = [](int size, long long count) {
        const long long product = std::max(size, 0) * std::clamp(count, 0LL, kIntMax);
        return static_cast<int>(std::min(product, kIntMax));
    };
    const long long columns = static_cast<long long>(std::min<std::size_t>(longest, static_cast<std::size_t>(kIntMax)));
    return PictureSize{times(cell.width, columns), times(cell.height, lines)};
}

std::string DefaultExportName(std::string_view shownPath) {
    const std::string_view name = FileNameOf(shownPath);
    const std::size_t dot = name.rfind('.');
    const std::string_view base = dot == std::string_view::npos ? name : name.substr(0, dot);
    return std::string(base) + ".bmp";
}

}  // namespace core
