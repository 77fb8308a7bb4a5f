#pragma once
// The one way a window or dialog of ours reaches its object, and the one guard around the
// handlers that run inside the system's calls: no exception may cross into the system's code.
#include <windows.h>

#include <exception>
#include <new>
#include <string>

namespace platform {

// What std::bad_alloc says in the error box.
inline constexpr char kNotEnoughMemoryText[] = "There is not enough memory to finish this command";

// Runs handler; an error that escapes it ends it and `report` gets its message for the error box.
// False when the handler did not finish.
template <typename Handler, typename Report>
bool Guarded(Handler&& handler, Report&& report) noexcept {
    const auto tell = [&report](const char* message) noexcept {
        try {
            report(std::string(message));
        } catch (...) {  // the report itself failed (no memory for the box): nothing more can be said
        }
    };
    try {
        handler();
        return true;
    } catch (const std::bad_alloc&) {
        tell(kNotEnoughMemoryText);
    } catch (const std::exception& error) {
        tell(error.what());
    }
    return false;
}

// How the object arrives: a window's through CreateWindowExW at WM_NCCREATE, a dialog's through
// CreateDialogParamW at WM_INITDIALOG. Messages before it are the system's alone.
struct WindowProcedure {
    using Result = LRESULT;
    static constexpr UINT kAttach = WM_NCCREATE;
    static void* Object(LPARAM lp) { return reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams; }
    static LRESULT Unattached(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) { return ::DefWindowProcW(wnd, msg, wp, lp); }
};

struct DialogProcedure {
    using Result = INT_PTR;
    static constexpr UINT kAttach = WM_INITDIALOG;
    static void* Object(LPARAM lp) { return reinterpret_cast<void*>(lp); }
    static INT_PTR Unattached(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
};

// Base of a class T whose object owns one window: T passes `this` (as T*) when it creates the
// window, names Proc as its procedure, and answers every message in T::HandleMessage from the
// attaching one to WM_NCDESTROY, after which wnd_ is null again.
template <typename T, typename Procedure = WindowProcedure>
class BaseWindow {
protected:
    BaseWindow() = default;
    ~BaseWindow() = default;
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    static typename Procedure::Result CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == Procedure::kAttach) {
            T* self = static_cast<T*>(Procedure::Object(lp));
            self->wnd_ = wnd;
            ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        T* self = reinterpret_cast<T*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
        if (!self || self->wnd_ != wnd) return Procedure::Unattached(wnd, msg, wp, lp);
        if (msg != WM_NCDESTROY) return self->HandleMessage(msg, wp, lp);
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
        const typename Procedure::Result result = self->HandleMessage(msg, wp, lp);
        self->wnd_ = nullptr;
        return result;
    }

    HWND wnd_ = nullptr;
};

}  // namespace platform
