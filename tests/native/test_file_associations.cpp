#include "core/file_associations.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <set>
#include <vector>

#include "core/app_error.hpp"

namespace {

using core::RegType;
using ::testing::ElementsAre;

constexpr RegType S = RegType::String;
constexpr RegType X = RegType::ExpandString;
constexpr RegType N = RegType::None;

// One value as a test states it: a key path, a value name ("" the default), its type and data.
// A null name states only that the key exists.
struct Entry {
    const char* path;
    const char* name;
    RegType type;
    const char* data;
};

// One part of the classes root in memory. Key paths compare without case, as the system's do;
// creating a key creates its parents, and only a key without subkeys can be deleted.
struct FakePart : core::Registry {
    using Value = std::pair<RegType, std::string>;
    using Keys = std::map<std::string, std::map<std::string, Value>>;  // lower-case path -> values
    Keys keys;
    bool readOnly = false;            // as a standard user meets the machine-wide part
    bool refuseDeletes = false;
    std::set<std::pair<std::string, std::string>> refusedWrites;  // (key path, value name)

    FakePart() = default;
    FakePart(std::initializer_list<Entry> entries) {
        for (const Entry& e : entries) {
            AddKey(e.path);
            if (e.name) keys[Lower(e.path)][e.name] = {e.type, e.data};
        }
    }

    static std::string Lower(std::string text) {
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
        return text;
    }
    void AddKey(const std::string& path) {
        for (std::size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1))
            keys[Lower(path.substr(0, at))];
        keys[Lower(path)];
    }
    bool Has(const std::string& path) const { return keys.count(Lower(path)) != 0; }
    std::optional<Value> Get(const std::string& path, const std::string& name = "") const {
        const auto key = keys.find(Lower(path));
        if (key == keys.end() || key->second.count(name) == 0) return std::nullopt;
        return key->second.at(name);
    }
    std::vector<std::string> Children(const std::string& path) const {
        std::vector<std::string> names;
        const std::string prefix = Lower(path) + "\\";
        for (const auto& [name, values] : keys)
            if (name.rfind(prefix, 0) == 0 && name.find('\\', prefix.size()) == std::string::npos)
                names.push_back(name.substr(prefix.size()));
        return names;
    }
    // Only the keys at or below path.
    Keys Subtree(const std::string& path) const {
        Keys tree;
        for (const auto& [name, values] : keys)
            if (name == Lower(path) || name.rfind(Lower(path) + "\\", 0) == 0) tree[name] = values;
        return tree;
    }

    std::unique_ptr<core::RegistryKey> Open(const std::string& subkey, std::uint32_t access) override {
        if (!Has(subkey) || (readOnly && access != core::kKeyRead)) return nullptr;
        return std::make_unique<Key>(*this, Lower(subkey), access != core::kKeyRead);
    }
    std::unique_ptr<core::RegistryKey> Create(const std::string& subkey, std::uint32_t) override {
        if (readOnly) return nullptr;
        AddKey(subkey);
        return std::make_unique<Key>(*this, Lower(subkey), true);
    }
    bool DeleteKey(const std::string& subkey) override {
        return !readOnly && Has(subkey) && Children(subkey).empty() && keys.erase(Lower(subkey)) == 1;
    }

    struct Key : core::RegistryKey {
        Key(FakePart& part, std::string path, bool writable) : part(part), path(std::move(path)), writable(writable) {}
        core::QueryResult QueryValue(const std::string&) override { return {}; }
        bool SetDword(const std::string&, std::int32_t) override { return false; }
        core::StringQueryResult QueryString(const std::string& name) override {
            const auto it = part.keys[path].find(name);
            if (it == part.keys[path].end()) return {core::QueryStatus::NotFound, RegType::None, 0, ""};
            const auto& [type, data] = it->second;
            const bool text = type == S || type == X;
            return {core::QueryStatus::Ok, type, data.size() + (text ? 1 : 0), text ? data : ""};
        }
        bool SetString(const std::string& name, const std::string& text, RegType type) override {
            if (!writable || part.refusedWrites.count({path, name})) return false;
            part.keys[path][name] = {type, text};
            return true;
        }
        bool SetEmpty(const std::string& name) override {
            if (!writable || part.refusedWrites.count({path, name})) return false;
            part.keys[path][name] = {N, ""};
            return true;
        }
        bool DeleteValue(const std::string& name) override {
            return writable && !part.refuseDeletes && part.keys[path].erase(name) == 1;
        }
        std::optional<core::KeyContents> Contents() override {
            return core::KeyContents{static_cast<std::uint32_t>(part.Children(path).size()),
                                     static_cast<std::uint32_t>(part.keys[path].size())};
        }
        std::optional<std::vector<std::string>> Subkeys() override { return part.Children(path); }

