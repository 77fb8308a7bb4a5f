#pragma once
// Pixels per inch as a window sees them. The program declares itself aware of each monitor's DPI
// (its manifest), so nothing is stretched by the system: every size designed in pixels at 96 dpi
// is scaled here, and a window that moves to a screen of another DPI is told so (WM_DPICHANGED).
// The calls that know about monitors' DPIs arrived with Windows 10; older systems have one DPI
// for every screen, which is what the fallbacks give.
#include <windows.h>

namespace platform {

constexpr int kDesignDpi = 96;
constexpr UINT kWmDpiChanged = 0x02E0;  // WM_DPICHANGED: the new DPI in LOWORD(wParam), the suggested frame in lParam

// The DPI of the system (the primary screen at logon).
int SystemDpi();
// The DPI of the screen the window is on; the system's where the system tells no other.
int WindowDpi(HWND wnd);
// A size designed at 96 dpi, at `dpi`, rounded half away from zero; never past the int's range.
int ScaleToDpi(int designed, int dpi);
// A size at `dpi` as it would be at 96 dpi.
int UnscaleFromDpi(int pixels, int dpi);
// The frame around a client rectangle, with the frame metrics of `dpi` where the system has them.
void AdjustFrameForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi);
// The system's status bar font at `dpi`.
LOGFONTW StatusFontFor(int dpi);

}  // namespace platform
