#include "platform/view_font.hpp"

#include <algorithm>

namespace platform {

UniqueGdi CreateViewFont(const std::string& face, int height) {
    return UniqueGdi(::CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, OEM_CHARSET, OUT_DEFAULT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, face.c_str()));
}

// The margin is the edit control's: half of GDI's own average width of the 52 letters.
std::optional<core::CellGrid> MeasureCellGrid(HWND wnd, HFONT font) {
    WindowDC dc(wnd);
    if (!dc.get()) return std::nullopt;
    SelectedObject selected(dc.get(), font);
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc.get(), &tm);
    SIZE letters{};
    static const wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    ::GetTextExtentPoint32W(dc.get(), kLetters, 52, &letters);
    const int average = static_cast<int>((letters.cx / 26 + 1) / 2);
    core::CellGrid grid;
    grid.cell = std::max<int>(1, tm.tmAveCharWidth);
    grid.line = std::max<int>(1, tm.tmHeight);
    grid.margin = (tm.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) ? average / 2 : 0;
    return grid;
}

}  // namespace platform
