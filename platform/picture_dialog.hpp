#pragma once
// The Save as Picture dialog: the common save dialog with the picture's types (PNG first, SVG
// second) and, under its own controls, a child of ours with the picture's options: a "Scale" list
// (1x, 2x, 3x, each item keeping its factor as item data) and a "Transparent background" check box.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/picture_file.hpp"
#include "platform/prompts.hpp"

namespace platform {

extern const wchar_t kPictureDialogTitle[];  // "Save as Picture"

// What the dialog's options child reads and writes while the dialog is up; a scripted dialog in a
// test finds it through OPENFILENAMEW::lCustData.
struct PictureRequest {
    PictureOptions options;
};

// Shows the dialog offering `offeredName` (UTF-8) with `request`'s options; the chosen path and
// type, the options as left in `request`, or nullopt when cancelled.
std::optional<FileChoice> AskPictureFile(Prompts& prompts, HWND owner, std::string_view offeredName,
                                         PictureRequest& request);

}  // namespace platform
