#pragma once
// The encodings a user can choose: the Encoding submenu's items and what each stands for, the
// bullet on the choice in force, and the status bar's encoding panel, whose click opens the same
// submenu where the user looks for it.
#include <windows.h>

#include <optional>

#include "core/text_encoding.hpp"
#include "forms/commands.hpp"

namespace forms {

std::optional<core::EncodingChoice> EncodingChoiceOf(CommandId id);
CommandId EncodingCommandOf(core::EncodingChoice choice);

// The bullet on the choice in force, none on the others.
void MarkEncodingChoice(CommandBar& commands, core::EncodingChoice choice);

// Whether the notification is a click on the status bar's encoding panel.
bool IsEncodingPanelClick(const NMHDR& header, HWND statusBar);

}  // namespace forms
