#pragma once
// A dialog made once from its template and kept, hidden, between showings, so its controls keep
// their states; each showing runs it modally over its owner until it ends.
#include <windows.h>

namespace platform {

class DialogEvents {
public:
    virtual ~DialogEvents() = default;
    // A dialog procedure's answer: TRUE when handled. WM_INITDIALOG is the first message seen.
    virtual INT_PTR DialogMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;
};

class ModalDialog {
public:
    ModalDialog(int templateId, HWND owner, DialogEvents& events);
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;
    ~ModalDialog();

    HWND Handle() const { return wnd_; }
    HWND Control(int id) const { return ::GetDlgItem(wnd_, id); }
    bool Running() const { return running_; }

    // Disables the owner, shows the dialog and pumps its messages until End; then hides it.
    // Returns the value given to End (IDCANCEL when the program is quitting meanwhile).
    INT_PTR Run();
    void End(INT_PTR result);

private:
    static INT_PTR CALLBACK Procedure(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    void Pump();

    HWND owner_;
    DialogEvents& events_;
    HWND wnd_ = nullptr;
    bool running_ = false;
    INT_PTR result_ = IDCANCEL;
};

}  // namespace platform
