#pragma once
// The Colours submenu: named pairs of the settings dialog's colours, one command each, and the
// bullet on the pair the view shows.
#include <cstdint>

#include "core/settings_dialog.hpp"
#include "forms/commands.hpp"

namespace forms {

// The pair a command of the submenu chooses; nullptr for every other command.
const core::ColourPreset* PresetOf(CommandId id);
// Puts the bullet on the item of the pair shown (on none when the colours are no preset's).
void MarkShownPreset(CommandBar& commands, std::int32_t text, std::int32_t back);

}  // namespace forms
