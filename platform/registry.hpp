#pragma once
// The settings store's registry seam over the real registry.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

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
    bool SetString(const std::string& name, const std::string& text) override;
    bool DeleteValue(const std::string& name) override;
    std::optional<core::KeyContents> Contents() override;

private:
    HKEY key_;
};

// Keys under one root, HKEY_CURRENT_USER unless told otherwise (HKEY_CLASSES_ROOT for the
// file associations).
class Win32Registry : public core::Registry {
public:
    explicit Win32Registry(HKEY root = HKEY_CURRENT_USER) : root_(root) {}

    std::unique_ptr<core::RegistryKey> Open(const std::string& subkey, std::uint32_t access) override;
    // Non-volatile, no class, default security.
    std::unique_ptr<core::RegistryKey> Create(const std::string& subkey, std::uint32_t access) override;
    bool DeleteKey(const std::string& subkey) override;

private:
    HKEY root_;
};

}  // namespace platform
