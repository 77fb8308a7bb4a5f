#pragma once
// Owners for the system's handles: each closes what it holds exactly once. And the few
// measurements taken with them that more than one window needs.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <utility>

#include "core/dialog_placement.hpp"

namespace platform {

template <typename H, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, Traits::Invalid())) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(std::exchange(other.h_, Traits::Invalid()));
        return *this;
    }
    ~UniqueHandle() { reset(); }

    H get() const { return h_; }
    explicit operator bool() const { return h_ != Traits::Invalid(); }
    H release() { return std::exchange(h_, Traits::Invalid()); }
    void reset(H h = Traits::Invalid()) {
        if (h_ != Traits::Invalid()) Traits::Close(h_);
        h_ = h;
    }

private:
    H h_ = Traits::Invalid();
};

struct FileTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct KernelObjectTraits {  // events, threads: null when they could not be made
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct FindTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::FindClose(h); }
};
struct GdiTraits {
    static HGDIOBJ Invalid() { return nullptr; }
    static void Close(HGDIOBJ h) { ::DeleteObject(h); }
};
struct MenuTraits {
    static HMENU Invalid() { return nullptr; }
    static void Close(HMENU h) { ::DestroyMenu(h); }
};
struct ImageListTraits {
    static HIMAGELIST Invalid() { return nullptr; }
    static void Close(HIMAGELIST h) { ::ImageList_Destroy(h); }
};
struct MemoryDcTraits {
    static HDC Invalid() { return nullptr; }
    static void Close(HDC h) { ::DeleteDC(h); }
};
struct DropTraits {
    static HDROP Invalid() { return nullptr; }
    static void Close(HDROP h) { ::DragFinish(h); }
};

using UniqueFile = UniqueHandle<HANDLE, FileTraits>;
using UniqueFind = UniqueHandle<HANDLE, FindTraits>;
using UniqueKernelObject = UniqueHandle<HANDLE, KernelObjectTraits>;
using UniqueGdi = UniqueHandle<HGDIOBJ, GdiTraits>;
using UniqueMenu = UniqueHandle<HMENU, MenuTraits>;
using UniqueImageList = UniqueHandle<HIMAGELIST, ImageListTraits>;
using UniqueDrop = UniqueHandle<HDROP, DropTraits>;
using UniqueMemoryDC = UniqueHandle<HDC, MemoryDcTraits>;  // from CreateCompatibleDC

// A device context borrowed with GetDC, given back on scope exit.
class WindowDC {
public:
    explicit WindowDC(HWND wnd) : wnd_(wnd), dc_(::GetDC(wnd)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() { if (dc_) ::ReleaseDC(wnd_, dc_); }
    HDC get() const { return dc_; }

private:
    HWND wnd_;
    HDC dc_;
};

// An object selected into a device context for the scope's life; the one it replaced goes back
// in at the end. A null object selects nothing.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? ::SelectObject(dc, object) : nullptr) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (old_) ::SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

inline RECT WindowRectOf(HWND wnd) {
    RECT rect{};
    ::GetWindowRect(wnd, &rect);
    return rect;
}

inline core::ScreenRect ToScreenRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

inline int ScreenPixelsPerInch() {
    WindowDC screen(nullptr);
    return ::GetDeviceCaps(screen.get(), LOGPIXELSY);
}

// The width of a control's caption as the control draws it in its own font: one line, the
// ampersand of an access letter not counted unless the control shows it.
inline int CaptionWidth(HWND control) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    WindowDC dc(control);
    SelectedObject font(dc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    const bool noPrefix = (::GetWindowLongPtrW(control, GWL_STYLE) & SS_NOPREFIX) != 0;
    RECT extent{0, 0, 0, 0};
    ::DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent,
                DT_CALCRECT | DT_SINGLELINE | (noPrefix ? DT_NOPREFIX : 0));
    return extent.right;
}

}  // namespace platform
