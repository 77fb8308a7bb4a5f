#include "platform/folder_files.hpp"

#include <windows.h>

#include "platform/files.hpp"
#include "platform/unicode.hpp"
#include "platform/win_handles.hpp"

namespace platform {

std::vector<std::string> ListFileNames(const std::string& folder) {
    std::vector<std::string> names;
    if (folder.empty()) return names;
    std::string pattern = folder;
    if (pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAW found{};
    // FindExInfoStandard, not Basic: the systems before 7 know only the first.
    UniqueFind search(::FindFirstFileExW(FileApiPath(pattern).c_str(), FindExInfoStandard, &found,
                                         FindExSearchNameMatch, nullptr, 0));
    if (!search) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(Narrow(found.cFileName));
    } while (::FindNextFileW(search.get(), &found));
    return names;
}

FileState LookAtFile(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(FileApiPath(path).c_str(), GetFileExInfoStandard, &data)) {
        const DWORD error = ::GetLastError();
        const bool gone = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return FileState{gone ? FileLook::Gone : FileLook::Unknown, {}};
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return FileState{FileLook::Gone, {}};  // a folder took its name
    const auto join = [](DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; };
    return FileState{FileLook::Present,
                     FileStamp{join(data.nFileSizeHigh, data.nFileSizeLow),
                               join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)}};
}

}  // namespace platform
