#pragma once
// A text file into the view's byte text: the file's bytes and the cleaning copy for core's load
// road, which decides everything else (encoding, cleaning, lines).
#include <chrono>
#include <optional>
#include <string>

#include "core/text_encoding.hpp"
#include "core/view_text.hpp"

namespace platform {

// What a load needs from its window while it runs.
class LoadHooks {
public:
    virtual ~LoadHooks() = default;
    virtual void ShowWarning(const std::string& text) = 0;  // message box, exclamation icon
    virtual void ProcessPendingMessages() = 0;              // after each copied block, and while a worker reads
    virtual void ShowProgress() = 0;                        // "Parsing file..." in panel 0
    // A load read by a worker that has run for ProgressDelay(), then at each step: "Reading
    // file..." and how far it is, in thousandths.
    virtual void ShowReading(int permille) = 0;
    virtual std::chrono::milliseconds ProgressDelay() const = 0;
    // The user wants the load to stop (Esc, a close): it ends without a text and without a word.
    virtual bool CancelRequested() = 0;
};

// A file's view text and the encoding it was read in.
struct LoadedText {
    core::PreparedText text;
    core::DetectedEncoding encoding;
};

// The view text of the file at path, read as `encoding` says (Automatic: as its bytes say) (every line followed by CR LF) with its line index. A file
// of at most the cleaning threshold is cleaned, and its cleaned bytes are copied block by block
// into a temporary file of this load's own (a unique name in the temp directory, held without
// sharing, gone when the load ends however it ends), with the window served after each block. A
// larger file is read and indexed by a worker thread while the window is served all along.
//
// nullopt when the load was cancelled, or after a warning when the file is too large (before or
// while it is read), cannot be opened, or there is not enough memory for its text. Throws
// core::AppError, with nothing shown, when the copy cannot be created or written ("Stream write
// error" for a short write) or the file cannot be read to its end.
std::optional<LoadedText> LoadViewText(const std::string& path, LoadHooks& hooks,
                                       core::EncodingChoice encoding = core::EncodingChoice::kAutomatic);

}  // namespace platform
