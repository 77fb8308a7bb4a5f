// The view's layout and scrolling: the frame, the scroll bars, the wheel, and the rows laid out
// around what is shown (the rest in idle time), so the text at the top never moves.
#include "platform/text_view.hpp"

#include <algorithm>
#include <optional>

#include "platform/scroll_bar.hpp"

namespace platform {
namespace {

constexpr UINT kRefineTick = 10;  // ms; a timer comes only when no other message waits
constexpr std::size_t kRefineBytes = 256 << 10;  // laid out per tick: a few milliseconds
constexpr UINT kSpiGetWheelScrollChars = 0x006C;  // SPI_GETWHEELSCROLLCHARS, from Vista on

std::optional<core::ScrollAction> ScrollActionOf(WORD code) {
    switch (code) {
    case SB_LINEUP: return core::ScrollAction::LineBack;
    case SB_LINEDOWN: return core::ScrollAction::LineOn;
    case SB_PAGEUP: return core::ScrollAction::PageBack;
    case SB_PAGEDOWN: return core::ScrollAction::PageOn;
    case SB_TOP: return core::ScrollAction::Start;
    case SB_BOTTOM: return core::ScrollAction::End;
    default: return std::nullopt;
    }
}

}  // namespace

// ---- layout and scrolling -----------------------------------------------------------------------

core::Frame TextView::ClientFrame() const {
    RECT client{};
    ::GetClientRect(wnd_, &client);
    return core::Frame{client.right, client.bottom, grid_};
}

// The format width: the client area less the margins. Wrap off gives a width that wraps nothing.
core::WrapWidth TextView::Wrapping() const {
    if (!wrap_) return core::WrapWidth{};
    return core::WrapWidth{ClientFrame().FormatWidth(), grid_.cell};
}

core::ScrollLimits TextView::Limits() const {
    const core::Frame frame = ClientFrame();
    return core::ScrollLimits{Rows().Count(), frame.PageRows(),
                              wrap_ ? 0 : core::LastX(TextWidth(), frame.FormatWidth())};
}

long long TextView::TextWidth() const { return static_cast<long long>(text_.Index().WidestCells()) * grid_.cell; }

void TextView::Relayout() {
    if (!wnd_) return;
    tip_->Clear();
    KeepTopInPlace();
    const std::size_t topOffset = Rows().At(scroll_.top).start;
    text_.Rewrap(Wrapping());
    SetTop(Rows().RowOf(topOffset));
    SettleLayout();
    ScrollTo(static_cast<long long>(scroll_.top), scroll_.x);
    UpdateScrollBars();
    PlaceCaret();
    Repaint();
}

void TextView::OnSize() {
    if (Wrapping().pixels != text_.WrapPixels()) Relayout();  // a new width wraps anew
    ScrollTo(static_cast<long long>(scroll_.top), scroll_.x);
    UpdateScrollBars();
    Repaint();
}

void TextView::ScrollTo(long long top, long long x) {
    KeepTopInPlace();
    const core::Scroll to = core::ClampScroll(top, x, Limits());
    if (to == scroll_) return;
    scroll_.x = to.x;
    SetTop(to.top);
    SettleLayout();
    tip_->Clear();  // the text under the mouse moved
    UpdateScrollBars();
    PlaceCaret();
    Repaint();
}

void TextView::UpdateScrollBars() {
    const core::Frame frame = ClientFrame();
    SetScrollBar(wnd_, SB_VERT, core::VerticalBar(Rows().Count(), frame.PageRows(), scroll_.top));
    if (wrap_) return;
    const long long lastX = core::LastX(TextWidth(), frame.FormatWidth());
    SetScrollBar(wnd_, SB_HORZ, core::HorizontalBar(TextWidth(), frame.FormatWidth(), scroll_.x, lastX));
}

void TextView::OnScroll(int bar, WORD code) {
    const bool vertical = bar == SB_VERT;
    const core::Frame frame = ClientFrame();
    long long to = 0;
    if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) {
        const core::BarInfo track = TrackedScrollBar(wnd_, bar);
        to = vertical ? track.pos : core::XAtThumb(track.pos, track, TextWidth());
    } else if (const auto action = ScrollActionOf(code)) {
        to = vertical ? core::ScrollTarget(*action, static_cast<long long>(scroll_.top), 1,
                                           static_cast<long long>(frame.PageRows()), static_cast<long long>(Rows().Count()))
                      : core::ScrollTarget(*action, scroll_.x, grid_.cell, frame.FormatWidth(), TextWidth());
    } else {
        return;
    }
    ScrollTo(vertical ? to : static_cast<long long>(scroll_.top), vertical ? scroll_.x : to);
}

