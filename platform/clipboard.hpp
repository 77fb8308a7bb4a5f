#pragma once
#include <windows.h>

#include <string_view>

namespace platform {

// Puts bytes on the clipboard as CF_TEXT, byte for byte but a NUL as a blank, and the same
// characters in their CP437 shapes as CF_UNICODETEXT, in one transaction. False when the clipboard
// could not be had.
bool CopyBytesToClipboard(HWND owner, std::string_view bytes);

}  // namespace platform
