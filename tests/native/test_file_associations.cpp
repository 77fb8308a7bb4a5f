#include "core/file_associations.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "core/app_error.hpp"

namespace {

using core::RegType;
using ::testing::ElementsAre;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// A classes root in memory. Key paths compare without case, as the system's do; every call is
// recorded so tests can check exactly what was written.
class FakeClassesRoot : public core::Registry {
public:
    struct Value {
        RegType type;
        std::string data;
    };
    struct Node {
        std::map<std::string, Value> values;
    };
    std::map<std::string, Node> keys;  // lower-case path -> values
    std::vector<std::string> calls;
    std::set<std::string> refusedCreate;
    bool refuseWrites = false;
    bool refuseValueDeletes = false;

    void PutDefault(const std::string& path, const std::string& text, RegType type = RegType::String) {
        keys[Lower(path)].values[""] = {type, text};
    }
    bool Has(const std::string& path) const { return keys.count(Lower(path)) != 0; }
    std::optional<std::string> Default(const std::string& path) const {
        const auto key = keys.find(Lower(path));
        if (key == keys.end()) return std::nullopt;
        const auto value = key->second.values.find("");
        if (value == key->second.values.end()) return std::nullopt;
        return value->second.data;
    }
    std::vector<std::string> Writes() const {
        std::vector<std::string> writes;
        for (const auto& call : calls)
            if (call.rfind("set ", 0) == 0 || call.rfind("delete", 0) == 0) writes.push_back(call);
        return writes;
    }

    std::unique_ptr<core::RegistryKey> Open(const std::string& subkey, std::uint32_t access) override {
        calls.push_back("open " + subkey + Access(access));
        if (!Has(subkey)) return nullptr;
        return std::make_unique<Key>(*this, Lower(subkey));
    }
    std::unique_ptr<core::RegistryKey> Create(const std::string& subkey, std::uint32_t access) override {
        calls.push_back("create " + subkey + Access(access));
        if (refusedCreate.count(subkey)) return nullptr;
        // Every key on the way is made, as the system makes them.
        for (std::size_t end = subkey.find('\\'); end != std::string::npos; end = subkey.find('\\', end + 1))
            keys[Lower(subkey.substr(0, end))];
        keys[Lower(subkey)];
        return std::make_unique<Key>(*this, Lower(subkey));
    }
    bool DeleteKey(const std::string& subkey) override {
        calls.push_back("deletekey " + subkey);
        if (!Has(subkey) || SubkeyCount(Lower(subkey)) > 0) return false;
        keys.erase(Lower(subkey));
        return true;
    }

private:
    static std::string Access(std::uint32_t access) { return access == core::kKeyAllAccess ? "" : " (not all access)"; }
    std::uint32_t SubkeyCount(const std::string& path) const {
        std::uint32_t count = 0;
        for (const auto& [name, node] : keys)
            if (name.size() > path.size() + 1 && name.rfind(path + "\\", 0) == 0 &&
                name.find('\\', path.size() + 1) == std::string::npos)
                ++count;
        return count;
    }

    class Key : public core::RegistryKey {
    public:
        Key(FakeClassesRoot& root, std::string path) : root_(root), path_(std::move(path)) {}
        core::QueryResult QueryValue(const std::string&) override { return {}; }
        bool SetDword(const std::string&, std::int32_t) override { return false; }
        core::StringQueryResult QueryString(const std::string& name) override {
            auto& values = root_.keys[path_].values;
            const auto it = values.find(name);
            if (it == values.end()) return {core::QueryStatus::NotFound, RegType::None, 0, ""};
            const Value& value = it->second;
            const bool text = value.type == RegType::String || value.type == RegType::ExpandString;
            return {core::QueryStatus::Ok, value.type, value.data.size() + (text ? 1 : 0),
                    text ? value.data.substr(0, value.data.find('\0')) : ""};
        }
        bool SetString(const std::string& name, const std::string& text) override {
            root_.calls.push_back("set " + path_ + "=" + text);
            if (root_.refuseWrites) return false;
            root_.keys[path_].values[name] = {RegType::String, text};
            return true;
        }
        bool DeleteValue(const std::string& name) override {
            root_.calls.push_back("deletevalue " + path_);
            if (root_.refuseWrites || root_.refuseValueDeletes) return false;
            return root_.keys[path_].values.erase(name) == 1;
        }
        std::optional<core::KeyContents> Contents() override {
            return core::KeyContents{root_.SubkeyCount(path_),
                                     static_cast<std::uint32_t>(root_.keys[path_].values.size())};
        }

