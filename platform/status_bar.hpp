#pragma once
// The main window's status bar: six panels from the moment the bar exists (path, separator,
// size, separator, date, encoding), so a text written before the window is first sized is kept. Texts are
// UTF-8 here and Unicode in the control. The fixed panels' widths are designed at 96 dpi and
// scaled, with the system's status font, to the window's DPI; the size and date panels widen,
// never narrow, where their text would be cut (a font that grows faster than the DPI, a long date
// format); the encoding panel is as wide as its longest name, the size grip over it beside.
// While a long load runs, a progress bar stands in the size panel with the percentage beside it.
#include <windows.h>

#include <array>
#include <string>

#include "platform/win_handles.hpp"

namespace platform {

class StatusBar {
public:
    static constexpr int kPanels = 6;
    static constexpr int kEncodingPanel = 5;

    StatusBar(HWND parent, int id, int dpi);
    StatusBar(const StatusBar&) = delete;
    StatusBar& operator=(const StatusBar&) = delete;

    HWND Handle() const { return wnd_; }
    // Fits the bar to its parent's width, panel 0 taking what the fixed panels leave (even when
    // that is negative); returns the bar's height.
    int Layout();
    void SetText(int panel, const std::string& utf8);
    std::string Text(int panel) const;
    std::array<int, kPanels> Widths() const { return widths_; }
    // The window moved to a screen of another DPI; Layout then fits the bar anew.
    void ApplyDpi(int dpi);

    // The progress bar in the size panel at `permille` thousandths, made when first asked for.
    // Hiding it destroys it and gives the panel back its text.
    void ShowProgress(int permille);
    void HideProgress();
    HWND Progress() const { return progress_; }

    static constexpr int kProgressPanel = 2;

private:
    void ApplyWidths(int barWidth);
    bool FitText(int panel, const std::wstring& text);
    int TextWidth(const std::wstring& text) const;
    void PlaceProgress();

    HWND wnd_ = nullptr;
    int dpi_ = 96;
    UniqueGdi font_;
    HWND progress_ = nullptr;  // a child of the bar: it goes with it
    std::string hiddenText_;   // the size panel's text while the progress stands in it
    std::array<int, kPanels> widths_{120, 4, 110, 4, 110, 100};
};

}  // namespace platform
