#include "platform/files.hpp"

#include "platform/unicode.hpp"
#include "platform/win_handles.hpp"

#include <vector>

namespace platform {
namespace {

// Below this a path works everywhere as it is; a directory must leave room for an 8.3 name.
constexpr std::size_t kClassicPathLimit = MAX_PATH - 12;

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

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
