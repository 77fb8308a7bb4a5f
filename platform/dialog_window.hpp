#pragma once
// A top-level dialog window owned by the main window, created hidden at its designed client size.
#include <windows.h>

namespace platform {

class DialogWindow {
public:
    DialogWindow(HWND owner, const char* caption, int clientWidth, int clientHeight, DWORD style, DWORD exStyle);
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;
    ~DialogWindow();
    HWND Handle() const { return wnd_; }

private:
    HWND wnd_ = nullptr;
};

}  // namespace platform
