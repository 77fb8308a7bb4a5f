#pragma once
// Where a dialog first appears: centred over its owner, never left of or above the desktop.
namespace core {

struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// The halves are truncated toward zero; only the desktop's left and top edges bound the result,
// so a dialog may still reach past the right or bottom edge.
ScreenPoint CentredOver(const ScreenRect& owner, int dialogWidth, int dialogHeight, ScreenPoint desktopOrigin);

}  // namespace core
