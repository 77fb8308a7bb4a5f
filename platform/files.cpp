#include "platform/files.hpp"

#include "platform/win_handles.hpp"

#include <vector>

namespace platform {

std::string GetTempDir() {
    char buffer[MAX_PATH + 1] = {};
    ::GetTempPathA(MAX_PATH, buffer);
    std::string dir(buffer);
    if (dir.empty() || dir.back() != '\\') dir.push_back('\\');
    return dir;
}

std::string TempFilePath() { return GetTempDir() + "corvalex.tmp"; }

std::int32_t GetFileSizeBytes(const std::string& path) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return -1;
    DWORD size = ::GetFileSize(file.get(), nullptr);
    return static_cast<std::int32_t>(size);  // INVALID_FILE_SIZE reads as -1, the failure value
}

std::optional<std::int64_t> GetFileSize64(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool FileExists(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string AbsolutePath(const std::string& path) {
    DWORD needed = ::GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::vector<char> buffer(needed + 1);
    DWORD length = ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0 || length >= buffer.size()) return path;
    return std::string(buffer.data(), length);
}

std::string SystemErrorText(DWORD code) {
    char* text = nullptr;
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                        FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = length ? std::string(text, length) : std::string();
    if (text) ::LocalFree(text);
    while (!result.empty()) {
        char last = result.back();
        if (last != ' ' && last != '\r' && last != '\n' && last != '.' && last != '\t') break;
        result.pop_back();
    }
    return result;
}

std::optional<DosStamp> GetFileDosStamp(const std::string& path) {
    WIN32_FIND_DATAA found{};
    UniqueFind search(::FindFirstFileA(path.c_str(), &found));
    if (!search || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    FILETIME local{};
    DosStamp stamp{};
    if (!::FileTimeToLocalFileTime(&found.ftLastWriteTime, &local)) return std::nullopt;
    // The DOS format only spans 1980-2107; do not rely on every system refusing the rest.
    SYSTEMTIME calendar{};
    if (!::FileTimeToSystemTime(&local, &calendar) || calendar.wYear < 1980 || calendar.wYear > 2107)
        return std::nullopt;
    if (!::FileTimeToDosDateTime(&local, &stamp.date, &stamp.time)) return std::nullopt;
    return stamp;
}

}  // namespace platform
