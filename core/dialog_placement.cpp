#include "core/dialog_placement.hpp"

#include <algorithm>

namespace core {

ScreenPoint CentredOver(const ScreenRect& owner, int dialogWidth, int dialogHeight, ScreenPoint desktopOrigin) {
    // Integer division truncates toward zero, also when the dialog is larger than its owner.
    const int x = owner.left + (owner.width - dialogWidth) / 2;
    const int y = owner.top + (owner.height - dialogHeight) / 2;
    return {std::max(x, desktopOrigin.x), std::max(y, desktopOrigin.y)};
}

}  // namespace core