        FakePart& part;
        std::string path;
        bool writable;
    };
};

constexpr core::ExtensionFlags kNone{};
constexpr core::ExtensionFlags kAll{true, true, true, true, true};
const std::string kExe = "C:\\PROGRA~1\\CORVALE\\CORVALEX.EXE";

core::ExtensionFlags Only(const std::string& extension) {
    core::ExtensionFlags flags{};
    for (std::size_t i = 0; i < flags.size(); ++i) flags[i] = extension == core::kAssociatedExtensions[i];
    return flags;
}

// The two parts and how often the shell was told of a change.
struct Roots {
    FakePart user, machine;
    int notices = 0;
    core::FileAssociations Associations() { return core::FileAssociations({user, machine}, [this] { ++notices; }); }
};

TEST(OpenCommandText, QuotesOnlyAPathWithABlankAndFallsBackToTheFullPath) {
    EXPECT_EQ(core::OpenCommandText(kExe), kExe + " \"%1\"");
    EXPECT_EQ(core::OpenCommandText("C:\\Program Files\\corvalex.exe"), "\"C:\\Program Files\\corvalex.exe\" \"%1\"");
    EXPECT_EQ(core::AssociationExecutablePath(kExe, "C:\\Long name.exe"), kExe);
    EXPECT_EQ(core::AssociationExecutablePath(std::nullopt, "C:\\Long name.exe"), "C:\\Long name.exe");
    EXPECT_EQ(core::AssociationExecutablePath("", "C:\\Long name.exe"), "C:\\Long name.exe");
}

