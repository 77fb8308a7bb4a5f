#pragma once
// The settings dialog: created hidden at start-up, shown modally by the Settings button.
#include <windows.h>

#include "platform/dialog_window.hpp"

namespace forms {

class TFrmSettings {
public:
    static constexpr int kDesignedClientWidth = 308;
    static constexpr int kDesignedClientHeight = 221;
    explicit TFrmSettings(HWND owner);
    HWND Handle() const { return window_.Handle(); }

private:
    platform::DialogWindow window_;
};

}  // namespace forms
