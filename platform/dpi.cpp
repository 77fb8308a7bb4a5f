#include "platform/dpi.hpp"

#include "platform/win_handles.hpp"

namespace platform {
namespace {

// Looked up once: user32 is loaded for the life of the program.
struct DpiCalls {
    UINT(WINAPI* dpiForSystem)() = nullptr;
    UINT(WINAPI* dpiForWindow)(HWND) = nullptr;
    BOOL(WINAPI* adjustForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
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
        }
        return found;
    }();
    return calls;
}

}  // namespace

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

}  // namespace platform
