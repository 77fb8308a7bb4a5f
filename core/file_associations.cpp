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

void Check(bool written) {
    if (!written) throw AppError(kFailedToSet);
}

// Missing, empty or unreadable reads as ""; data of another type is an error.
std::string ReadDefaultString(RegistryKey* key) {
    if (!key) return {};
    const StringQueryResult result = key->QueryString(kDefaultValue);
    if (result.status != QueryStatus::Ok || result.size == 0) return {};
    if (!IsStringType(result.type)) throw AppError(kInvalidType);
    return result.text;
}

// A string value as stored, empty text included; nullopt when absent or of another type.
std::optional<StringQueryResult> ReadStringValue(RegistryKey& key, const std::string& name) {
    StringQueryResult result = key.QueryString(name);
    if (result.status != QueryStatus::Ok || !IsStringType(result.type)) return std::nullopt;
    return result;
}

bool HasValue(RegistryKey& key, const std::string& name) {
    return key.QueryString(name).status == QueryStatus::Ok;
}

// Another program's value, of whatever type, is simply not ours.
bool HoldsOurClass(RegistryKey& key) {
    const std::optional<StringQueryResult> value = ReadStringValue(key, kDefaultValue);
    return value && value->text == kFileClass;
}

bool IsEmpty(RegistryKey& key) {
    const std::optional<KeyContents> contents = key.Contents();
    return contents && contents->subkeys == 0 && contents->values == 0;
}

std::string OpenWithPath(const std::string& extension) { return extension + "\\" + kOpenWithProgids; }

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
        associated[i] = ShownDefault(kAssociatedExtensions[i]) == kFileClass;
    return associated;
}

// The shell merges the two parts without writing either, so neither is created here. The user's
// key must open with full access, as a key this program could not change reads as not ours; the
// machine-wide one only needs reading, since a standard user may never write there.
std::string FileAssociations::ShownDefault(const std::string& extension) {
    const std::string user = ReadDefaultString(roots_.user.Open(extension, kKeyAllAccess).get());
    if (!user.empty()) return user;
    return ReadDefaultString(roots_.machine.Open(extension, kKeyRead).get());
}

void FileAssociations::Write(const std::string& executablePath, const ExtensionFlags& ticked) {
    try {
        WriteAll(executablePath, ticked);
    } catch (...) {
        // What was written before the fault is in the registry: the shell must still hear of it.
        if (changed_ && onChanged_) onChanged_();
        throw;
    }
    if (changed_ && onChanged_) onChanged_();
}

void FileAssociations::WriteAll(const std::string& executablePath, const ExtensionFlags& ticked) {
    WriteDefault(kFileClassIcon, executablePath);
    WriteDefault(kFileClassCommand, OpenCommandText(executablePath));
    for (std::size_t i = 0; i < kAssociatedExtensions.size(); ++i) {
        if (ticked[i])
            Associate(kAssociatedExtensions[i]);
        else
            Dissociate(kAssociatedExtensions[i]);
    }
    // Written first so that no extension ever names a missing class, and gone last once nothing does.
    if (!AnyExtensionNamesClass()) {
        if (DeleteTree(roots_.user, kFileClass)) changed_ = true;
        if (DeleteTree(roots_.machine, kFileClass)) changed_ = true;  // an older claim; a refusal leaves it
    }
}

void FileAssociations::WriteDefault(const std::string& subkey, const std::string& text) {
    const std::unique_ptr<RegistryKey> key = roots_.user.Create(subkey, kKeyAllAccess);
    Check(key != nullptr);
    const std::optional<StringQueryResult> before = ReadStringValue(*key, kDefaultValue);
    if (!before || before->type != RegType::String || before->text != text) changed_ = true;
    Check(key->SetString(kDefaultValue, text, RegType::String));
}

// Already ours in either part: nothing is written. Otherwise the user's key is claimed; the value
// it held is remembered before it is replaced, so a fault in between loses nothing.
void FileAssociations::Associate(const std::string& extension) {
    if (ShownDefault(extension) == kFileClass) return;
    const std::unique_ptr<RegistryKey> key = roots_.user.Create(extension, kKeyAllAccess);
    Check(key != nullptr);
    changed_ = true;
    RememberReplaced(*key);
    ListInOpenWith(extension);
    Check(key->SetString(kDefaultValue, kFileClass, RegType::String));
}

// A remembered value older than the one in the key now belongs to a program that has since lost
// the extension: what comes back is what this claim replaces, and nothing when it replaces nothing.
// A value of the machine-wide part is not replaced: it shows again once the user's claim is gone.
void FileAssociations::RememberReplaced(RegistryKey& key) {
    const std::optional<StringQueryResult> current = ReadStringValue(key, kDefaultValue);
    if (current)
        Check(key.SetString(kPreviousValue, current->text, current->type));
    else if (HasValue(key, kPreviousValue))
        Check(key.DeleteValue(kPreviousValue));
}

