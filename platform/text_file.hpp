#pragma once
// A text file into the view's byte text: the file's bytes and the cleaning copy for core's load
// road, which decides everything else (encoding, cleaning, lines).
#include <optional>
#include <string>

namespace platform {

// What a load needs from its window while it runs.
class LoadHooks {
public:
    virtual ~LoadHooks() = default;
    virtual void ShowWarning(const std::string& text) = 0;  // message box, exclamation icon
    virtual void ProcessPendingMessages() = 0;              // after each copied block
    virtual void ShowProgress() = 0;                        // "Parsing file..." in panel 0
};

// The view text of the file at path (every line followed by CR LF). A file of at most the
// cleaning threshold is cleaned, and its cleaned bytes are copied block by block into a temporary
// file of this load's own (a unique name in the temp directory, held without sharing, gone when
// the load ends however it ends), with the window served after each block.
//
// nullopt after a warning when the file is too large (before or while it is read), cannot be
// opened, or there is not enough memory for its text. Throws core::AppError, with nothing shown,
// when the copy cannot be created or written ("Stream write error" for a short write) or the file
// cannot be read to its end.
std::optional<std::string> LoadViewText(const std::string& path, LoadHooks& hooks);

}  // namespace platform
