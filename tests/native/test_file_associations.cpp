#include "core/file_associations.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>

#include "core/app_error.hpp"

namespace {

using core::RegType;
using ::testing::ElementsAre;

// A classes root in memory. Key paths compare without case, as the system's do.
struct FakeClassesRoot : core::Registry {
    using Value = std::pair<RegType, std::string>;
    std::map<std::string, std::map<std::string, Value>> keys;  // lower-case path -> values
    bool refuseDeletes = false;

    static std::string Lower(std::string text) {
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
        return text;
    }
    void Put(const std::string& path, const std::string& data, RegType type = RegType::String) {
        keys[Lower(path)][""] = {type, data};
    }
    bool Has(const std::string& path) const { return keys.count(Lower(path)) != 0; }
    std::optional<std::string> Default(const std::string& path) const {
        const auto key = keys.find(Lower(path));
        if (key == keys.end() || key->second.count("") == 0) return std::nullopt;
        return key->second.at("").second;
    }
    std::uint32_t Descendants(const std::string& path) const {
        return static_cast<std::uint32_t>(std::count_if(
            keys.begin(), keys.end(), [&](const auto& key) { return key.first.rfind(path + "\\", 0) == 0; }));
    }

    std::unique_ptr<core::RegistryKey> Open(const std::string& subkey, std::uint32_t) override {
        return Has(subkey) ? std::make_unique<Key>(*this, Lower(subkey)) : nullptr;
    }
    std::unique_ptr<core::RegistryKey> Create(const std::string& subkey, std::uint32_t) override {
        keys[Lower(subkey)];
        return std::make_unique<Key>(*this, Lower(subkey));
    }
    bool DeleteKey(const std::string& subkey) override {
        return Has(subkey) && Descendants(Lower(subkey)) == 0 && keys.erase(Lower(subkey)) == 1;
    }

    struct Key : core::RegistryKey {
        Key(FakeClassesRoot& root, std::string path) : root(root), path(std::move(path)) {}
        core::QueryResult QueryValue(const std::string&) override { return {}; }
        bool SetDword(const std::string&, std::int32_t) override { return false; }
        core::StringQueryResult QueryString(const std::string& name) override {
            const auto it = root.keys[path].find(name);
            if (it == root.keys[path].end()) return {core::QueryStatus::NotFound, RegType::None, 0, ""};
            const auto& [type, data] = it->second;
            const bool text = type == RegType::String || type == RegType::ExpandString;
            return {core::QueryStatus::Ok, type, data.size() + (text ? 1 : 0), text ? data : ""};
        }
        bool SetString(const std::string& name, const std::string& text) override {
            root.keys[path][name] = {RegType::String, text};
            return true;
        }
        bool DeleteValue(const std::string& name) override {
            return !root.refuseDeletes && root.keys[path].erase(name) == 1;
        }
        std::optional<core::KeyContents> Contents() override {
            return core::KeyContents{root.Descendants(path), static_cast<std::uint32_t>(root.keys[path].size())};
        }

