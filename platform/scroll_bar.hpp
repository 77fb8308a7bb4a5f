#pragma once
// A window's standard scroll bars, set and read in the numbers core works them out in.
#include <windows.h>

#include "core/view_navigation.hpp"

namespace platform {

// Range, page and position; a bar with nothing to scroll stays shown, disabled.
void SetScrollBar(HWND wnd, int bar, const core::BarInfo& numbers);

// The bar's range and page, with the thumb's track position in `pos`: all 32 bits of it, where a
// scroll message carries only 16.
core::BarInfo TrackedScrollBar(HWND wnd, int bar);

}  // namespace platform
