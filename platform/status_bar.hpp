#pragma once
// The main window's status bar: five panels from the moment the bar exists (path, separator,
// size, separator, date), so a text written before the window is first sized is kept. Texts are
// UTF-8 here and Unicode in the control.
#include <windows.h>

#include <array>
#include <string>

namespace platform {

class StatusBar {
public:
    static constexpr int kPanels = 5;

    StatusBar(HWND parent, int id);
    StatusBar(const StatusBar&) = delete;
    StatusBar& operator=(const StatusBar&) = delete;

    HWND Handle() const { return wnd_; }
    // Fits the bar to its parent's width, panel 0 taking what the fixed panels leave (even when
    // that is negative); returns the bar's height.
    int Layout();
    void SetText(int panel, const std::string& utf8);
    std::string Text(int panel) const;
    std::array<int, kPanels> Widths() const { return widths_; }

private:
    void ApplyWidths(int barWidth);

    HWND wnd_ = nullptr;
    std::array<int, kPanels> widths_{120, 4, 110, 4, 110};
};

}  // namespace platform
