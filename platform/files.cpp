#include "platform/files.hpp"

#include "platform/unicode.hpp"
#include "platform/win_handles.hpp"

#include <vector>

namespace platform {
namespace {

// Below this a path works everywhere as it is; a directory must leave room for an 8.3 name.
constexpr std::size_t kClassicPathLimit = MAX_PATH - 12;

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

struct FileIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool operator==(const FileIdentity&) const = default;
};

// No access is asked for, only a look at the attributes: that works even while another program
// holds the file without sharing it.
std::optional<FileIdentity> IdentityOf(const std::string& path) {
    UniqueFile file(::CreateFileW(FileApiPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !::GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

// The full path without the \\?\ prefix and in upper case, so that the spellings of one path compare equal.
std::wstring FoldedFullPath(const std::string& path) {
    std::wstring full = FullPath(FileApiPath(path));
    if (StartsWith(full, L"\\\\?\\UNC\\"))
        full = L"\\\\" + full.substr(8);
    else if (StartsWith(full, L"\\\\?\\"))
        full = full.substr(4);
    // The file system's rule for case is an upper-casing per character, as CharUpperBuffW does.
    ::CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
    return full;
}

}  // namespace

std::wstring FullPath(const std::wstring& path) {
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::vector<wchar_t> buffer(needed + 1);
    const DWORD length = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0 || length >= buffer.size()) return path;
    return std::wstring(buffer.data(), length);
}

std::wstring FileApiPath(const std::string& path) {
    std::wstring wide = Widen(path);
    if (wide.size() < kClassicPathLimit || StartsWith(wide, L"\\\\?\\") || StartsWith(wide, L"\\\\.\\"))
        return wide;
    wide = FullPath(wide);
    if (StartsWith(wide, L"\\\\?\\") || StartsWith(wide, L"\\\\.\\")) return wide;
    if (StartsWith(wide, L"\\\\")) return L"\\\\?\\UNC\\" + wide.substr(2);
    return L"\\\\?\\" + wide;
}

std::string GetTempDir() {
    wchar_t buffer[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, buffer);
    std::string dir = Narrow(buffer);
    if (dir.empty() || dir.back() != '\\') dir.push_back('\\');
    return dir;
}

std::string TempFilePath() { return GetTempDir() + "corvalex.tmp"; }

std::int32_t GetFileSizeBytes(const std::string& path) {
    UniqueFile file(::CreateFileW(FileApiPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return -1;
    DWORD size = ::GetFileSize(file.get(), nullptr);
    return static_cast<std::int32_t>(size);  // INVALID_FILE_SIZE reads as -1, the failure value
}

std::optional<std::int64_t> GetFileSize64(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(FileApiPath(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool FileExists(const std::string& path) {
    DWORD attributes = ::GetFileAttributesW(FileApiPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    DWORD attributes = ::GetFileAttributesW(FileApiPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SameFile(const std::string& first, const std::string& second) {
    const auto firstIdentity = IdentityOf(first);
    const auto secondIdentity = IdentityOf(second);
    if (firstIdentity && secondIdentity) return *firstIdentity == *secondIdentity;
    return FoldedFullPath(first) == FoldedFullPath(second);
}

void DeleteFileAt(const std::string& path) { ::DeleteFileW(FileApiPath(path).c_str()); }

std::string AbsolutePath(const std::string& path) { return Narrow(FullPath(Widen(path))); }

std::string SystemErrorText(DWORD code) {
    wchar_t* text = nullptr;
    DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                        FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string result = length ? Narrow(std::wstring_view(text, length)) : std::string();
    if (text) ::LocalFree(text);
    while (!result.empty()) {
        char last = result.back();
        if (last != ' ' && last != '\r' && last != '\n' && last != '.' && last != '\t') break;
        result.pop_back();
    }
    return result;
}

std::optional<core::CalendarTime> GetFileLocalWriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(FileApiPath(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    FILETIME local{};
    SYSTEMTIME t{};
    if (!::FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !::FileTimeToSystemTime(&local, &t))
        return std::nullopt;
    return core::CalendarTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace platform
