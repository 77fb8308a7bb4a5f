#include "core/file_associations.hpp"

#include "core/app_error.hpp"

namespace core {

namespace {

// The default value's name is empty, so the messages quote nothing.
constexpr const char* kInvalidType = "Invalid data type for ''";
constexpr const char* kFailedToSet = "Failed to set data for ''";
constexpr const char* kDefaultValue = "";
constexpr const char* kTextExtension = ".txt";

bool IsStringType(RegType type) { return type == RegType::String || type == RegType::ExpandString; }

// Missing, empty or unreadable reads as ""; data of another type is an error.
std::string ReadDefaultString(RegistryKey* key) {
    if (!key) return {};
    const StringQueryResult result = key->QueryString(kDefaultValue);
    if (result.status != QueryStatus::Ok || result.size == 0) return {};
    if (!IsStringType(result.type)) throw AppError(kInvalidType);
    return result.text;
}

// Another program's value, of whatever type, is simply not ours.
bool HoldsOurClass(RegistryKey& key) {
    const StringQueryResult result = key.QueryString(kDefaultValue);
    return result.status == QueryStatus::Ok && IsStringType(result.type) && result.text == kFileClass;
}

void SetDefault(RegistryKey* key, const std::string& text) {
    if (!key || !key->SetString(kDefaultValue, text)) throw AppError(kFailedToSet);
}

bool IsEmpty(RegistryKey& key) {
    const std::optional<KeyContents> contents = key.Contents();
    return contents && contents->subkeys == 0 && contents->values == 0;
}

}  // namespace

std::string AssociationExecutablePath(const std::optional<std::string>& shortPath, const std::string& fullPath) {
    return shortPath && !shortPath->empty() ? *shortPath : fullPath;
}

std::string OpenCommandText(const std::string& executablePath) {
    const bool blank = executablePath.find(' ') != std::string::npos;
    const std::string program = blank ? '"' + executablePath + '"' : executablePath;
    return program + " \"%1\"";
}

ExtensionFlags FileAssociations::ReadAssociated() {
    ExtensionFlags associated{};
    for (std::size_t i = 0; i < kAssociatedExtensions.size(); ++i)
        associated[i] = IsAssociated(kAssociatedExtensions[i]);
    return associated;
}

bool FileAssociations::IsAssociated(const std::string& extension) {
    const std::unique_ptr<RegistryKey> key = classes_.Open(extension, kKeyAllAccess);
    return ReadDefaultString(key.get()) == kFileClass;
}

void FileAssociations::Write(const std::string& executablePath, const ExtensionFlags& ticked) {
    WriteDefault(kFileClassIcon, executablePath);
    WriteDefault(kFileClassCommand, OpenCommandText(executablePath));
    for (std::size_t i = 0; i < kAssociatedExtensions.size(); ++i) {
        if (ticked[i])
            Associate(kAssociatedExtensions[i]);
        else
            Dissociate(kAssociatedExtensions[i]);
    }
}

void FileAssociations::WriteDefault(const std::string& subkey, const std::string& text) {
    const std::unique_ptr<RegistryKey> key = classes_.Create(subkey, kKeyAllAccess);
    SetDefault(key.get(), text);
}

void FileAssociations::Associate(const std::string& extension) {
    const std::unique_ptr<RegistryKey> key = classes_.Create(extension, kKeyAllAccess);
    if (ReadDefaultString(key.get()) != kFileClass) SetDefault(key.get(), kFileClass);
}

// Only our own claim is taken back; what other programs keep in the key (their subkeys, their
// values) stays, and the key goes only when nothing at all is left in it.
void FileAssociations::Dissociate(const std::string& extension) {
    std::unique_ptr<RegistryKey> key = classes_.Open(extension, kKeyAllAccess);
    if (!key || !HoldsOurClass(*key)) return;
    if (extension == kTextExtension) {
        SetDefault(key.get(), kTextFileClass);
        return;
    }
    if (!key->DeleteValue(kDefaultValue)) throw AppError(kFailedToSet);
    const bool empty = IsEmpty(*key);
    key.reset();
    if (empty) classes_.DeleteKey(extension);  // a refusal leaves an empty key: harmless
}

}  // namespace core
