// Panning, as browsers do it: the middle button pressed in the view and the mouse moved away from
// that point scrolls the view towards the mouse, the faster the farther (core::PanSpeed), until
// the button is released. It moves the view only, never the caret or the selection.
#include "platform/text_view.hpp"

namespace platform {
namespace {

constexpr UINT_PTR kPanTimer = 3;
constexpr UINT kPanTick = 30;  // ms: the speeds are pixels a tick
constexpr WORD kPanCursor = 32646;  // IDC_SIZEALL: a system cursor, no text goes through the call

core::Pixel PointOf(LPARAM lp) { return core::Pixel{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))}; }

}  // namespace

// Before the view's own mouse handling: a release still reaches it (copy on select, the owner's
// event), a move while panning does not (it would hover links or extend a selection).
std::optional<LRESULT> TextView::HandlePan(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:  // a second press soon after the first pans as well
        ::SetFocus(wnd_);
        if (::IsWindow(wnd_) && !dragging_) StartPan(PointOf(lp));
        return 0;
    case WM_MOUSEMOVE:
        if (!pan_) return std::nullopt;
        pan_->mouse = PointOf(lp);
        return 0;
    case WM_TIMER:
        if (wp != kPanTimer) return std::nullopt;
        PanTick();
        return 0;
    case WM_SETCURSOR:
        if (!pan_) return std::nullopt;
        ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(kPanCursor)));
        return TRUE;
    case WM_MBUTTONUP:
    case WM_CAPTURECHANGED:
    case WM_KILLFOCUS:
        StopPan();
        return std::nullopt;
    default: return std::nullopt;
    }
}

void TextView::StartPan(core::Pixel at) {
    tip_->Clear();
    pan_ = Pan{at, at, core::PanScroll{}};
    ::SetCapture(wnd_);
    ::SetTimer(wnd_, kPanTimer, kPanTick, nullptr);
    ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(kPanCursor)));
}

void TextView::PanTick() {
    if (!pan_) return;
    const core::Pixel from{pan_->mouse.x - pan_->pressedAt.x, pan_->mouse.y - pan_->pressedAt.y};
    const core::PanMove move = pan_->scroll.Tick(from, grid_.line);
    if (move.rows != 0 || move.x != 0)
        ScrollTo(static_cast<long long>(scroll_.top) + move.rows, scroll_.x + move.x);
}

// Ended before the capture is let go: letting it go comes back here as WM_CAPTURECHANGED.
void TextView::StopPan() {
    if (!pan_) return;
    pan_.reset();
    ::KillTimer(wnd_, kPanTimer);
    if (::GetCapture() == wnd_) ::ReleaseCapture();
}

}  // namespace platform
