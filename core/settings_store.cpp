#include "core/settings_store.hpp"

#include <array>
#include <utility>

#include "core/app_error.hpp"
#include "core/ini_integer.hpp"
#include "core/settings_values.hpp"

namespace core {

namespace {

constexpr std::uint32_t kKeyWrite = 0x20006;
constexpr std::uint32_t kKeyRead = 0x20019;
constexpr std::uint32_t kKeyQueryAndEnumerate = 0x20009;  // also the existence test
constexpr std::uint32_t kKeyQueryValue = 0x0001;

constexpr const char* kIniNotDeleted =
    "Settings were imported from INI file but it couldn't be deleted. "
    "Check your permissions and try to delete it manually.";
constexpr const char* kUnableToAccess = "Unable to access registry settings!";
constexpr const char* kCouldNotWrite = "Could not write registry settings.";

constexpr std::int32_t kDefaultFontColor = 0;
constexpr std::int32_t kDefaultBackColor = 0xFFFFFF;
constexpr std::int32_t kDefaultFont = 2;      // Terminal
constexpr std::int32_t kDefaultFontSize = 1;  // 9 points

constexpr std::array<std::pair<const char*, std::int32_t>, 11> kFirstRunDefaults = {{
    {"FontColor", kDefaultFontColor},
    {"BackColor", kDefaultBackColor},
    {"Font", kDefaultFont},
    {"FontSize", kDefaultFontSize},
    {"Wrap", 0},
    {"COS", 0},
    {"SOT", 0},
    {"X", 0},
    {"Y", 0},
    {"W", 700},
    {"H", 500},
}};

std::string Quoted(const std::string& prefix, const std::string& name) {
    return prefix + " '" + name + "'";
}

bool IsOn(std::int32_t value) { return value != 0; }

std::int32_t AsFlag(bool on) { return on ? 1 : 0; }

// A key that failed to open or to be created shows here, at its first write.
void WriteValue(RegistryKey* key, const std::string& name, std::int32_t value) {
    if (key == nullptr || !key->SetDword(name, value)) throw AppError(Quoted("Failed to set data for", name));
}

std::int32_t ReadValue(RegistryKey& key, const std::string& name) {
    const QueryResult result = key.QueryValue(name);
    if (result.status != QueryStatus::Ok) throw AppError(Quoted("Failed to get data for", name));
    if (result.type != RegType::Dword) throw AppError(Quoted("Invalid data type for", name));
    return result.data;
}

// A value that settings written before it existed lack: missing or unusable is no error.
std::optional<std::int32_t> ReadOptionalValue(RegistryKey& key, const std::string& name) {
    const QueryResult result = key.QueryValue(name);
    if (result.status != QueryStatus::Ok || result.type != RegType::Dword) return std::nullopt;
    return result.data;
}

std::int32_t SizeIndex(int points) {
    return static_cast<std::int32_t>(static_cast<std::int64_t>(points) - kSmallestPoints);
}

}  // namespace

SettingsStore::SettingsStore(Registry& registry, IniFile& ini, SettingsHost& host)
    : registry_(registry), ini_(ini), host_(host) {}

void SettingsStore::ImportIniSettings() {
    if (!ini_.Exists()) return;
    {
        // Whether the key opened is not checked here: a refusal surfaces as the first failed write.
        const std::unique_ptr<RegistryKey> key = registry_.Create(kSettingsSubkey, kKeyWrite);
        ImportIniValues(key.get());
    }
    // The values stay imported even when the file will not go; the next start imports it again.
    if (!ini_.Delete()) host_.ShowMessage(kIniNotDeleted);
}

std::int32_t SettingsStore::ReadIniInteger(const std::string& name, std::int32_t fallback) {
    return IniIntegerOr(ini_.Read(kIniSection, name), fallback);
}

void SettingsStore::ImportIniValues(RegistryKey* key) {
    const auto integer = [&](const char* name, std::int32_t fallback) {
        WriteValue(key, name, ReadIniInteger(name, fallback));
    };
    const auto flag = [&](const char* name) { WriteValue(key, name, AsFlag(IsOn(ReadIniInteger(name, 0)))); };

    integer("FontColor", kDefaultFontColor);
    integer("BackColor", kDefaultBackColor);
    integer("Font", kDefaultFont);
    integer("FontSize", kDefaultFontSize);
    flag("Wrap");
    flag("COS");
    flag("SOT");
    // Each default is taken from the window just before its own entry is read.
    integer("X", CentredOrigin(host_.ScreenSize().width, host_.OuterSize().width));
    integer("Y", CentredOrigin(host_.ScreenSize().height, host_.OuterSize().height));
    integer("W", host_.OuterSize().width);
    integer("H", host_.OuterSize().height);
}

bool SettingsStore::WriteFirstRunDefaults() {
    const bool exists = registry_.Open(kSettingsSubkey, kKeyQueryAndEnumerate) != nullptr;
    if (exists) return false;  // even with values missing: never overwrite what is there
    const std::unique_ptr<RegistryKey> key = registry_.Create(kSettingsSubkey, kKeyWrite);
    for (const auto& [name, value] : kFirstRunDefaults) WriteValue(key.get(), name, value);
    return true;
}

std::unique_ptr<RegistryKey> SettingsStore::OpenForReading() {
    for (const std::uint32_t access : {kKeyRead, kKeyQueryAndEnumerate, kKeyQueryValue}) {
        if (auto key = registry_.Open(kSettingsSubkey, access)) return key;
    }
    return nullptr;
}

void SettingsStore::Load() {
    const std::unique_ptr<RegistryKey> key = OpenForReading();
    if (!key) {
        host_.ShowMessage(kUnableToAccess);
        return;
    }
    ApplyValues(*key);
}

void SettingsStore::ApplyValues(RegistryKey& key) {
    host_.SetFontColor(ReadValue(key, "FontColor"));
    host_.SetBackColor(ReadValue(key, "BackColor"));
    host_.SetFontName(FontNameFromIndex(ReadValue(key, "Font")));
    const int points = PointSizeFromIndex(ReadValue(key, "FontSize"));
    host_.SetFontPointSize(points);
    host_.SetChosenPointSize(ChosenPointSize(ReadOptionalValue(key, "ChosenFontSize"), points));
    if (IsOn(ReadValue(key, "Wrap"))) host_.PressWrap();  // BtnWrap is always up before loading
    if (IsOn(ReadValue(key, "COS"))) host_.CheckCopyOnSelect();
    if (IsOn(ReadValue(key, "SOT"))) host_.CheckStayOnTop();
    // Applied as stored, unclamped: the window is not shown yet, so the four steps are invisible.
    host_.SetLeft(ReadValue(key, "X"));
    host_.SetTop(ReadValue(key, "Y"));
    host_.SetWidth(ReadValue(key, "W"));
    host_.SetHeight(ReadValue(key, "H"));
}

void SettingsStore::Save() {
    const std::unique_ptr<RegistryKey> key = registry_.Create(kSettingsSubkey, kKeyWrite);
    if (!key) {
        host_.ShowMessage(kCouldNotWrite);
        return;
    }
    WriteValues(*key);
}

void SettingsStore::WriteValues(RegistryKey& key) {
    WriteValue(&key, "FontColor", host_.FontColor());
    WriteValue(&key, "BackColor", host_.BackColor());
    // A face outside the three keeps whatever index is stored.
    if (const auto index = FontIndexFromName(host_.FontName())) WriteValue(&key, "Font", *index);
    // Stored as it comes; a size outside 6..48 loads as 9 points next time.
    WriteValue(&key, "FontSize", SizeIndex(host_.FontPointSize()));
    WriteValue(&key, "ChosenFontSize", SizeIndex(host_.ChosenPointSize()));
    WriteValue(&key, "Wrap", AsFlag(host_.WrapDown()));
    WriteValue(&key, "COS", AsFlag(host_.CopyOnSelect()));
    WriteValue(&key, "SOT", AsFlag(host_.StayOnTop()));
    const WindowBounds bounds = host_.SavedBounds();
    WriteValue(&key, "X", bounds.left);
    WriteValue(&key, "Y", bounds.top);
    WriteValue(&key, "W", bounds.width);
    WriteValue(&key, "H", bounds.height);
}

}  // namespace core
