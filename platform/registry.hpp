#pragma once
// The settings store's registry seam over the real registry.
#include <windows.h>

#include <cstdint>
#include <memory>
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

private:
    HKEY key_;
};

// Keys under one root, HKEY_CURRENT_USER unless told otherwise.
class Win32Registry : public core::Registry {
public:
    explicit Win32Registry(HKEY root = HKEY_CURRENT_USER) : root_(root) {}

    std::unique_ptr<core::RegistryKey> Open(const std::string& subkey, std::uint32_t access) override;
    // Non-volatile, no class, default security.
    std::unique_ptr<core::RegistryKey> Create(const std::string& subkey, std::uint32_t access) override;

private:
    HKEY root_;
};

}  // namespace platform
