#include "platform/status_bar.hpp"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "core/text_encoding.hpp"
#include "platform/dpi.hpp"
#include "platform/unicode.hpp"

namespace platform {
namespace {

// At 96 dpi: the path's panel takes what the others leave.
constexpr std::array<int, StatusBar::kPanels> kDesignedWidths{120, 4, 110, 4, 110, 100};
constexpr int kTextInset = 4;   // at 96 dpi, each side of a panel's text
constexpr int kSizeGrip = 17;   // at 96 dpi, over the last panel's right end
constexpr int kSizePanel = 2;
constexpr int kDatePanel = 4;

int ClientWidth(HWND wnd) {
    RECT client{};
    ::GetClientRect(wnd, &client);
    return client.right;
}

constexpr int kPercentWidth = 36;  // "100%" right of the bar, in the status bar's font
constexpr int kProgressInset = 2;

}  // namespace

StatusBar::StatusBar(HWND parent, int id, int dpi) {
    wnd_ = ::CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    ApplyDpi(dpi);
    // The parts exist before any text: an overlapped window gets its first WM_SIZE only when it
    // is shown, and a text given to a part that does not exist yet is lost.
    ApplyWidths(ClientWidth(parent));
    for (int panel = 0; panel < kPanels; ++panel) SetText(panel, "");
}

int StatusBar::Layout() {
    ::SendMessageW(wnd_, WM_SIZE, 0, 0);
    RECT bar{};
    ::GetWindowRect(wnd_, &bar);
    ApplyWidths(bar.right - bar.left);
    return bar.bottom - bar.top;
}

// The font goes first: the bar takes its height from it, and the texts their widths.
void StatusBar::ApplyDpi(int dpi) {
    dpi_ = dpi;
    const LOGFONTW wanted = StatusFontFor(dpi);
    UniqueGdi font(::CreateFontIndirectW(&wanted));
    if (font) {
        ::SendMessageW(wnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
        font_ = std::move(font);
    }
    for (int panel = 1; panel < kPanels; ++panel) widths_[panel] = ScaleToDpi(kDesignedWidths[panel], dpi);
    for (const int panel : {kSizePanel, kDatePanel}) FitText(panel, Widen(Text(panel)));
    FitText(kEncodingPanel, Widen(std::string(core::LongestEncodingName())));
}

// Whether the panel had to widen for the text.
bool StatusBar::FitText(int panel, const std::wstring& text) {
    if ((panel != kSizePanel && panel != kDatePanel && panel != kEncodingPanel) || text.empty()) return false;
    int needed = TextWidth(text) + 2 * ScaleToDpi(kTextInset, dpi_);
    if (panel == kPanels - 1) needed += ScaleToDpi(kSizeGrip, dpi_);
    if (needed <= widths_[static_cast<std::size_t>(panel)]) return false;
    widths_[static_cast<std::size_t>(panel)] = needed;
    return true;
}

int StatusBar::TextWidth(const std::wstring& text) const {
    WindowDC dc(wnd_);
    SelectedObject font(dc.get(), font_.get());
    SIZE extent{};
    ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    return extent.cx;
}

void StatusBar::ShowProgress(int permille) {
    if (!progress_) {
        hiddenText_ = Text(kProgressPanel);
        progress_ = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | PBS_SMOOTH, 0, 0, 0, 0, wnd_, nullptr,
                                      ::GetModuleHandleW(nullptr), nullptr);
        ::SendMessageW(progress_, PBM_SETRANGE32, 0, 1000);
        PlaceProgress();
        ::ShowWindow(progress_, SW_SHOWNA);
    }
    ::SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(permille), 0);
    // Two tabs put the text at the panel's right edge, beside the bar.
    SetText(kProgressPanel, "\t\t" + std::to_string(permille / 10) + "%");
}

void StatusBar::HideProgress() {
    if (!progress_) return;
    ::DestroyWindow(progress_);
    progress_ = nullptr;
    SetText(kProgressPanel, hiddenText_);
}

void StatusBar::PlaceProgress() {
    if (!progress_) return;
    RECT panel{};
    ::SendMessageW(wnd_, SB_GETRECT, kProgressPanel, reinterpret_cast<LPARAM>(&panel));
    const int inset = ScaleToDpi(kProgressInset, dpi_);
    ::MoveWindow(progress_, panel.left + inset, panel.top + inset,
                 std::max(0, static_cast<int>(panel.right - panel.left) - ScaleToDpi(kPercentWidth, dpi_) - inset),
                 std::max(0, static_cast<int>(panel.bottom - panel.top) - 2 * inset), TRUE);
}

void StatusBar::ApplyWidths(int barWidth) {
    widths_[0] = barWidth;
    for (int panel = 1; panel < kPanels; ++panel) widths_[0] -= widths_[static_cast<std::size_t>(panel)];
    int edges[kPanels];
    int right = 0;
    for (int panel = 0; panel < kPanels - 1; ++panel) edges[panel] = right += widths_[panel];
    edges[kPanels - 1] = -1;
    ::SendMessageW(wnd_, SB_SETPARTS, kPanels, reinterpret_cast<LPARAM>(edges));
    PlaceProgress();
}

void StatusBar::SetText(int panel, const std::string& utf8) {
    // Panels 1 and 3 are the sunken separators, and the encoding panel is sunken as a field one
    // clicks; the other text panels have no bevel.
    const WPARAM bevel = (panel == 1 || panel == 3 || panel == kEncodingPanel) ? 0 : SBT_NOBORDERS;
    const std::wstring text = Widen(utf8);
    if (FitText(panel, text)) ApplyWidths(ClientWidth(::GetParent(wnd_)));
    ::SendMessageW(wnd_, SB_SETTEXTW, static_cast<WPARAM>(panel) | bevel, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string StatusBar::Text(int panel) const {
    const LRESULT info = ::SendMessageW(wnd_, SB_GETTEXTLENGTHW, static_cast<WPARAM>(panel), 0);
    std::wstring text(static_cast<std::size_t>(LOWORD(info)) + 1, L'\0');
    ::SendMessageW(wnd_, SB_GETTEXTW, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(text.data()));
    text.resize(LOWORD(info));
    return Narrow(text);
}

}  // namespace platform
