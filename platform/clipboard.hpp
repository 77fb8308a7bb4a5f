#pragma once
#include <windows.h>

#include <string_view>

namespace platform {

// Puts bytes on the clipboard as CF_TEXT, byte for byte but a NUL as a blank, and the same
// characters in their CP437 shapes as CF_UNICODETEXT, in one transaction. False when the clipboard
// could not be had.
bool CopyBytesToClipboard(HWND owner, std::string_view bytes);

}  // namespace platform

#include "platform/picture_file.hpp"

namespace platform {

// The clipboard's name for PNG bytes, which programs that keep transparency and exact colours take.
extern const wchar_t kPngClipboardFormat[];  // "PNG"

// Puts the picture on the clipboard as CF_DIB and as "PNG", in one transaction; the clipboard owns
// every block it took. False when the clipboard could not be had or took neither.
bool CopyPictureToClipboard(HWND owner, ClipboardPicture picture);

}  // namespace platform
