#include "platform/registry.hpp"

#include <cstring>
#include <iterator>
#include <string>

#include "platform/unicode.hpp"

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

core::StringQueryResult Win32RegistryKey::QueryString(const std::string& name) {
    const std::wstring wideName = Widen(name);
    core::StringQueryResult query;
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG result = RegQueryValueExW(key_, wideName.c_str(), nullptr, &type, nullptr, &size);
    // The value may grow between the calls: ask again with the size reported then, a few times.
    for (int attempt = 0; attempt < 3 && result == ERROR_SUCCESS && size > 0; ++attempt) {
        std::wstring data(size / sizeof(wchar_t) + 1, L'\0');  // room for a terminator the data lacks
        DWORD filled = size;
        result = RegQueryValueExW(key_, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                                  &filled);
        size = filled;
        if (result == ERROR_MORE_DATA) {
            result = attempt < 2 ? ERROR_SUCCESS : ERROR_MORE_DATA;
            continue;
        }
        if (result == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
            data.resize(filled / sizeof(wchar_t));
            query.text = Narrow(std::wstring_view(data.c_str()));
        }
        break;
    }
    query.status = StatusOf(result);
    query.type = static_cast<core::RegType>(type);
    query.size = size;
    return query;
}

bool Win32RegistryKey::SetString(const std::string& name, const std::string& text, core::RegType type) {
    const std::wstring wide = Widen(text);
    const DWORD bytes = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t));
    const DWORD kind = type == core::RegType::ExpandString ? REG_EXPAND_SZ : REG_SZ;
    return RegSetValueExW(key_, Widen(name).c_str(), 0, kind, reinterpret_cast<const BYTE*>(wide.c_str()), bytes) ==
           ERROR_SUCCESS;
}

bool Win32RegistryKey::SetEmpty(const std::string& name) {
    return RegSetValueExW(key_, Widen(name).c_str(), 0, REG_NONE, nullptr, 0) == ERROR_SUCCESS;
}

bool Win32RegistryKey::DeleteValue(const std::string& name) {
    return RegDeleteValueW(key_, Widen(name).c_str()) == ERROR_SUCCESS;
}

std::optional<core::KeyContents> Win32RegistryKey::Contents() {
    DWORD subkeys = 0;
    DWORD values = 0;
    if (RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return core::KeyContents{subkeys, values};
}

std::optional<std::vector<std::string>> Win32RegistryKey::Subkeys() {
    std::vector<std::string> names;
    wchar_t name[256];  // the system's limit on a key name, with its terminator
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(std::size(name));
        const LONG result = RegEnumKeyExW(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) return names;
        if (result != ERROR_SUCCESS) return std::nullopt;
        names.push_back(Narrow(std::wstring_view(name, length)));
    }
}

std::wstring Win32Registry::PathOf(const std::string& subkey) const {
    return Widen(base_.empty() ? subkey : base_ + "\\" + subkey);
}

std::unique_ptr<core::RegistryKey> Win32Registry::Open(const std::string& subkey, std::uint32_t access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root_, PathOf(subkey).c_str(), 0, access, &key) != ERROR_SUCCESS) return nullptr;
    return std::make_unique<Win32RegistryKey>(key);
}

std::unique_ptr<core::RegistryKey> Win32Registry::Create(const std::string& subkey, std::uint32_t access) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root_, PathOf(subkey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<Win32RegistryKey>(key);
}

bool Win32Registry::DeleteKey(const std::string& subkey) {
    return RegDeleteKeyW(root_, PathOf(subkey).c_str()) == ERROR_SUCCESS;
}

}  // namespace platform