        FakeClassesRoot& root;
        std::string path;
    };
};

constexpr core::ExtensionFlags kNone{};
constexpr core::ExtensionFlags kAll{true, true, true, true, true};
const std::string kExe = "C:\\PROGRA~1\\CORVALE\\CORVALEX.EXE";

TEST(OpenCommandText, QuotesOnlyAPathWithABlankAndFallsBackToTheFullPath) {
    EXPECT_EQ(core::OpenCommandText(kExe), kExe + " \"%1\"");
    EXPECT_EQ(core::OpenCommandText("C:\\Program Files\\corvalex.exe"), "\"C:\\Program Files\\corvalex.exe\" \"%1\"");
    EXPECT_EQ(core::AssociationExecutablePath(kExe, "C:\\Long name.exe"), kExe);
    EXPECT_EQ(core::AssociationExecutablePath(std::nullopt, "C:\\Long name.exe"), "C:\\Long name.exe");
    EXPECT_EQ(core::AssociationExecutablePath("", "C:\\Long name.exe"), "C:\\Long name.exe");
}

TEST(ReadAssociated, TicksOnlyTheExactClassNameAndCreatesNothing) {
    FakeClassesRoot root;
    root.Put(".nfo", "TarvikNFO");
    root.Put(".diz", "tarviknfo");  // another letter case is not ours
    root.Put(".ion", "");
    root.Put(".bbs", "TarvikNFO", RegType::ExpandString);
    const auto before = root.keys;
    EXPECT_THAT(core::FileAssociations(root).ReadAssociated(), ElementsAre(true, false, false, true, false));
    EXPECT_EQ(root.keys, before);
}

// Ticked: claimed unless already ours. Unticked: only this program's own claim is taken back.
TEST(WriteAssociations, EachExtensionIsClaimedOrGivenBack) {
    struct Case {
        const char* name;
        std::string extension;
        std::optional<std::string> before;  // default value; nullopt: the key is absent
        RegType type;
        std::string other;                  // another program's subkey ("\\ShellNew") or value in the key
        bool ticked;
        bool keyRemains;
        std::optional<std::string> after;
    };
    const Case cases[] = {
        {"ticked, another's", ".txt", "txtfile", RegType::String, "\\ShellNew", true, true, "TarvikNFO"},
        {"ticked, case differs", ".ion", "TARVIKNFO", RegType::String, "", true, true, "TarvikNFO"},
        {"ours goes with its key", ".nfo", "TarvikNFO", RegType::String, "", false, false, std::nullopt},
        {"ours leaves others' subkeys", ".diz", "TarvikNFO", RegType::String, "\\ShellNew", false, true, {}},
        {"ours leaves others' values", ".nfo", "TarvikNFO", RegType::String, "Content Type", false, true, {}},
        {"case differs", ".ion", "tarviknfo", RegType::String, "", false, true, "tarviknfo"},
        {"another type", ".ion", "TarvikNFO", RegType::Binary, "", false, true, "TarvikNFO"},
        {"absent", ".bbs", std::nullopt, RegType::String, "", false, false, std::nullopt},
        {"our txt", ".txt", "TarvikNFO", RegType::String, "", false, true, "txtfile"},
        {"someone else's txt", ".txt", "Notepad++_file", RegType::String, "", false, true, "Notepad++_file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeClassesRoot root;
        if (c.before) root.Put(c.extension, *c.before, c.type);
        const std::string otherKey = c.other[0] == '\\' ? c.extension + c.other : c.extension;
        const std::string otherName = c.other[0] == '\\' ? "" : c.other;
        if (!c.other.empty()) root.keys[root.Lower(otherKey)][otherName] = {RegType::String, "other"};
        core::FileAssociations(root).Write(kExe, c.ticked ? kAll : kNone);
        EXPECT_EQ(root.Has(c.extension), c.keyRemains);
        EXPECT_EQ(root.Default(c.extension), c.after);
        if (!c.other.empty()) {
            EXPECT_EQ(root.keys[root.Lower(otherKey)][otherName].second, "other");
        }
    }
}

// A fault stops at its extension with the message shown to the user; what was written before stays.
TEST(WriteAssociations, AFaultStopsAtItsExtensionWithItsMessage) {
    const std::string number("\x01\x00\x00\x00", 4);
    struct Case {
        const char* name;
        std::function<void(FakeClassesRoot&)> arrange;  // always at .ion
        core::ExtensionFlags ticked;
        const char* message;
    };
    const Case cases[] = {
        {"another type, ticked", [&](auto& root) { root.Put(".ion", number, RegType::Binary); }, kAll,
         "Invalid data type for ''"},
        {"refused removal", [](auto& root) { root.Put(".ion", "TarvikNFO"); root.refuseDeletes = true; }, kNone,
         "Failed to set data for ''"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeClassesRoot root;
        c.arrange(root);
        const std::optional<std::string> ion = root.Default(".ion");
        try {
            core::FileAssociations(root).Write(kExe, c.ticked);
            ADD_FAILURE() << "no error";
        } catch (const core::AppError& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
        EXPECT_EQ(root.Default(".ion"), ion);
        EXPECT_EQ(root.Default(".diz"), c.ticked[1] ? std::optional<std::string>("TarvikNFO") : std::nullopt);
        EXPECT_FALSE(root.Has(".bbs"));  // never reached
    }
}

}  // namespace
