#include "forms/find_dialog.hpp"

#include <dlgs.h>

#include "platform/win_handles.hpp"

namespace forms {

FindDialog::FindDialog(HWND owner) : owner_(owner), message_(::RegisterWindowMessageW(FINDMSGSTRINGW)) {}

FindDialog::~FindDialog() { Close(); }

void FindDialog::Show() {
    if (wnd_) {
        ::ShowWindow(wnd_, SW_SHOW);
        ::SetForegroundWindow(wnd_);
        ::BringWindowToTop(wnd_);
        return;
    }
    find_ = FINDREPLACEW{};
    find_.lStructSize = sizeof find_;
    find_.hwndOwner = owner_;
    find_.Flags = FR_DOWN | FR_HIDEMATCHCASE | FR_HIDEWHOLEWORD | FR_HIDEUPDOWN;
    find_.lpstrFindWhat = buffer_.data();
    find_.wFindWhatLen = static_cast<WORD>(buffer_.size());
    wnd_ = ::FindTextW(&find_);
    if (!wnd_) return;
    const std::wstring last(text_.begin(), text_.end());
    ::SetDlgItemTextW(wnd_, edt1, last.c_str());
    Place();
    ::ShowWindow(wnd_, SW_SHOW);
}

void FindDialog::Close() {
    if (wnd_ && ::IsWindow(wnd_)) ::DestroyWindow(wnd_);
    wnd_ = nullptr;
}

// The first time on the monitor of the active window (the owner when none is active); afterwards
// where the user left it.
void FindDialog::Place() {
    if (!placed_) {
        HWND active = ::GetActiveWindow();
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        ::GetMonitorInfoW(::MonitorFromWindow(active ? active : owner_, MONITOR_DEFAULTTONEAREST), &monitor);
        const core::ScreenRect dialog = platform::ToScreenRect(platform::WindowRectOf(wnd_));
        const core::ScreenPoint at =
            core::ThirdDownOnMonitor(platform::ToScreenRect(monitor.rcMonitor), dialog.width, dialog.height);
        place_ = POINT{at.x, at.y};
        placed_ = true;
    }
    ::SetWindowPos(wnd_, nullptr, place_.x, place_.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void FindDialog::RememberPlaceAndText() {
    if (!wnd_) return;
    const RECT rect = platform::WindowRectOf(wnd_);
    place_ = POINT{rect.left, rect.top};
    wchar_t typed[256] = {};
    const int length = ::GetDlgItemTextW(wnd_, edt1, typed, 256);
    text_.assign(typed, typed + length);
}

bool FindDialog::PreTranslateMessage(MSG& msg) { return wnd_ && ::IsDialogMessageW(wnd_, &msg); }

bool FindDialog::TakeMessage(UINT msg, LPARAM lp, bool& findNext) {
    findNext = false;
    if (msg != message_ || message_ == 0) return false;
    const auto& find = *reinterpret_cast<const FINDREPLACEW*>(lp);
    RememberPlaceAndText();
    if (find.Flags & FR_DIALOGTERM)
        wnd_ = nullptr;  // the dialog is on its way out
    else
        findNext = (find.Flags & FR_FINDNEXT) != 0;
    return true;
}

}  // namespace forms
