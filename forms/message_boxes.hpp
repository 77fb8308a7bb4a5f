#pragma once
// The main window's message boxes. Each runs a loop of its own while it is up, so a close that
// arrives meanwhile waits for it (see BusyState).
#include <windows.h>

#include <string>
#include <string_view>

#include "forms/busy_state.hpp"
#include "platform/base_window.hpp"
#include "platform/prompts.hpp"

namespace forms {

class MessageBoxes {
public:
    MessageBoxes(platform::Prompts& prompts, BusyState& busy) : prompts_(prompts), busy_(busy) {}

    void SetOwner(HWND owner) { owner_ = owner; }
    platform::Prompts& Prompts() { return prompts_; }

    // Owned by the main window; returns the button pressed.
    int Show(const std::string& text, UINT flags) { return ShowOwnedBy(owner_, text, flags); }
    int ShowOwnedBy(HWND owner, const std::string& text, UINT flags);
    // A message with the exclamation icon and an OK button.
    void Warn(std::string_view text) { Show(std::string(text), MB_OK | MB_ICONEXCLAMATION); }
    // The error box.
    void Error(const std::string& message);
    // Runs a handler of the main window: an error that escapes it ends it and goes to the error box.
    template <typename Handler>
    bool Guard(Handler&& handler) {
        return platform::Guarded(handler, [this](const std::string& message) { Error(message); });
    }

private:
    platform::Prompts& prompts_;
    BusyState& busy_;
    HWND owner_ = nullptr;
};

}  // namespace forms
