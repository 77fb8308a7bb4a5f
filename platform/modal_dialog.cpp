#include "platform/modal_dialog.hpp"

namespace platform {

ModalDialog::ModalDialog(int templateId, HWND owner, DialogEvents& events) : owner_(owner), events_(events) {
    wnd_ = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), owner, &Procedure,
                                reinterpret_cast<LPARAM>(this));
}

ModalDialog::~ModalDialog() {
    if (wnd_ && ::IsWindow(wnd_)) ::DestroyWindow(wnd_);
}

INT_PTR CALLBACK ModalDialog::Procedure(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        auto* self = reinterpret_cast<ModalDialog*>(lp);
        self->wnd_ = wnd;
        ::SetWindowLongPtrA(wnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<ModalDialog*>(::GetWindowLongPtrA(wnd, DWLP_USER));
    if (!self) return FALSE;  // the messages before WM_INITDIALOG keep their defaults
    if (msg == WM_NCDESTROY) {
        // The owner's destruction takes its dialogs along.
        self->wnd_ = nullptr;
        self->running_ = false;
        ::SetWindowLongPtrA(wnd, DWLP_USER, 0);
        return FALSE;
    }
    return self->events_.DialogMessage(msg, wp, lp);
}

INT_PTR ModalDialog::Run() {
    if (!wnd_ || running_) return IDCANCEL;
    running_ = true;
    result_ = IDCANCEL;
    const bool ownerWasEnabled = owner_ && !::EnableWindow(owner_, FALSE);
    ::ShowWindow(wnd_, SW_SHOW);
    ::SetForegroundWindow(wnd_);
    Pump();
    // The owner is enabled before the dialog hides, so the activation goes back to it.
    if (ownerWasEnabled) ::EnableWindow(owner_, TRUE);
    if (wnd_) ::ShowWindow(wnd_, SW_HIDE);
    if (owner_ && ::IsWindow(owner_)) ::SetActiveWindow(owner_);
    running_ = false;
    return result_;
}

void ModalDialog::Pump() {
    MSG msg;
    while (running_ && wnd_) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));  // the main loop must still see it
            result_ = IDCANCEL;
            return;
        }
        if (got < 0) return;
        if (wnd_ && ::IsDialogMessageA(wnd_, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

void ModalDialog::End(INT_PTR result) {
    result_ = result;
    running_ = false;
    // A posted nothing-message wakes the loop when End came from outside it.
    if (wnd_) ::PostMessageA(wnd_, WM_NULL, 0, 0);
}

}  // namespace platform
