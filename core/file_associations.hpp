#pragma once
// The five file types the program can claim under HKEY_CLASSES_ROOT: the class with its icon and
// open command, and each extension's default value naming it. Only what this program wrote is
// ever taken back: an extension another program owns is never touched.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/settings_store.hpp"

namespace core {

inline constexpr const char* kFileClass = "TarvikNFO";
inline constexpr const char* kFileClassIcon = "TarvikNFO\\DefaultIcon";
inline constexpr const char* kFileClassCommand = "TarvikNFO\\shell\\open\\command";
inline constexpr const char* kTextFileClass = "txtfile";  // what ".txt" goes back to
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;

// In the order of the dialog's boxes.
inline constexpr std::array<const char*, 5> kAssociatedExtensions = {".nfo", ".diz", ".ion", ".bbs", ".txt"};
using ExtensionFlags = std::array<bool, kAssociatedExtensions.size()>;

// The path the shell should run: the short form when the system gave one, else the full path
// (a failed short-path call leaves its buffer undefined, so it is never used then).
std::string AssociationExecutablePath(const std::optional<std::string>& shortPath, const std::string& fullPath);

// The open command: the path, quoted when it holds a blank so the shell does not split it,
// followed by the quoted file.
std::string OpenCommandText(const std::string& executablePath);

// Every method throws AppError "Invalid data type for ''" when an extension's default value is
// not a string, and "Failed to set data for ''" when a write fails; writes made before stay.
class FileAssociations {
public:
    explicit FileAssociations(Registry& classesRoot) : classes_(classesRoot) {}

    // Which extensions name the class exactly (case-sensitive) in their default value.
    ExtensionFlags ReadAssociated();
    // The class with its icon and command whatever the boxes say, then each extension: a ticked
    // one is claimed, an unticked one given back only when it is ours.
    void Write(const std::string& executablePath, const ExtensionFlags& ticked);

private:
    bool IsAssociated(const std::string& extension);
    void WriteDefault(const std::string& subkey, const std::string& text);
    void Associate(const std::string& extension);
    void Dissociate(const std::string& extension);

    Registry& classes_;
};

}  // namespace core