    private:
        FakeClassesRoot& root_;
        std::string path_;
    };
};

constexpr core::ExtensionFlags kNone{};
constexpr core::ExtensionFlags kAll{true, true, true, true, true};
const std::string kExe = "C:\\PROGRA~1\\CORVALE\\CORVALEX.EXE";

TEST(OpenCommandText, QuotesOnlyAPathWithABlank) {
    EXPECT_EQ(core::OpenCommandText("C:\\PROGRA~1\\CORVAL~1\\CORVALEX.EXE"),
              "C:\\PROGRA~1\\CORVAL~1\\CORVALEX.EXE \"%1\"");
    EXPECT_EQ(core::OpenCommandText("C:\\Program Files\\Corvale\\corvalex.exe"),
              "\"C:\\Program Files\\Corvale\\corvalex.exe\" \"%1\"");
}

TEST(AssociationExecutablePath, FallsBackToTheFullPathWithoutAShortOne) {
    EXPECT_EQ(core::AssociationExecutablePath("C:\\SHORT~1.EXE", "C:\\Long name.exe"), "C:\\SHORT~1.EXE");
    EXPECT_EQ(core::AssociationExecutablePath(std::nullopt, "C:\\Long name.exe"), "C:\\Long name.exe");
    EXPECT_EQ(core::AssociationExecutablePath("", "C:\\Long name.exe"), "C:\\Long name.exe");
}

TEST(ReadAssociated, TicksOnlyTheExactClassName) {
    FakeClassesRoot root;
    root.PutDefault(".nfo", "TarvikNFO");
    root.PutDefault(".diz", "tarviknfo");  // another letter case is not ours
    root.PutDefault(".ion", "");
    root.PutDefault(".bbs", "TarvikNFO", RegType::ExpandString);
    root.PutDefault(".txt", std::string("TarvikNFO\0junk", 14));  // text ends at the first NUL
    EXPECT_THAT(core::FileAssociations(root).ReadAssociated(), ElementsAre(true, false, false, true, true));
    EXPECT_TRUE(root.Writes().empty());
    EXPECT_EQ(root.calls.front(), "open .nfo");  // opened with full access, never created
}

TEST(ReadAssociated, AValueThatIsNoStringIsAnError) {
    FakeClassesRoot root;
    root.PutDefault(".ion", "\x01\x00\x00\x00", RegType::Dword);
    try {
        core::FileAssociations(root).ReadAssociated();
        FAIL() << "no error";
    } catch (const core::AppError& error) {
        EXPECT_STREQ(error.what(), "Invalid data type for ''");
    }
}

TEST(WriteAssociations, WritesTheClassAndClaimsTickedExtensions) {
    FakeClassesRoot root;
    root.PutDefault(".txt", "txtfile");
    root.PutDefault(".diz", "TarvikNFO");  // already ours: not written again
    core::FileAssociations(root).Write(kExe, kAll);
    EXPECT_THAT(root.Writes(), ElementsAre("set tarviknfo\\defaulticon=" + kExe,
                                           "set tarviknfo\\shell\\open\\command=" + kExe + " \"%1\"",
                                           "set .nfo=TarvikNFO", "set .ion=TarvikNFO", "set .bbs=TarvikNFO",
                                           "set .txt=TarvikNFO"));
    EXPECT_EQ(root.Default("TarvikNFO"), std::nullopt);  // the class itself gets no description
}

TEST(WriteAssociations, RewritesTheClassNameInAnotherCase) {
    FakeClassesRoot root;
    root.PutDefault(".nfo", "TARVIKNFO");
    core::FileAssociations(root).Write(kExe, {true, false, false, false, false});
    EXPECT_EQ(root.Default(".nfo"), "TarvikNFO");
}

// Unticked: only this program's own claim is taken back.
struct DissociateCase {
    const char* name;
    std::string extension;
    std::optional<std::string> before;  // default value; nullopt: the key is absent
    bool extraSubkey;                   // something of another program's inside the key
    bool keyRemains;
    std::optional<std::string> after;
};

void PrintTo(const DissociateCase& c, std::ostream* out) { *out << c.name; }

class Dissociate : public ::testing::TestWithParam<DissociateCase> {};

TEST_P(Dissociate, TouchesOnlyOurOwnClaim) {
    const DissociateCase& c = GetParam();
    FakeClassesRoot root;
    if (c.before) root.PutDefault(c.extension, *c.before);
    if (c.extraSubkey) root.PutDefault(c.extension + "\\ShellNew", "other");
    core::FileAssociations(root).Write(kExe, kNone);
    EXPECT_EQ(root.Has(c.extension), c.keyRemains);
    EXPECT_EQ(root.Default(c.extension), c.after);
    if (c.extraSubkey) {
        EXPECT_EQ(root.Default(c.extension + "\\ShellNew"), "other");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Dissociate,
    ::testing::Values(
        DissociateCase{"OursGoesWithItsKey", ".nfo", "TarvikNFO", false, false, std::nullopt},
        DissociateCase{"OursLeavesOthersSubkeys", ".diz", "TarvikNFO", true, true, std::nullopt},
        DissociateCase{"SomeoneElsesStays", ".diz", "OtherViewer.diz", true, true, "OtherViewer.diz"},
        DissociateCase{"CaseDiffersIsNotOurs", ".ion", "tarviknfo", false, true, "tarviknfo"},
        DissociateCase{"AbsentStaysAbsent", ".bbs", std::nullopt, false, false, std::nullopt},
        DissociateCase{"OurTxtGoesBackToTxtfile", ".txt", "TarvikNFO", false, true, "txtfile"},
        DissociateCase{"SomeoneElsesTxtStays", ".txt", "Notepad++_file", false, true, "Notepad++_file"},
        DissociateCase{"AbsentTxtStaysAbsent", ".txt", std::nullopt, false, false, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WriteAssociations, AnotherTypeInAnUntickedKeyIsLeftAlone) {
    FakeClassesRoot root;
    root.PutDefault(".bbs", "\x01\x00\x00\x00", RegType::Dword);
    core::FileAssociations(root).Write(kExe, kNone);
    EXPECT_EQ(root.Writes().size(), 2u);  // the class's two values only
    EXPECT_TRUE(root.Has(".bbs"));
}

TEST(WriteAssociations, AValueThatIsNoStringStopsTheTickedExtensions) {
    FakeClassesRoot root;
    root.PutDefault(".diz", "\x01\x00\x00\x00", RegType::Binary);
    EXPECT_THROW(core::FileAssociations(root).Write(kExe, kAll), core::AppError);
    EXPECT_EQ(root.Default(".nfo"), "TarvikNFO");
    EXPECT_FALSE(root.Has(".ion"));
}

TEST(WriteAssociations, ARefusedKeyShowsAsAFailedWriteAndStopsThere) {
    FakeClassesRoot root;
    root.refusedCreate.insert(".ion");
    try {
        core::FileAssociations(root).Write(kExe, kAll);
        FAIL() << "no error";
    } catch (const core::AppError& error) {
        EXPECT_STREQ(error.what(), "Failed to set data for ''");
    }
    EXPECT_EQ(root.Default(".diz"), "TarvikNFO");
    EXPECT_FALSE(root.Has(".bbs"));
}

TEST(WriteAssociations, AFailedRemovalIsReportedNotPassedOver) {
    FakeClassesRoot root;
    root.PutDefault(".nfo", "TarvikNFO");
    root.refuseValueDeletes = true;
    EXPECT_THROW(core::FileAssociations(root).Write(kExe, kNone), core::AppError);
    EXPECT_EQ(root.Default(".nfo"), "TarvikNFO");
}

}  // namespace
