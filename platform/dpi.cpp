#include "platform/dpi.hpp"

#include <algorithm>
#include <climits>

#include "platform/win_handles.hpp"

namespace platform {
namespace {

// Looked up once: user32 is loaded for the life of the program.
struct DpiCalls {
    UINT(WINAPI* dpiForSystem)() = nullptr;
    UINT(WINAPI* dpiForWindow)(HWND) = nullptr;
    BOOL(WINAPI* adjustForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
    BOOL(WINAPI* parametersForDpi)(UINT, UINT, void*, UINT, UINT) = nullptr;
};

template <typename F>
void Find(HMODULE module, const char* name, F& into) {
    into = reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

const DpiCalls& Calls() {
    static const DpiCalls calls = [] {
        DpiCalls found;
        if (HMODULE user = ::GetModuleHandleW(L"user32.dll")) {
            Find(user, "GetDpiForSystem", found.dpiForSystem);
            Find(user, "GetDpiForWindow", found.dpiForWindow);
            Find(user, "AdjustWindowRectExForDpi", found.adjustForDpi);
            Find(user, "SystemParametersInfoForDpi", found.parametersForDpi);
        }
        return found;
    }();
    return calls;
}

int Rescaled(int value, int to, int from) {
    if (from <= 0 || to <= 0) return value;
    const long long product = static_cast<long long>(value) * to;
    const long long half = from / 2;
    const long long result = product >= 0 ? (product + half) / from : -((-product + half) / from);
    return static_cast<int>(std::clamp<long long>(result, INT_MIN, INT_MAX));
}

}  // namespace

int ScaleToDpi(int designed, int dpi) { return Rescaled(designed, dpi, kDesignDpi); }
int UnscaleFromDpi(int pixels, int dpi) { return Rescaled(pixels, kDesignDpi, dpi); }

int SystemDpi() {
    if (Calls().dpiForSystem) {
        const UINT dpi = Calls().dpiForSystem();
        if (dpi > 0) return static_cast<int>(dpi);
    }
    const int dpi = ScreenPixelsPerInch();
    return dpi > 0 ? dpi : kDesignDpi;
}

int WindowDpi(HWND wnd) {
    if (wnd && Calls().dpiForWindow) {
        const UINT dpi = Calls().dpiForWindow(wnd);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    return SystemDpi();
}

void AdjustFrameForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
    if (Calls().adjustForDpi && Calls().adjustForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi))) return;
    ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

// Where the system cannot say for another DPI, its own font at the system's DPI, scaled.
LOGFONTW StatusFontFor(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (Calls().parametersForDpi &&
        Calls().parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi)))
        return metrics.lfStatusFont;
    metrics = NONCLIENTMETRICSW{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfStatusFont.lfHeight = ::MulDiv(metrics.lfStatusFont.lfHeight, dpi, SystemDpi());
    return metrics.lfStatusFont;
}

}  // namespace platform
