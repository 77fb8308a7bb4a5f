#pragma once
// Reading a text file into the view's byte text: the cleaning copy through the temporary file,
// and the streaming line reader over the result.
#include <optional>
#include <string>

namespace platform {

// What the cleaning copy needs from its window while it runs.
class LoadHooks {
public:
    virtual ~LoadHooks() = default;
    virtual void ShowWarning(const std::string& text) = 0;  // message box, exclamation icon
    virtual void ProcessPendingMessages() = 0;              // after each copied block
    virtual void ShowProgress() = 0;                        // "Parsing file..." in panel 0
};

// Copies path into the temporary file, control bytes turned into blanks. Returns the path to read:
// the temporary file, or path itself for a UTF-16 file; empty (after a message) when path cannot
// be opened. Throws core::AppError when the source cannot be reopened for the copy or the copy not
// created. Every file the loader only reads is opened sharing reading and writing with others.
std::string CleanToTempFile(const std::string& path, LoadHooks& hooks);

// The view's byte text of a file (every line followed by CR LF); nullopt when the file
// cannot be opened. A read failure ends the input quietly.
std::optional<std::string> ReadViewText(const std::string& readPath);

}  // namespace platform
