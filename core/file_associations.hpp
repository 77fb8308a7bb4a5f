#pragma once
// The five file types the program can claim: the class with its icon and open command, and each
// extension's default value naming it. Claims are written per user; the machine-wide classes are
// read as the shell reads them, beneath the user's. A claim never destroys what it replaces: the
// other program's value is remembered in the extension's key and put back when the claim is taken
// back, and only what this program wrote is ever taken back.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/settings_store.hpp"

namespace core {

inline constexpr const char* kFileClass = "TarvikNFO";
inline constexpr const char* kFileClassIcon = "TarvikNFO\\DefaultIcon";
inline constexpr const char* kFileClassCommand = "TarvikNFO\\shell\\open\\command";
inline constexpr const char* kTextFileClass = "txtfile";  // what ".txt" goes back to
// Ours, in an extension's key: the default value our claim replaced.
inline constexpr const char* kPreviousValue = "Corvale.Previous";
// An extension's subkey whose value names list the programs offered under "Open with".
inline constexpr const char* kOpenWithProgids = "OpenWithProgids";
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;
inline constexpr std::uint32_t kKeyRead = 0x20019;

// In the order of the dialog's boxes.
inline constexpr std::array<const char*, 5> kAssociatedExtensions = {".nfo", ".diz", ".ion", ".bbs", ".txt"};
using ExtensionFlags = std::array<bool, kAssociatedExtensions.size()>;

// The two halves the shell merges into its classes root.
struct ClassesRoots {
    Registry& user;     // HKEY_CURRENT_USER\Software\Classes: every claim is written here
    Registry& machine;  // HKEY_LOCAL_MACHINE\Software\Classes: what shows beneath the user's
};

// The path the shell should run: the short form when the system gave one, else the full path
// (a failed short-path call leaves its buffer undefined, so it is never used then).
std::string AssociationExecutablePath(const std::optional<std::string>& shortPath, const std::string& fullPath);

// The open command: the path, quoted when it holds a blank so the shell does not split it,
// followed by the quoted file.
std::string OpenCommandText(const std::string& executablePath);

// Every method throws AppError "Invalid data type for ''" when the default value the shell would
// show for an extension is not a string, and "Failed to set data for ''" when a write to the
// user's part fails; writes made before stay. The machine-wide part is only ever cleaned of our
// own older claims, and where this user may not write it, that is left as it is without a message.
class FileAssociations {
public:
    // onChanged runs once after a Write that changed anything, even one a fault ended.
    explicit FileAssociations(ClassesRoots roots, std::function<void()> onChanged = {})
        : roots_(roots), onChanged_(std::move(onChanged)) {}

    // Which extensions the shell would open with the class: the user's default value when it has
    // one, else the machine-wide one, naming the class exactly (case-sensitive).
    ExtensionFlags ReadAssociated();
    // The class with its icon and command whatever the boxes say, then each extension: a ticked
    // one is claimed, an unticked one given back where it is ours; last the class goes when no
    // extension names it any more.
    void Write(const std::string& executablePath, const ExtensionFlags& ticked);

private:
    void WriteAll(const std::string& executablePath, const ExtensionFlags& ticked);
    std::string ShownDefault(const std::string& extension);
    void WriteDefault(const std::string& subkey, const std::string& text);
    void Associate(const std::string& extension);
    void RememberReplaced(RegistryKey& key);
    void ListInOpenWith(const std::string& extension);
    void Dissociate(const std::string& extension);
    void GiveBack(Registry& part, const std::string& extension, bool anotherShowsBeneath);
    bool RemoveFromOpenWith(Registry& part, const std::string& extension);
    bool MachineShowsAnother(const std::string& extension);
    bool AnyExtensionNamesClass();
    bool DeleteTree(Registry& part, const std::string& path);

    ClassesRoots roots_;
    std::function<void()> onChanged_;
    bool changed_ = false;
};

}  // namespace core
