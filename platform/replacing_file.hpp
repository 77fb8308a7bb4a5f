#pragma once
// A file written whole before it takes the place of another: the bytes go to a temporary file in
// the target's folder, which is moved over the target only when everything was written. A failure
// on the way, or leaving without Commit, removes the temporary file and leaves the target as it was.
#include <windows.h>

#include <cstddef>
#include <string>

#include "platform/win_handles.hpp"

namespace platform {

class ReplacingFile {
public:
    // Throws core::AppError "Cannot create file "<full target path>". <reason>".
    explicit ReplacingFile(const std::wstring& target);
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    ~ReplacingFile();

    // Throws core::AppError "Stream write error" when the system takes less than everything.
    void Write(const void* data, std::size_t size);
    // The temporary file, for a writer that needs to seek in what it wrote (an image encoder).
    HANDLE Handle() const { return file_.get(); }
    // Puts the written file in the target's place; throws the "Cannot create file" error when the
    // target cannot be replaced (read-only, held open by another program, a folder).
    void Commit();

private:
    [[noreturn]] void FailCreate(DWORD error) const;
    void Discard();

    std::wstring target_;      // full path
    std::wstring temporary_;
    UniqueFile file_;
    bool committed_ = false;
};

}  // namespace platform