// Keeps the program under "Open with" should another program take the default value later.
void FileAssociations::ListInOpenWith(const std::string& extension) {
    const std::unique_ptr<RegistryKey> list = roots_.user.Create(OpenWithPath(extension), kKeyAllAccess);
    Check(list != nullptr);
    if (!HasValue(*list, kFileClass)) Check(list->SetEmpty(kFileClass));
}

// The machine-wide part first, since what it shows decides what ".txt" goes back to in the user's.
// A claim there was written by an older run with the rights to write it; a user without them
// cannot remove it from here, so its refusal is no error to show: the box reads ticked again at
// the next opening, which is the truth.
void FileAssociations::Dissociate(const std::string& extension) {
    try {
        GiveBack(roots_.machine, extension, false);
    } catch (const AppError&) {
    }
    GiveBack(roots_.user, extension, MachineShowsAnother(extension));
}

// Only our own claim is taken back: the remembered value returns, or with none remembered ".txt"
// becomes "txtfile" unless another value shows through from beneath, and any other extension is
// left without a default value. Our own entries go with it; what other programs keep in the key
// (their subkeys, their values) stays, and the key goes only when nothing at all is left in it.
void FileAssociations::GiveBack(Registry& part, const std::string& extension, bool anotherShowsBeneath) {
    std::unique_ptr<RegistryKey> key = part.Open(extension, kKeyAllAccess);
    if (!key) return;
    bool touched = false;
    if (HoldsOurClass(*key)) {
        touched = true;
        const std::optional<StringQueryResult> previous = ReadStringValue(*key, kPreviousValue);
        if (previous && previous->text != kFileClass)  // a memory of ourselves would keep the claim
            Check(key->SetString(kDefaultValue, previous->text, previous->type));
        else if (extension == kTextExtension && !anotherShowsBeneath)
            Check(key->SetString(kDefaultValue, kTextFileClass, RegType::String));
        else
            Check(key->DeleteValue(kDefaultValue));
    }
    if (HasValue(*key, kPreviousValue)) {  // removed only once the default value no longer needs it
        touched = true;
        Check(key->DeleteValue(kPreviousValue));
    }
    if (RemoveFromOpenWith(part, extension)) touched = true;
    if (!touched) return;
    changed_ = true;
    const bool empty = IsEmpty(*key);
    key.reset();
    if (empty) part.DeleteKey(extension);  // a refusal leaves an empty key: harmless
}

bool FileAssociations::RemoveFromOpenWith(Registry& part, const std::string& extension) {
    std::unique_ptr<RegistryKey> list = part.Open(OpenWithPath(extension), kKeyAllAccess);
    if (!list || !HasValue(*list, kFileClass)) return false;
    Check(list->DeleteValue(kFileClass));
    const bool empty = IsEmpty(*list);
    list.reset();
    if (empty) part.DeleteKey(OpenWithPath(extension));
    return true;
}

// Any value of another program, of whatever type; an empty string shows nothing.
bool FileAssociations::MachineShowsAnother(const std::string& extension) {
    const std::unique_ptr<RegistryKey> key = roots_.machine.Open(extension, kKeyRead);
    if (!key) return false;
    const StringQueryResult value = key->QueryString(kDefaultValue);
    if (value.status != QueryStatus::Ok) return false;
    if (!IsStringType(value.type)) return value.size > 0;
    return !value.text.empty() && value.text != kFileClass;
}

bool FileAssociations::AnyExtensionNamesClass() {
    for (const char* extension : kAssociatedExtensions) {
        for (Registry* part : {&roots_.user, &roots_.machine}) {
            const std::unique_ptr<RegistryKey> key = part->Open(extension, kKeyRead);
            if (key && HoldsOurClass(*key)) return true;
        }
    }
    return false;
}

// The system deletes only keys without subkeys: the subkeys go first, from the last index down so
// that the indexes still to visit stay valid. True when the key existed and is gone.
bool FileAssociations::DeleteTree(Registry& part, const std::string& path) {
    {
        const std::unique_ptr<RegistryKey> key = part.Open(path, kKeyAllAccess);
        if (!key) return false;
        if (const std::optional<std::vector<std::string>> names = key->Subkeys()) {
            for (auto name = names->rbegin(); name != names->rend(); ++name) DeleteTree(part, path + "\\" + *name);
        }
    }
    return part.DeleteKey(path);
}

}  // namespace core