// A box is ticked by what the shell would show: the user's default value, else the machine-wide one.
TEST(ReadAssociated, TheUsersValueDecidesAndTheMachineWideOneShowsBeneathIt) {
    struct Case {
        const char* name;
        FakePart user, machine;
        bool userReadOnly;
        bool ticked;
    };
    const Case cases[] = {
        {"ours per user", {{".nfo", "", S, "TarvikNFO"}}, {}, false, true},
        {"ours as expandable text", {{".nfo", "", X, "TarvikNFO"}}, {}, false, true},
        {"another letter case", {{".nfo", "", S, "tarviknfo"}}, {}, false, false},
        {"ours machine-wide", {}, {{".nfo", "", S, "TarvikNFO"}}, false, true},
        {"the user's own hides ours", {{".nfo", "", S, "OtherNfo.Document"}}, {{".nfo", "", S, "TarvikNFO"}}, false,
         false},
        {"a user key without a default", {{".nfo\\OpenWithProgids", "Other.Prog", N, ""}},
         {{".nfo", "", S, "TarvikNFO"}}, false, true},
        {"an empty default shows nothing", {{".nfo", "", S, ""}}, {{".nfo", "", S, "TarvikNFO"}}, false, true},
        {"ours beneath another's", {{".nfo", "", S, "TarvikNFO"}}, {{".nfo", "", S, "OtherNfo.Document"}}, false, true},
        {"a user key not open to changes", {{".nfo", "", S, "TarvikNFO"}}, {}, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Roots roots{c.user, c.machine};
        roots.user.readOnly = c.userReadOnly;
        EXPECT_EQ(roots.Associations().ReadAssociated(), Only(c.ticked ? ".nfo" : ""));
        EXPECT_EQ(roots.user.keys, c.user.keys);  // reading creates nothing
        EXPECT_EQ(roots.machine.keys, c.machine.keys);
    }
}

// A ticked box claims the user's key, remembering the value it replaces; what is already ours,
// in either part, is left as it is.
TEST(WriteAssociations, ATickedBoxClaimsTheUsersKeyAndRemembersWhatItReplaces) {
    struct Case {
        const char* name;
        FakePart user, machine;
        FakePart userAfter;  // the extension's keys only; the machine-wide part never changes
    };
    const Entry ours = {".nfo", "", S, "TarvikNFO"};
    const Entry listed = {".nfo\\OpenWithProgids", "TarvikNFO", N, ""};
    const Case cases[] = {
        {"another's", {{".nfo", "", S, "OtherNfo.Document"}}, {},
         {ours, {".nfo", "Corvale.Previous", S, "OtherNfo.Document"}, listed}},
        {"nothing", {}, {}, {ours, listed}},
        {"machine-wide another's stays beneath", {}, {{".nfo", "", S, "OtherNfo.Document"}}, {ours, listed}},
        {"a stale memory goes", {{".nfo", "Corvale.Previous", S, "Gone.Prog"}}, {}, {ours, listed}},
        {"the latest owner is remembered",
         {{".nfo", "", S, "Newer.Prog"}, {".nfo", "Corvale.Previous", S, "Older.Prog"}}, {},
         {ours, {".nfo", "Corvale.Previous", S, "Newer.Prog"}, listed}},
        {"others stay listed", {{".nfo", "", S, "Other"}, {".nfo\\OpenWithProgids", "Other.Prog", N, ""}}, {},
         {ours, {".nfo", "Corvale.Previous", S, "Other"}, {".nfo\\OpenWithProgids", "Other.Prog", N, ""}, listed}},
        {"ours without a list", {ours}, {}, {ours}},
        {"ours machine-wide", {}, {{".nfo", "", S, "TarvikNFO"}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Roots roots{c.user, c.machine};
        roots.Associations().Write(kExe, Only(".nfo"));
        EXPECT_EQ(roots.user.Subtree(".nfo"), c.userAfter.Subtree(".nfo"));
        EXPECT_EQ(roots.machine.keys, c.machine.keys);
    }
}

// An unticked box takes back only our own claim, in both parts: the remembered value returns, and
// with none remembered ".txt" shows "txtfile" and the others no default value.
TEST(WriteAssociations, AnUntickedBoxGivesBackExactlyWhatItReplaced) {
    struct Case {
        const char* name;
        const char* extension;
        FakePart user, machine;
        FakePart userAfter, machineAfter;  // the extension's keys only
        bool machineReadOnly = false;
    };
    const Case cases[] = {
        {"remembered", ".nfo",
         {{".nfo", "", S, "TarvikNFO"}, {".nfo", "Corvale.Previous", S, "OtherNfo.Document"},
          {".nfo\\OpenWithProgids", "TarvikNFO", N, ""}},
         {}, {{".nfo", "", S, "OtherNfo.Document"}}, {}},
        {"remembered expandable", ".diz",
         {{".diz", "", S, "TarvikNFO"}, {".diz", "Corvale.Previous", X, "%Other%"}}, {}, {{".diz", "", X, "%Other%"}},
         {}},
        {"nothing remembered", ".nfo", {{".nfo", "", S, "TarvikNFO"}}, {}, {}, {}},
        {"a memory of ourselves", ".nfo", {{".nfo", "", S, "TarvikNFO"}, {".nfo", "Corvale.Previous", S, "TarvikNFO"}},
         {}, {}, {}},
        {"others' subkeys and values stay", ".ion",
         {{".ion", "", S, "TarvikNFO"}, {".ion", "Content Type", S, "text/plain"}, {".ion\\ShellNew", "", S, "x"},
          {".ion\\OpenWithProgids", "TarvikNFO", N, ""}, {".ion\\OpenWithProgids", "Other.Prog", N, ""}},
         {},
         {{".ion", "Content Type", S, "text/plain"}, {".ion\\ShellNew", "", S, "x"},
          {".ion\\OpenWithProgids", "Other.Prog", N, ""}},
         {}},
        {"txt, nothing beneath", ".txt", {{".txt", "", S, "TarvikNFO"}}, {}, {{".txt", "", S, "txtfile"}}, {}},
        {"txt, txtfile beneath", ".txt", {{".txt", "", S, "TarvikNFO"}}, {{".txt", "", S, "txtfile"}}, {},
         {{".txt", "", S, "txtfile"}}},
        {"txt, another's beneath", ".txt", {{".txt", "", S, "TarvikNFO"}}, {{".txt", "", S, "OtherTxt.Doc"}}, {},
         {{".txt", "", S, "OtherTxt.Doc"}}},
        {"txt remembered", ".txt", {{".txt", "", S, "TarvikNFO"}, {".txt", "Corvale.Previous", S, "OtherTxt.Doc"}},
         {{".txt", "", S, "txtfile"}}, {{".txt", "", S, "OtherTxt.Doc"}}, {{".txt", "", S, "txtfile"}}},
        {"taken since by another: our entries go", ".nfo",
         {{".nfo", "", S, "Newer.Prog"}, {".nfo", "Corvale.Previous", S, "Older.Prog"},
          {".nfo\\OpenWithProgids", "TarvikNFO", N, ""}},
         {}, {{".nfo", "", S, "Newer.Prog"}}, {}},
        {"another's, untouched", ".txt", {{".txt", "", S, "Notepad++_file"}}, {}, {{".txt", "", S, "Notepad++_file"}},
         {}},
        {"another letter case, untouched", ".ion", {{".ion", "", S, "tarviknfo"}}, {}, {{".ion", "", S, "tarviknfo"}},
         {}},
        {"another type, untouched", ".ion", {{".ion", "", RegType::Binary, "TarvikNFO"}}, {},
         {{".ion", "", RegType::Binary, "TarvikNFO"}}, {}},
        {"an empty key of another's stays", ".bbs", {{".bbs", nullptr, S, ""}}, {}, {{".bbs", nullptr, S, ""}}, {}},
        {"an older machine-wide claim", ".nfo", {}, {{".nfo", "", S, "TarvikNFO"}}, {}, {}},
        {"an older machine-wide txt", ".txt", {}, {{".txt", "", S, "TarvikNFO"}}, {}, {{".txt", "", S, "txtfile"}}},
        {"ours in both parts", ".txt", {{".txt", "", S, "TarvikNFO"}, {".txt", "Corvale.Previous", S, "OtherTxt.Doc"}},
         {{".txt", "", S, "TarvikNFO"}}, {{".txt", "", S, "OtherTxt.Doc"}}, {{".txt", "", S, "txtfile"}}},
        {"a machine-wide part this user may not write", ".nfo", {{".nfo", "", S, "TarvikNFO"}},
         {{".nfo", "", S, "TarvikNFO"}}, {}, {{".nfo", "", S, "TarvikNFO"}}, true},
        {"ours beneath a txt this user may not write", ".txt", {{".txt", "", S, "TarvikNFO"}},
         {{".txt", "", S, "TarvikNFO"}}, {{".txt", "", S, "txtfile"}}, {{".txt", "", S, "TarvikNFO"}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Roots roots{c.user, c.machine};
        roots.machine.readOnly = c.machineReadOnly;
        roots.Associations().Write(kExe, kNone);
        EXPECT_EQ(roots.user.Subtree(c.extension), c.userAfter.Subtree(c.extension));
        EXPECT_EQ(roots.machine.Subtree(c.extension), c.machineAfter.Subtree(c.extension));
    }
}

// Whatever other programs hold, in either part, ticking every box and then unticking every box
// leaves both parts exactly as they were, the class included.
TEST(WriteAssociations, TickingAndUntickingLeavesBothPartsAsTheyWere) {
    struct Case {
        const char* name;
        FakePart user, machine;
    };
    const Entry windowsTxt = {".txt", "", S, "txtfile"};
    const Case cases[] = {
        {"a fresh system", {}, {windowsTxt}},
        {"both parts and their furniture",
         {{".nfo", "", S, "OtherNfo.Document"}, {".nfo", "Content Type", S, "text/plain"},
          {".nfo\\OpenWithProgids", "Other.Prog", N, ""}, {".diz", "", X, "%Diz%"}, {".ion", "", S, ""},
          {".bbs\\ShellNew", "NullFile", S, ""}, {".txt", "", S, "OtherTxt.Doc"}},
         {{".nfo", "", S, "Machine.Nfo"}, {".bbs", "", S, "Machine.Bbs"}, windowsTxt}},
        {"a user key without a default", {{".nfo\\OpenWithProgids", "Other.Prog", N, ""}},
         {{".nfo", "", S, "OtherNfo.Document"}, windowsTxt}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Roots roots{c.user, c.machine};
        roots.Associations().Write(kExe, kAll);
        EXPECT_EQ(roots.Associations().ReadAssociated(), kAll);
        EXPECT_EQ(roots.machine.keys, c.machine.keys);  // written per user only
        roots.Associations().Write(kExe, kNone);
        EXPECT_EQ(roots.user.keys, c.user.keys);
        EXPECT_EQ(roots.machine.keys, c.machine.keys);
        EXPECT_EQ(roots.notices, 2);
    }
}

// Written while a box is ticked, gone with every key below it once no extension names it.
TEST(WriteAssociations, TheClassStaysOnlyWhileAnExtensionNamesIt) {
    Roots roots;
    roots.Associations().Write(kExe, Only(".ion"));
    EXPECT_EQ(roots.user.Get("TarvikNFO\\DefaultIcon"), FakePart::Value(S, kExe));
    EXPECT_EQ(roots.user.Get("TarvikNFO\\shell\\open\\command"), FakePart::Value(S, kExe + " \"%1\""));
    EXPECT_FALSE(roots.user.Get("TarvikNFO"));  // no description of the class

    roots.user.AddKey("TarvikNFO\\shell\\edit\\command");  // a verb someone added
    roots.machine = {{".nfo", "", S, "TarvikNFO"}, {"TarvikNFO\\DefaultIcon", "", S, "C:\\OLD.EXE"}};
    roots.machine.readOnly = true;
    roots.Associations().Write(kExe, kNone);
    EXPECT_TRUE(roots.user.Has("TarvikNFO\\shell\\open\\command"));  // the machine-wide .nfo still names it

    roots.machine.readOnly = false;
    roots.Associations().Write(kExe, kNone);
    EXPECT_TRUE(roots.user.keys.empty());
    EXPECT_TRUE(roots.machine.keys.empty());
}

// The shell hears of each write that changed something, and only of those.
TEST(WriteAssociations, TheShellIsToldOnceOfEachChange) {
    struct Step {
        const char* name;
        core::ExtensionFlags ticked;
        int notices;
    };
    const Step steps[] = {
        {"claims", kAll, 1},
        {"the same boxes again", kAll, 1},
        {"one given back", Only(".nfo"), 2},
        {"the same boxes again", Only(".nfo"), 2},
        {"a new install folder", Only(".nfo"), 3},
    };
    Roots roots;
    roots.machine = {{".txt", "", S, "txtfile"}};
    std::string exe = kExe;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        if (step.notices == 3) exe = "C:\\NEW\\CORVALEX.EXE";
        roots.Associations().Write(exe, step.ticked);
        EXPECT_EQ(roots.notices, step.notices);
    }
}

// A fault stops at its extension with the message shown to the user; what was written before
// stays, the shell hears of it, and another program's value is never lost on the way.
TEST(WriteAssociations, AFaultStopsAtItsExtensionWithItsMessage) {
    const std::string number("\x01\x00\x00\x00", 4);
    struct Case {
        const char* name;
        std::function<void(Roots&)> arrange;  // always at .ion
        core::ExtensionFlags ticked;
        const char* message;
    };
    const Case cases[] = {
        {"another type, ticked", [&](Roots& r) { r.user.keys[".ion"][""] = {RegType::Binary, number}; }, kAll,
         "Invalid data type for ''"},
        {"another type machine-wide", [&](Roots& r) { r.machine.keys[".ion"][""] = {RegType::Dword, number}; }, kAll,
         "Invalid data type for ''"},
        {"refused removal",
         [](Roots& r) {
             r.user.keys[".ion"][""] = {S, "TarvikNFO"};
             r.user.refuseDeletes = true;
         },
         kNone, "Failed to set data for ''"},
        {"refused claim",
         [](Roots& r) {
             r.user.keys[".ion"][""] = {S, "Other.Ion"};
             r.user.refusedWrites = {{".ion", ""}};
         },
         kAll, "Failed to set data for ''"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Roots roots;
        c.arrange(roots);
        const std::optional<FakePart::Value> ion = roots.user.Get(".ion");
        try {
            roots.Associations().Write(kExe, c.ticked);
            ADD_FAILURE() << "no error";
        } catch (const core::AppError& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
        EXPECT_EQ(roots.user.Get(".ion"), ion);
        if (!roots.user.refusedWrites.empty()) {
            EXPECT_EQ(roots.user.Get(".ion", "Corvale.Previous"), ion);  // remembered before anything is replaced
        }
        EXPECT_EQ(roots.user.Has(".diz"), c.ticked[1]);
        EXPECT_EQ(roots.notices, 1);  // the class at least is new
        EXPECT_FALSE(roots.user.Has(".bbs"));  // never reached
    }
}

}  // namespace
