#include "platform/modal_dialog.hpp"

#include <vector>

#include "platform/win_handles.hpp"

namespace platform {
namespace {

// Disables the thread's other enabled windows (the owner always among them) for the scope's life,
// as a modal dialog must: a modeless find dialog would otherwise go on taking commands.
class OtherWindowsDisabled {
public:
    OtherWindowsDisabled(HWND dialog, HWND owner) : dialog_(dialog) {
        ::EnumThreadWindows(::GetCurrentThreadId(), &OtherWindowsDisabled::Take, reinterpret_cast<LPARAM>(this));
        if (owner && ::IsWindowEnabled(owner) && !::IsWindowVisible(owner)) Disable(owner);
    }
    OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
    OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;
    ~OtherWindowsDisabled() {
        for (auto it = disabled_.rbegin(); it != disabled_.rend(); ++it)
            if (::IsWindow(*it)) ::EnableWindow(*it, TRUE);
    }

private:
    static BOOL CALLBACK Take(HWND wnd, LPARAM self) {
        auto& scope = *reinterpret_cast<OtherWindowsDisabled*>(self);
        if (wnd != scope.dialog_ && ::IsWindowVisible(wnd) && ::IsWindowEnabled(wnd)) scope.Disable(wnd);
        return TRUE;
    }
    void Disable(HWND wnd) {
        disabled_.push_back(wnd);
        ::EnableWindow(wnd, FALSE);
    }

    HWND dialog_;
    std::vector<HWND> disabled_;
};

}  // namespace

ModalDialog::~ModalDialog() {
    if (wnd_) ::DestroyWindow(wnd_);
}

bool ModalDialog::Create(HWND owner, int templateId) {
    ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner, &ModalDialog::Proc,
                         reinterpret_cast<LPARAM>(this));
    return wnd_ != nullptr;
}

INT_PTR ModalDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCDESTROY) {  // destroyed with its owner: nothing left to show or destroy
        focus_ = nullptr;
        ended_ = true;
        return FALSE;
    }
    INT_PTR result = FALSE;
    HWND dialog = wnd_;
    Guarded([&] { result = events_.DialogMessage(msg, wp, lp); },
            [&](const std::string& message) { ShowErrorBox(prompts_, dialog, message); });
    return result;
}

INT_PTR ModalDialog::ShowModal() {
    if (!wnd_ || showing_) return 0;
    if (!placed_) {  // later showings find it where it was left: hiding does not move it
        PlaceOverOwner();
        placed_ = true;
    }
    showing_ = true;
    ended_ = false;
    result_ = IDCANCEL;
    {
        OtherWindowsDisabled others(wnd_, ::GetWindow(wnd_, GW_OWNER));
        ::ShowWindow(wnd_, SW_SHOW);
        // SetFocus, not WM_NEXTDLGCTL: that would select all of an edit control and scroll it.
        HWND focus = focus_ ? focus_ : ::GetNextDlgTabItem(wnd_, nullptr, FALSE);
        if (focus) ::SetFocus(focus);
        RunLoop();
        HWND now = ::GetFocus();
        if (wnd_ && now && ::IsChild(wnd_, now)) focus_ = now;
    }  // the owner is enabled again before the dialog hides, so the activation goes back to it
    if (wnd_) ::ShowWindow(wnd_, SW_HIDE);
    showing_ = false;
    return result_;
}

void ModalDialog::PlaceOverOwner() {
    const core::ScreenRect dialog = ToScreenRect(WindowRectOf(wnd_));
    const core::ScreenPoint at =
        core::CentredOver(ToScreenRect(WindowRectOf(::GetWindow(wnd_, GW_OWNER))), dialog.width, dialog.height,
                          {::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN)});
    ::SetWindowPos(wnd_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ModalDialog::End(INT_PTR result) {
    result_ = result;
    ended_ = true;
    // A posted nothing-message wakes the loop when End came from outside it.
    if (wnd_) ::PostMessageW(wnd_, WM_NULL, 0, 0);
}

void ModalDialog::RunLoop() {
    MSG msg;
    while (!ended_) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));  // the outer loop must see it too
            return;
        }
        if (got < 0) return;
        if (wnd_ && ::IsDialogMessageW(wnd_, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

}  // namespace platform
