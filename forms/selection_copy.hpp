#pragma once
// The selection put on the clipboard: when asked for (Copy, Ctrl+C) and, with copy on select,
// whenever a key or mouse button is released in the view.
#include <windows.h>

namespace platform {
class TextView;
}

namespace forms {

class CommandBar;

// An empty selection leaves the clipboard as it was. A copy asked for that could not be made
// (no room for the selection's two forms, or the clipboard held by another program) says so.
void CopySelectionAsked(platform::TextView& view, HWND owner);

// Copy on select: quiet, as it follows every key and click.
void CopyOnSelect(const CommandBar& commands, platform::TextView& view, HWND owner);

}  // namespace forms
