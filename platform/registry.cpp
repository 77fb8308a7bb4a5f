#include "platform/registry.hpp"

#include <cstring>

namespace platform {

namespace {

core::QueryStatus StatusOf(LONG result) {
    switch (result) {
        case ERROR_SUCCESS: return core::QueryStatus::Ok;
        case ERROR_MORE_DATA: return core::QueryStatus::MoreData;
        case ERROR_FILE_NOT_FOUND: return core::QueryStatus::NotFound;
        default: return core::QueryStatus::Failed;
    }
}

}  // namespace

Win32RegistryKey::~Win32RegistryKey() { RegCloseKey(key_); }

core::QueryResult Win32RegistryKey::QueryValue(const std::string& name) {
    BYTE buffer[4] = {};
    DWORD size = sizeof buffer;
    DWORD type = REG_NONE;
    const LONG result = RegQueryValueExA(key_, name.c_str(), nullptr, &type, buffer, &size);
    core::QueryResult query;
    query.status = StatusOf(result);
    query.type = static_cast<core::RegType>(type);
    if (query.status == core::QueryStatus::Ok) std::memcpy(&query.data, buffer, sizeof buffer);
    return query;
}

bool Win32RegistryKey::SetDword(const std::string& name, std::int32_t value) {
    const DWORD data = static_cast<DWORD>(value);
    return RegSetValueExA(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data) ==
           ERROR_SUCCESS;
}

std::unique_ptr<core::RegistryKey> Win32Registry::Open(const std::string& subkey, std::uint32_t access) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root_, subkey.c_str(), 0, access, &key) != ERROR_SUCCESS) return nullptr;
    return std::make_unique<Win32RegistryKey>(key);
}

std::unique_ptr<core::RegistryKey> Win32Registry::Create(const std::string& subkey, std::uint32_t access) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root_, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<Win32RegistryKey>(key);
}

}  // namespace platform
