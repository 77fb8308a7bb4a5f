#pragma once
// The about dialog: created hidden at start-up, shown modally by the About button and F1.
#include <windows.h>

#include "platform/dialog_window.hpp"

namespace forms {

class TFrmAbout {
public:
    static constexpr int kDesignedClientWidth = 289;
    static constexpr int kDesignedClientHeight = 286;
    explicit TFrmAbout(HWND owner);
    HWND Handle() const { return window_.Handle(); }

private:
    platform::DialogWindow window_;
};

}  // namespace forms
