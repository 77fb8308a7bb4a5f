#include "platform/title_bar.hpp"

#include "core/settings_dialog.hpp"

namespace platform {
namespace {

// The immersive dark mode attribute: 20 since Windows 10 20H1, 19 on the builds before it.
constexpr DWORD kDarkModeAttribute = 20;
constexpr DWORD kDarkModeAttributeBefore20H1 = 19;

using SetWindowAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);

// dwmapi stays loaded once asked for: the frame may change again at any time.
SetWindowAttribute FindSetWindowAttribute() {
    static const SetWindowAttribute call = [] {
        HMODULE dwm = ::LoadLibraryW(L"dwmapi.dll");
        return dwm ? reinterpret_cast<SetWindowAttribute>(
                         reinterpret_cast<void*>(::GetProcAddress(dwm, "DwmSetWindowAttribute")))
                   : nullptr;
    }();
    return call;
}

}  // namespace

void FollowBackground(HWND window, COLORREF background) {
    const SetWindowAttribute set = FindSetWindowAttribute();
    if (!window || !set) return;
    const BOOL dark = core::IsDarkColour(background) ? TRUE : FALSE;
    if (FAILED(set(window, kDarkModeAttribute, &dark, sizeof dark)))
        set(window, kDarkModeAttributeBefore20H1, &dark, sizeof dark);
}

}  // namespace platform
