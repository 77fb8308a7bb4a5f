#pragma once
// The view's text as a BMP picture: the line list read out of the view, the save dialog, and the
// picture drawn by the view's own row painter (CP437 glyphs in the view's font and colours, line
// and block art as shapes, one cell row per line) into a device-independent bitmap that is then
// written out whole.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/export_geometry.hpp"
#include "core/row_cells.hpp"
#include "platform/prompts.hpp"
#include "platform/text_view.hpp"
#include "platform/view_painter.hpp"
#include "platform/win_handles.hpp"

namespace platform {

// The number of lines in the view's line list (its display lines less an empty last one).
int ExportLineCount(const TextView& view);
// Copies of the first `count` lines: drawing lets messages run, and nothing the user does
// meanwhile (word wrap, a resize) may change the picture half way.
std::vector<std::string> ReadExportLines(const TextView& view, int count);

// The view's font and colours at one moment, for the same reason.
struct PictureStyle {
    LOGFONTW font{};
    COLORREF text = 0;
    COLORREF back = 0;
};
PictureStyle PictureStyleOf(const TextView& view);

// Shows the save dialog with the offered name (UTF-8); the chosen path, or nullopt when cancelled.
std::optional<std::wstring> AskExportFile(Prompts& prompts, HWND owner, std::string_view offeredName);
// Exists and is not a folder.
bool ExportTargetExists(const std::wstring& path);

// What the picture asks the system to make: the real calls, or in a test one that fails.
struct PictureGdi {
    HDC (*memoryDc)();
    HFONT (*font)(const LOGFONTW& font);
    HBITMAP (*bitmap)(HDC dc, const BITMAPINFO& info, void** bits);
};
const PictureGdi& SystemPictureGdi();

class ExportPicture {
public:
    // Cells measured from "A"; at the screen's depth when it is 16, 24 or 32 bits, else 32.
    // Throws AppError naming what the system could not make, with its reason when it gave one.
    ExportPicture(const PictureStyle& style, std::size_t longest, int lines, const PictureGdi& gdi = SystemPictureGdi());
    ExportPicture(const ExportPicture&) = delete;
    ExportPicture& operator=(const ExportPicture&) = delete;

    core::CellSize Cell() const { return cell_; }
    core::PictureSize Size() const { return size_; }

    // Line `row` from its cell row's left edge, one cell per byte (a tab is a blank cell); the
    // whole row band is painted, the background right of the line included. Every row is drawn
    // once: the picture has no fill of its own.
    void DrawLine(int row, std::string_view bytes);
    // Writes the BMP file in target's place (see ReplacingFile); a picture without pixels is the
    // two headers alone.
    void Save(const std::wstring& target) const;

private:
    // Declared before the DC so they outlive it: deleting the DC lets go of what it has selected.
    UniqueGdi font_;
    UniqueGdi bitmap_;
    UniqueMemoryDC dc_;
    void* bits_ = nullptr;
    core::CellSize cell_;
    core::PictureSize size_;
    int bitsPerPixel_ = 32;
    std::optional<RowPainter> painter_;  // made once the bitmap is selected; goes before the DC
    core::RowCells cells_;
    std::string line_;
};

// The whole export: the picture of `lines`, `afterLine` run after each drawn line, then saved.
// False, with nothing written, when afterLine said to stop.
bool ExportBitmap(const std::wstring& target, const std::vector<std::string>& lines, const PictureStyle& style,
                  const std::function<bool()>& afterLine);

}  // namespace platform
