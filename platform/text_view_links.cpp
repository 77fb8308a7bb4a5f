// The view's links under the mouse: the hand cursor, the tip with the address, and a press and
// release on one link without a drag between them, which is a click on it rather than a selection.
#include "platform/text_view.hpp"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <new>

#include "core/view_links.hpp"

namespace platform {
namespace {

int Saturated32(long long value) { return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX)); }

}  // namespace

std::optional<core::Link> TextView::LinkAt(POINT client) const { return LinkUnder(core::Pixel{client.x, client.y}); }

std::optional<core::Link> TextView::LinkUnder(core::Pixel at) const { return core::LinkUnder(Rows(), grid_, scroll_, at); }

bool TextView::CursorOverLink() const {
    POINT at{};
    if (!::GetCursorPos(&at) || !::ScreenToClient(wnd_, &at)) return false;
    RECT client{};
    ::GetClientRect(wnd_, &client);
    return ::PtInRect(&client, at) && LinkAt(at);
}

void TextView::HoverAt(core::Pixel at) {
    const auto link = LinkUnder(at);
    if (!link) return tip_->Clear();
    try {
        tip_->Point(LinkCellsInRow(*link, at), core::LinkTarget(Text(), *link));
    } catch (const std::bad_alloc&) {  // no memory for the tip's text: no tip
        tip_->Clear();
    }
}

// The cells of the part of a link on the row under `at` (a wrapped link has a part on each row).
RECT TextView::LinkCellsInRow(const core::Link& link, core::Pixel at) const {
    const auto rowsDown = static_cast<std::size_t>(std::max<long long>(0, at.y) / std::max(1, grid_.line));
    const core::Row row = Rows().At(scroll_.top + rowsDown);
    const core::Pixel first = PixelOf(std::max(link.start, row.start));
    const core::Pixel last = PixelOf(std::max(std::min(link.end, row.end), row.start + 1) - 1);
    return RECT{Saturated32(first.x), Saturated32(first.y), Saturated32(last.x + grid_.cell),
                Saturated32(first.y + grid_.line)};
}

// Shift+press extends the selection: that is selecting, never a click on a link.
void TextView::PressLink(core::Pixel at, bool extend) {
    pressedLink_ = extend ? std::nullopt : LinkUnder(at);
    pressedAt_ = at;
}

// Within the system's drag distance of the press, a move is still part of a click.
bool TextView::StillAClick(core::Pixel at) const {
    return pressedLink_ && std::llabs(at.x - pressedAt_.x) <= ::GetSystemMetrics(SM_CXDRAG) &&
           std::llabs(at.y - pressedAt_.y) <= ::GetSystemMetrics(SM_CYDRAG);
}

std::optional<core::Link> TextView::ReleasedOnPressedLink(core::Pixel at) {
    std::optional<core::Link> pressed;
    pressed.swap(pressedLink_);
    if (!pressed || LinkUnder(at) != pressed) return std::nullopt;
    return pressed;
}

}  // namespace platform
