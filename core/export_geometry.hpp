#pragma once
// The rules of the bitmap export that need no window: which lines make the picture, when an export
// is refused, how large the picture is, and the file name offered for it.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

constexpr int kExportMaxLines = 300;
constexpr std::size_t kExportMaxLineLength = 200;

extern const char kExportNoFileText[];
extern const char kExportTooManyLinesText[];
extern const char kExportLinesTooLongText[];
extern const char kExportOverwriteText[];
extern const char kExportWriteErrorText[];

// "Cannot export over '<target>', the file being shown. Choose another name for the picture."
std::string ExportOverShownFileText(std::string_view target);

// "Cannot create file "<full path>". <reason>"; the error box adds the final full stop.
std::string ExportCannotCreateText(std::string_view fullPath, std::string_view reason);

// The view's line list is its display lines less a last one that is empty: the text ends with
// CR LF, and the empty line after it is not part of the picture. An empty view has no lines.
int ExportLineCount(int displayLines, std::string_view lastDisplayLine);

std::size_t LongestLine(const std::vector<std::string>& lines);

// The refusal for a line list of `lines` lines whose longest has `longest` characters, checked in
// that order so a list that breaks both limits reports its line count; nullopt when it fits.
std::optional<std::string_view> ExportLineCountRefusal(int lines);
std::optional<std::string_view> ExportLineLengthRefusal(std::size_t longest);

struct CellSize {
    int width = 0;
    int height = 0;
};
struct PictureSize {
    int width = 0;
    int height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
};

// One character cell per byte of the longest line across, one cell row per line down.
PictureSize ExportPictureSize(CellSize cell, std::size_t longest, int lines);

// The name offered in the save dialog for the shown file's path: its last component (after the
// last '\', '/' or ':') with the last extension replaced by ".bmp", or ".bmp" added when it has
// none. Works on UTF-8 bytes: the separators and the dot never occur inside a multi-byte character.
std::string DefaultExportName(std::string_view shownPath);

}  // namespace core
