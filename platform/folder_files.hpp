#pragma once
// What a folder holds and whether a file in it changed: the listing the viewer steps through, and
// the size and time it compares to know that the shown file was written or removed. Paths are
// UTF-8, through the Unicode file API, long ones included.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The names (UTF-8, without the folder) of the files in a folder, not its subfolders; empty when
// the folder cannot be read.
std::vector<std::string> ListFileNames(const std::string& folder);

// A file's size and last-write time: when either changes, the file was written.
struct FileStamp {
    std::uint64_t size = 0;
    std::uint64_t writeTime = 0;  // FILETIME units
    bool operator==(const FileStamp&) const = default;
};

enum class FileLook { Present, Gone, Unknown };  // Unknown: it could not be looked at just now
struct FileState {
    FileLook look = FileLook::Unknown;
    FileStamp stamp;
};
// A look at the attributes only: works while another program holds the file without sharing.
FileState LookAtFile(const std::string& path);

}  // namespace platform
