#pragma once
// Where a dialog first appears. The settings and about dialogs stand centred over their owner,
// never left of or above the desktop; the find dialog stands centred across its monitor, a third
// of the height the dialog leaves free down from the monitor's top. Later showings keep wherever
// the user left the dialog.
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

// Centred across the monitor, a third of the free height down; truncated toward zero, so a dialog
// larger than the monitor stands above and left of it by a half and a third of the excess.
ScreenPoint ThirdDownOnMonitor(const ScreenRect& monitor, int dialogWidth, int dialogHeight);

}  // namespace core
