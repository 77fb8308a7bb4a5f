#include "core/dialog_placement.hpp"

#include <algorithm>
#include <cstdint>

namespace core {
namespace {

// The part of the room a dialog leaves free, in 64 bits so that no extent can overflow; the
// result always fits back in 32 bits.
int Share(int room, int extent, int parts) {
    return static_cast<int>((static_cast<std::int64_t>(room) - extent) / parts);
}

}  // namespace

ScreenPoint CentredOver(const ScreenRect& owner, int dialogWidth, int dialogHeight, ScreenPoint desktopOrigin) {
    const int x = owner.left + Share(owner.width, dialogWidth, 2);
    const int y = owner.top + Share(owner.height, dialogHeight, 2);
    return {std::max(x, desktopOrigin.x), std::max(y, desktopOrigin.y)};
}

ScreenPoint ThirdDownOnMonitor(const ScreenRect& monitor, int dialogWidth, int dialogHeight) {
    return {monitor.left + Share(monitor.width, dialogWidth, 2), monitor.top + Share(monitor.height, dialogHeight, 3)};
}

}  // namespace core
