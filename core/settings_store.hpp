#pragma once
// The user's display settings and the main window's placement, kept between runs as eleven
// DWORD values under HKEY_CURRENT_USER\Software\corvalex, with a one-time import of the old
// INI file, and a twelfth that older settings lack: the size chosen in the settings dialog, which
// zoom returns to. The registry, the INI file and the window are seams so every failure can be
// tested.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace core {

inline constexpr const char* kSettingsSubkey = "Software\\corvalex";
inline constexpr const char* kIniFileName = "corvalex.ini";
inline constexpr const char* kIniSection = "Settings";

// Registry value types, numbered as the system numbers them.
enum class RegType : std::uint32_t {
    None = 0,
    String = 1,
    ExpandString = 2,
    Binary = 3,
    Dword = 4,
    DwordBigEndian = 5,
    Link = 6,
    MultiString = 7,
    ResourceList = 8,
    FullResourceDescriptor = 9,
    ResourceRequirementsList = 10,
    Qword = 11,
};

enum class QueryStatus {
    Ok,        // at most 4 bytes, copied into data
    MoreData,  // the value holds more than 4 bytes
    NotFound,  // no value of that name
    Failed,    // any other refusal
};

struct QueryResult {
    QueryStatus status = QueryStatus::Failed;
    RegType type = RegType::None;  // set whenever the system reported it
    std::int32_t data = 0;         // the 4-byte buffer, little-endian; shorter data is zero-extended
};

struct StringQueryResult {
    QueryStatus status = QueryStatus::Failed;
    RegType type = RegType::None;
    std::size_t size = 0;  // bytes of data the value holds
    std::string text;      // the text up to its first NUL, UTF-8; set only for the two string types
};

struct KeyContents {
    std::uint32_t subkeys = 0;
    std::uint32_t values = 0;
};

// Texts and names are UTF-8; the system sees them as UTF-16, so any install folder survives.
// The string and deletion operations serve the classes root; the settings key needs none of
// them, so a key that does not offer them refuses.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;  // closes the key
    virtual QueryResult QueryValue(const std::string& name) = 0;
    virtual bool SetDword(const std::string& name, std::int32_t value) = 0;
    virtual StringQueryResult QueryString(const std::string& /*name*/) { return {}; }
    // REG_SZ or REG_EXPAND_SZ, its length counted in bytes with the terminating NUL.
    virtual bool SetString(const std::string& /*name*/, const std::string& /*text*/, RegType /*type*/) {
        return false;
    }
    // A REG_NONE value without data: how a key lists a name (a program under OpenWithProgids).
    virtual bool SetEmpty(const std::string& /*name*/) { return false; }
    virtual bool DeleteValue(const std::string& /*name*/) { return false; }
    // nullopt when the key cannot tell.
    virtual std::optional<KeyContents> Contents() { return std::nullopt; }
    // The names of the subkeys in the system's index order; nullopt when the key cannot tell.
    virtual std::optional<std::vector<std::string>> Subkeys() { return std::nullopt; }
};

class Registry {
public:
    virtual ~Registry() = default;
    // Under the registry's root (HKEY_CURRENT_USER for the settings); nullptr when the key is
    // absent or the access is refused.
    virtual std::unique_ptr<RegistryKey> Open(const std::string& subkey, std::uint32_t access) = 0;
    // Opens or creates the key; nullptr on failure.
    virtual std::unique_ptr<RegistryKey> Create(const std::string& subkey, std::uint32_t access) = 0;
    // Deletes a key that has no subkeys; false when it is absent, has subkeys, or is refused.
    virtual bool DeleteKey(const std::string& /*subkey*/) { return false; }
};

class IniFile {
public:
    virtual ~IniFile() = default;
    virtual bool Exists() = 0;  // exists and is not a directory
    // The entry's text, "" when absent.
    virtual std::string Read(const std::string& section, const std::string& name) = 0;
    virtual bool Delete() = 0;
};

struct WindowBounds {
    int left = 0;
    int top = 0;
    int width = 0;   // outer, frame included
    int height = 0;
};

struct Size {
    int width = 0;
    int height = 0;
};

// What the main window implements: the controls the settings live in between load and save.
class SettingsHost {
public:
    virtual ~SettingsHost() = default;
    virtual std::int32_t FontColor() const = 0;
    virtual void SetFontColor(std::int32_t color) = 0;
    virtual std::int32_t BackColor() const = 0;
    virtual void SetBackColor(std::int32_t color) = 0;
    virtual std::string FontName() const = 0;
    virtual void SetFontName(const std::string& name) = 0;
    virtual int FontPointSize() const = 0;  // the shown size, zoom included
    virtual void SetFontPointSize(int points) = 0;
    virtual int ChosenPointSize() const = 0;  // the size last chosen in the settings dialog
    virtual void SetChosenPointSize(int points) = 0;
    virtual bool WrapDown() const = 0;
    virtual void PressWrap() = 0;  // puts BtnWrap down and runs BtnWrapClick
    virtual bool CopyOnSelect() const = 0;
    virtual void CheckCopyOnSelect() = 0;
    virtual bool StayOnTop() const = 0;
    virtual void CheckStayOnTop() = 0;  // checks cmdStayonTop and makes the window topmost
    // Left, top, outer width and height: the window rectangle, or the restored one when minimised.
    virtual WindowBounds SavedBounds() const = 0;
    virtual void SetLeft(int left) = 0;
    virtual void SetTop(int top) = 0;
    virtual void SetWidth(int width) = 0;
    virtual void SetHeight(int height) = 0;
    virtual Size OuterSize() const = 0;   // the window's current outer size
    virtual Size ScreenSize() const = 0;  // the primary display
    virtual void ShowMessage(const std::string& text) = 0;  // OK button, no icon
};

// Every operation throws AppError when a single value cannot be read or written
// ("Failed to get data for 'X'", "Invalid data type for 'X'", "Failed to set data for 'X'");
// what was applied or written before it stays.
class SettingsStore {
public:
    SettingsStore(Registry& registry, IniFile& ini, SettingsHost& host);

    // Copies the INI file beside the program into the key once, then deletes the file.
    void ImportIniSettings();
    // Writes the defaults when the key does not exist yet; returns whether it wrote.
    bool WriteFirstRunDefaults();
    // Reads the key and applies each value to the host before reading the next.
    void Load();
    // Writes the host's current state back to the key.
    void Save();

private:
    void ImportIniValues(RegistryKey* key);
    std::int32_t ReadIniInteger(const std::string& name, std::int32_t fallback);
    std::unique_ptr<RegistryKey> OpenForReading();
    void ApplyValues(RegistryKey& key);
    void WriteValues(RegistryKey& key);

    Registry& registry_;
    IniFile& ini_;
    SettingsHost& host_;
};

}  // namespace core
