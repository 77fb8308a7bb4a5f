#pragma once
// The window frame follows the view's background: dark when the text stands on a dark colour, on
// the systems that draw dark frames (Windows 10 from 1809, 11). Elsewhere nothing changes.
#include <windows.h>

namespace platform {

void FollowBackground(HWND window, COLORREF background);

}  // namespace platform
