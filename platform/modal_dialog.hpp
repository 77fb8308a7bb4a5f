#pragma once
// A dialog made once from its template and hidden between showings, so it keeps its place, size
// and the state of its controls; shown, it runs modally: the thread's other windows take no input
// until it ends.
#include <windows.h>

namespace platform {

class DialogEvents {
public:
    virtual ~DialogEvents() = default;
    // One message of the dialog, from WM_INITDIALOG on; returns what a dialog procedure returns.
    virtual INT_PTR DialogMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;
};

class ModalDialog {
public:
    explicit ModalDialog(DialogEvents& events) : events_(events) {}
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;
    ~ModalDialog();

    // Creates the dialog hidden; false when the template could not be made into a window.
    bool Create(HWND owner, int templateId);
    HWND Handle() const { return wnd_; }
    HWND Control(int id) const { return ::GetDlgItem(wnd_, id); }
    bool Showing() const { return showing_ && !ended_; }  // ended counts as gone, though the loop is still unwinding
    // Runs the dialog until End (or until it is destroyed with its owner) and hides it again;
    // the focus goes to the control that had it when the dialog last closed, else the first tab stop.
    INT_PTR ShowModal();
    // Centred over the owner, kept off the virtual desktop's left and top edges: the first showing.
    void PlaceOverOwner();
    void End(INT_PTR result);

private:
    static INT_PTR CALLBACK DialogProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    void RunLoop();

    DialogEvents& events_;
    HWND wnd_ = nullptr;
    HWND focus_ = nullptr;
    bool showing_ = false;
    bool ended_ = false;
    INT_PTR result_ = 0;
};

}  // namespace platform
