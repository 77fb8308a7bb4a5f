#include "platform/ini_file.hpp"

#include <windows.h>

#include <vector>

#include "platform/executable_path.hpp"
#include "platform/unicode.hpp"

namespace platform {

namespace {

constexpr DWORD kProfileBufferSize = 2048;

// The directory part, ending in its separator; empty when the path has none.
std::string DirectoryOf(const std::string& path) {
    const auto separator = path.find_last_of("\\/:");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

}  // namespace

std::string ProfileIniFile::DefaultPath() { return DirectoryOf(ExecutablePath()) + core::kIniFileName; }

bool ProfileIniFile::Exists() {
    const DWORD attributes = ::GetFileAttributesW(Widen(path_).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string ProfileIniFile::Read(const std::string& section, const std::string& name) {
    std::vector<wchar_t> buffer(kProfileBufferSize);
    const DWORD length = ::GetPrivateProfileStringW(Widen(section).c_str(), Widen(name).c_str(), L"", buffer.data(),
                                                    kProfileBufferSize, Widen(path_).c_str());
    return Narrow(std::wstring_view(buffer.data(), length));
}

bool ProfileIniFile::Delete() { return ::DeleteFileW(Widen(path_).c_str()) != 0; }

}  // namespace platform
