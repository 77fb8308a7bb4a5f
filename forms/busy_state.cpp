#include "forms/busy_state.hpp"

#include <windows.h>

namespace forms {

bool BusyState::RefuseWhileBusy() const {
    const bool busy = loading_ || exporting_;
    if (busy) ::MessageBeep(MB_OK);
    return busy;
}

bool BusyState::RequestCancel() {
    if (!loading_ && !exporting_) return false;
    cancelRequested_ = true;
    return true;
}

bool BusyState::DeferClose() {
    if (nestedLoops_ == 0) return false;
    if (loading_) cancelRequested_ = true;
    closePending_ = true;
    return true;
}

void BusyState::LeaveLoop() {
    if (--nestedLoops_ > 0 || !closePending_) return;
    closePending_ = false;
    if (closeAgain_) closeAgain_();
}

}  // namespace forms
