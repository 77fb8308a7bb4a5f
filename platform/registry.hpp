#pragma once
// The settings store's registry seam over the real registry.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/settings_store.hpp"

namespace platform {

// An open key; closed when destroyed (no flush: the system writes it back in its own time).
class Win32RegistryKey : public core::RegistryKey {
public:
    explicit Win32RegistryKey(HKEY key) : key_(key) {}
    ~Win32RegistryKey() override;
    Win32RegistryKey(const Win32RegistryKey&) = delete;
    Win32RegistryKey& operator=(const Win32RegistryKey&) = delete;

    // Into a 4-byte buffer cleared first, so data shorter than 4 bytes reads zero-extended.
    core::QueryResult QueryValue(const std::string& name) override;
    bool SetDword(const std::string& name, std::int32_t value) override;
    // Through the UTF-16 calls, so a path outside the ANSI code page is kept whole.
    core::StringQueryResult QueryString(const std::string& name) override;
    bool SetString(const std::string& name, const std::string& text, core::RegType type) override;
    bool SetEmpty(const std::string& name) override;
    bool DeleteValue(const std::string& name) override;
    std::optional<core::KeyContents> Contents() override;
    std::optional<std::vector<std::string>> Subkeys() override;

private:
    HKEY key_;
};

// Keys under one root, HKEY_CURRENT_USER unless told otherwise, optionally below one of its keys:
// the file associations live under HKEY_CURRENT_USER\Software\Classes and are read beneath it from
// HKEY_LOCAL_MACHINE\Software\Classes, which the system's HKEY_CLASSES_ROOT does not always merge.
class Win32Registry : public core::Registry {
public:
    explicit Win32Registry(HKEY root = HKEY_CURRENT_USER, std::string base = {}) : root_(root), base_(std::move(base)) {}

    std::unique_ptr<core::RegistryKey> Open(const std::string& subkey, std::uint32_t access) override;
    // Non-volatile, no class, default security.
    std::unique_ptr<core::RegistryKey> Create(const std::string& subkey, std::uint32_t access) override;
    bool DeleteKey(const std::string& subkey) override;

private:
    std::wstring PathOf(const std::string& subkey) const;

    HKEY root_;
    std::string base_;
};

// Where HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE each keep their part of the classes root.
inline constexpr const char* kClassesSubkey = "Software\\Classes";

}  // namespace platform
