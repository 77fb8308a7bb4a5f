#include "platform/scroll_bar.hpp"

namespace platform {

void SetScrollBar(HWND wnd, int bar, const core::BarInfo& numbers) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_PAGE | SIF_POS | SIF_RANGE | SIF_DISABLENOSCROLL;
    info.nMax = numbers.max;
    info.nPage = numbers.page;
    info.nPos = numbers.pos;
    ::SetScrollInfo(wnd, bar, &info, TRUE);
}

core::BarInfo TrackedScrollBar(HWND wnd, int bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS | SIF_RANGE | SIF_PAGE;
    ::GetScrollInfo(wnd, bar, &info);
    return core::BarInfo{info.nMax, info.nPage, info.nTrackPos};
}

}  // namespace platform
