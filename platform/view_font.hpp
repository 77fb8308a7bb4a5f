#pragma once
// The view's font: made from a face and a height in the OEM character set, and measured as the
// edit control measures its font, into the cell grid the view lays its text out on.
#include <windows.h>

#include <optional>
#include <string>

#include "core/view_navigation.hpp"
#include "platform/win_handles.hpp"

namespace platform {

UniqueGdi CreateViewFont(const std::string& face, int height);

// Cells of the font's average width, rows of its height, and margins of half a cell for the
// scalable fonts. Nothing when the window has no DC to measure with.
std::optional<core::CellGrid> MeasureCellGrid(HWND wnd, HFONT font);

}  // namespace platform
