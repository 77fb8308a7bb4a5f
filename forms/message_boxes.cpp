#include "forms/message_boxes.hpp"

namespace forms {

int MessageBoxes::ShowOwnedBy(HWND owner, const std::string& text, UINT flags) {
    BusyState::NestedLoopScope modal(busy_);
    return prompts_.Message(owner, text, flags);
}

void MessageBoxes::Error(const std::string& message) {
    BusyState::NestedLoopScope modal(busy_);
    platform::ShowErrorBox(prompts_, owner_, message);
}

}  // namespace forms
