#include "platform/ini_file.hpp"

#include <windows.h>

#include <vector>

namespace platform {

namespace {

constexpr DWORD kProfileBufferSize = 2048;
constexpr DWORD kLongestModulePath = 32768;

std::string ModuleFileName() {
    for (DWORD capacity = MAX_PATH;; capacity *= 2) {
        std::vector<char> buffer(capacity);
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), capacity);
        if (length == 0) return {};
        if (length < capacity || capacity >= kLongestModulePath) return std::string(buffer.data(), length);
    }
}

// The directory part, ending in its separator; empty when the path has none.
std::string DirectoryOf(const std::string& path) {
    const auto separator = path.find_last_of("\\/:");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

}  // namespace

std::string ProfileIniFile::DefaultPath() {
    return DirectoryOf(ModuleFileName()) + core::kIniFileName;
}

bool ProfileIniFile::Exists() {
    const DWORD attributes = GetFileAttributesA(path_.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string ProfileIniFile::Read(const std::string& section, const std::string& name) {
    std::vector<char> buffer(kProfileBufferSize);
    const DWORD length = GetPrivateProfileStringA(section.c_str(), name.c_str(), "", buffer.data(),
                                                  kProfileBufferSize, path_.c_str());
    return std::string(buffer.data(), length);
}

bool ProfileIniFile::Delete() { return DeleteFileA(path_.c_str()) != 0; }

}  // namespace platform
