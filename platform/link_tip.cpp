#include "platform/link_tip.hpp"

#include <commctrl.h>

#include "core/settings_values.hpp"
#include "platform/unicode.hpp"

namespace platform {
namespace {

constexpr UINT_PTR kToolId = 1;
// An address may be as long as 2 KiB: the tip shows its start and says that it goes on.
constexpr std::size_t kShownChars = 256;
constexpr int kTipPoints = 9;

std::wstring TipText(const std::string& address) {
    std::wstring text = Widen(address);
    if (text.size() > kShownChars) text.replace(kShownChars, std::wstring::npos, L"\u2026");
    return text;
}

// Version 1 of the structure: every version of the control takes it.
TTTOOLINFOW ToolOf(HWND view, const RECT& cells, const std::wstring& text) {
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.hwnd = view;
    tool.uId = kToolId;
    tool.rect = cells;
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    return tool;
}

}  // namespace

// Owned by no window: under Wine a main window that owns a popup can no longer be put above all
// others (Stay on Top). The tip shows itself above everything anyway, and goes with the view.
LinkTip::LinkTip(HWND view) : view_(view) {
    tip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
    if (!tip_) return;  // no tips, the links still work
    // A fixed-pitch face: every character of the address stands apart (l and 1, O and 0), so what
    // a click would open can be read exactly.
    font_.reset(::CreateFontW(core::FontHeightFromPoints(kTipPoints, ScreenPixelsPerInch()), 0, 0, 0, FW_NORMAL, FALSE,
                              FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              FIXED_PITCH | FF_MODERN, L"Lucida Console"));
    ::SendMessageW(tip_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    TTTOOLINFOW tool = ToolOf(view_, cells_, text_);
    ::SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

LinkTip::~LinkTip() {
    if (tip_ && ::IsWindow(tip_)) ::DestroyWindow(tip_);
}

void LinkTip::Point(const RECT& cells, const std::string& address) {
    std::wstring text = TipText(address);
    if (::EqualRect(&cells, &cells_) && text == text_) return;
    if (tip_) ::SendMessageW(tip_, TTM_POP, 0, 0);
    cells_ = cells;
    text_ = std::move(text);
    if (!tip_) return;
    TTTOOLINFOW tool = ToolOf(view_, cells_, text_);
    ::SendMessageW(tip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void LinkTip::Clear() {
    if (::IsRectEmpty(&cells_) && text_.empty()) return;
    Point(RECT{}, std::string());
}

void LinkTip::Relay(UINT msg, WPARAM wp, LPARAM lp) const {
    if (!tip_) return;
    MSG message{view_, msg, wp, lp, static_cast<DWORD>(::GetMessageTime()), {}};
    const DWORD at = ::GetMessagePos();
    message.pt = POINT{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    ::SendMessageW(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
}

}  // namespace platform