void TextView::OnWheel(short delta) {
    UINT lines = 3;
    ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const int notches = wheel_.Add(delta);
    if (notches == 0) return;
    const long long rows = lines == WHEEL_PAGESCROLL ? static_cast<long long>(ClientFrame().PageRows()) : lines;
    ScrollTo(static_cast<long long>(scroll_.top) - notches * rows, scroll_.x);
}

// Shift with the wheel, or the tilt wheel: sideways by the system's characters a notch.
void TextView::OnSideWheel(short rightward) {
    UINT cells = 3;
    if (!::SystemParametersInfoW(kSpiGetWheelScrollChars, 0, &cells, 0)) cells = 3;
    const int notches = sideWheel_.Add(rightward);
    if (notches == 0) return;
    ScrollTo(static_cast<long long>(scroll_.top), scroll_.x + static_cast<long long>(notches) * cells * grid_.cell);
}

// Space and Shift+Space: a page of reading on or back, as a viewer pages. The caret and the
// selection stay where they are, like the scroll bar's page.
void TextView::ScrollPage(bool down) {
    const auto page = static_cast<long long>(ClientFrame().PageRows());
    ScrollTo(static_cast<long long>(scroll_.top) + (down ? page : -page), scroll_.x);
}

// ---- the rows laid out around what is shown ------------------------------------------------------

void TextView::SetTop(std::size_t row) {
    scroll_.top = row;
    topStart_ = Rows().At(row).start;  // lays out the top's block, which renumbers no row before it
    seenGeneration_ = Rows().Generation();
}

// A page above the top and two below are laid out, so a step up or down lands in rows whose
// numbers are settled: the text never jumps. The caret's block too, so that its row is known.
void TextView::SettleLayout() {
    if (!wnd_) return;
    if (!Rows().Exact()) {
        const std::size_t page = ClientFrame().PageRows();
        Rows().LayOutAround(topStart_, page + 1, 2 * page + 1);
        Rows().LayOutAround(caret_, 0, 0);
    }
    KeepTopInPlace();
    if (Rows().Exact() == !refining_) return;
    refining_ = !Rows().Exact();
    if (refining_)
        ::SetTimer(wnd_, kRefineTimer, kRefineTick, nullptr);
    else
        ::KillTimer(wnd_, kRefineTimer);
}

// Blocks laid out before the top give it a new number, never a new text: the scroll bar's thumb
// moves a little, the text stays.
void TextView::KeepTopInPlace() {
    Rows().LayOutAround(caret_, 0, 0);  // every placing of the caret asks for its row
    if (Rows().Generation() == seenGeneration_) return;
    scroll_.top = Rows().RowOf(topStart_);
    seenGeneration_ = Rows().Generation();
    UpdateScrollBars();
    PlaceCaret();
}

// The rest of the text is laid out a slice at a time while nothing else waits; a slice moves the
// top's number by half a page at most (or one block's error, when a block has more).
void TextView::RefineInIdle() {
    Rows().Refine(kRefineBytes, topStart_, std::max<std::size_t>(ClientFrame().PageRows() / 2, 1));
    SettleLayout();
}

}  // namespace platform
