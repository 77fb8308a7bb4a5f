#pragma once
// A dialog made once from its template and hidden between showings, so it keeps its place, size
// and the state of its controls; shown, it runs modally: the thread's other windows take no input
// until it ends. Its first showing stands centred over its owner.
#include <windows.h>

#include "platform/base_window.hpp"
#include "platform/prompts.hpp"

namespace platform {

class DialogEvents {
public:
    virtual ~DialogEvents() = default;
    // One message of the dialog, from WM_INITDIALOG on; returns what a dialog procedure returns.
    virtual INT_PTR DialogMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;
};

class ModalDialog final : private BaseWindow<ModalDialog, DialogProcedure> {
public:
    // An error that escapes one of the dialog's messages ends that message's handling and is shown
    // in the error box through `prompts`, over the dialog, which stays open.
    ModalDialog(DialogEvents& events, Prompts& prompts) : events_(events), prompts_(prompts) {}
    ~ModalDialog();

    // Creates the dialog hidden; false when the template could not be made into a window.
    bool Create(HWND owner, int templateId);
    HWND Handle() const { return wnd_; }
    HWND Control(int id) const { return ::GetDlgItem(wnd_, id); }
    bool Showing() const { return showing_ && !ended_; }  // ended counts as gone, though the loop is still unwinding
    // Runs the dialog until End (or until it is destroyed with its owner) and hides it again;
    // the focus goes to the control that had it when the dialog last closed, else the first tab stop.
    INT_PTR ShowModal();
    void End(INT_PTR result);

private:
    friend class BaseWindow<ModalDialog, DialogProcedure>;
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void PlaceOverOwner();
    void RunLoop();

    DialogEvents& events_;
    Prompts& prompts_;
    HWND focus_ = nullptr;
    bool placed_ = false;
    bool showing_ = false;
    bool ended_ = false;
    INT_PTR result_ = 0;
};

}  // namespace platform
