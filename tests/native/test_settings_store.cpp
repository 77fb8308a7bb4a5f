#include "core/settings_store.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <sstream>

#include "core/app_error.hpp"

namespace {

using core::RegType;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Events = std::vector<std::string>;

const char* const kAllNames[] = {"FontColor", "BackColor", "Font", "FontSize", "Wrap", "COS",
                                 "SOT",       "X",         "Y",    "W",        "H"};

std::string Hex(std::uint32_t value) {
    std::ostringstream out;
    out << "0x" << std::hex << value;
    return out.str();
}

// Events whose text starts with the prefix, prefix removed.
Events Only(const Events& events, const std::string& prefix) {
    Events kept;
    for (const auto& e : events)
        if (e.rfind(prefix, 0) == 0) kept.push_back(e.substr(prefix.size()));
    return kept;
}

struct StoredValue {
    RegType type;
    std::vector<std::uint8_t> bytes;
};

// One key, HKCU\Software\corvalex, held in memory with per-value type and size.
class FakeRegistry : public core::Registry {
public:
    explicit FakeRegistry(Events& events) : events_(events) {}

    bool keyExists = false;
    std::map<std::string, StoredValue> values;
    std::set<std::uint32_t> refusedAccess;
    bool refuseCreate = false;
    std::string failingWrite;

    void Put(const std::string& name, std::int32_t value) {
        std::vector<std::uint8_t> bytes(4);
        std::memcpy(bytes.data(), &value, 4);
        values[name] = {RegType::Dword, bytes};
        keyExists = true;
    }
    void PutRaw(const std::string& name, RegType type, std::vector<std::uint8_t> bytes) {
        values[name] = {type, std::move(bytes)};
    }
    void PutDefaults() {
        const std::int32_t defaults[] = {0, 0xFFFFFF, 2, 1, 0, 0, 0, 0, 0, 700, 500};
        for (std::size_t i = 0; i < std::size(kAllNames); ++i) Put(kAllNames[i], defaults[i]);
    }
    std::optional<std::int32_t> Dword(const std::string& name) const {
        const auto it = values.find(name);
        if (it == values.end() || it->second.type != RegType::Dword) return std::nullopt;
        std::int32_t value = 0;
        std::memcpy(&value, it->second.bytes.data(), 4);
        return value;
    }

    std::unique_ptr<core::RegistryKey> Open(const std::string& subkey, std::uint32_t access) override;
    std::unique_ptr<core::RegistryKey> Create(const std::string& subkey, std::uint32_t access) override;

    Events& events_;
};

class FakeKey : public core::RegistryKey {
public:
    explicit FakeKey(FakeRegistry& registry) : registry_(registry) {}
    ~FakeKey() override { registry_.events_.push_back("reg:close"); }

    core::QueryResult QueryValue(const std::string& name) override {
        registry_.events_.push_back("reg:query " + name);
        const auto it = registry_.values.find(name);
        if (it == registry_.values.end()) return {core::QueryStatus::NotFound, RegType::None, 0};
        const StoredValue& stored = it->second;
        if (stored.bytes.size() > 4) return {core::QueryStatus::MoreData, stored.type, 0};
        std::uint8_t buffer[4] = {};
        std::memcpy(buffer, stored.bytes.data(), stored.bytes.size());
        std::int32_t data = 0;
        std::memcpy(&data, buffer, 4);
        return {core::QueryStatus::Ok, stored.type, data};
    }

    bool SetDword(const std::string& name, std::int32_t value) override {
        registry_.events_.push_back("reg:set " + name + "=" + std::to_string(value));
        if (name == registry_.failingWrite) return false;
        registry_.Put(name, value);
        return true;
    }

private:
    FakeRegistry& registry_;
};

std::unique_ptr<core::RegistryKey> FakeRegistry::Open(const std::string& subkey, std::uint32_t access) {
    events_.push_back("reg:open " + subkey + " " + Hex(access));
    if (!keyExists || refusedAccess.count(access) != 0) return nullptr;
    return std::make_unique<FakeKey>(*this);
}

std::unique_ptr<core::RegistryKey> FakeRegistry::Create(const std::string& subkey, std::uint32_t access) {
    events_.push_back("reg:create " + subkey + " " + Hex(access));
    if (refuseCreate) return nullptr;
    keyExists = true;
    return std::make_unique<FakeKey>(*this);
}

class FakeIni : public core::IniFile {
public:
    explicit FakeIni(Events& events) : events_(events) {}

    bool exists = false;
    bool deletable = true;
    std::map<std::string, std::string> entries;  // section "Settings"

    bool Exists() override { return exists; }
    std::string Read(const std::string& section, const std::string& name) override {
        events_.push_back("ini:read " + section + "." + name);
        if (section != "Settings") return "";
        const auto it = entries.find(name);
        return it == entries.end() ? "" : it->second;
    }
    bool Delete() override {
        events_.push_back("ini:delete");
        if (!deletable) return false;
        exists = false;
        return true;
    }

private:
    Events& events_;
};

// The main window's controls, as laid out before any setting is applied.
class FakeHost : public core::SettingsHost {
public:
    explicit FakeHost(Events& events) : events_(events) {}

    std::int32_t fontColor = 0x123456;
    std::int32_t backColor = 0x654321;
    std::string fontName = "Layout Face";
    int points = 10;
    bool wrap = false, copyOnSelect = false, stayOnTop = false;
    core::WindowBounds bounds{11, 22, 333, 444};
    core::Size screen{1024, 768};

    std::int32_t FontColor() const override { return fontColor; }
    void SetFontColor(std::int32_t c) override { Record("FontColor " + std::to_string(c)); fontColor = c; }
    std::int32_t BackColor() const override { return backColor; }
    void SetBackColor(std::int32_t c) override { Record("BackColor " + std::to_string(c)); backColor = c; }
    std::string FontName() const override { return fontName; }
    void SetFontName(const std::string& n) override { Record("FontName " + n); fontName = n; }
    int FontPointSize() const override { return points; }
    void SetFontPointSize(int p) override { Record("Points " + std::to_string(p)); points = p; }
    bool WrapDown() const override { return wrap; }
    void PressWrap() override { Record("PressWrap"); wrap = true; }
    bool CopyOnSelect() const override { return copyOnSelect; }
    void CheckCopyOnSelect() override { Record("CheckCOS"); copyOnSelect = true; }
    bool StayOnTop() const override { return stayOnTop; }
    void CheckStayOnTop() override { Record("CheckSOT"); stayOnTop = true; }
    core::WindowBounds SavedBounds() const override { return bounds; }
    void SetLeft(int v) override { Record("Left " + std::to_string(v)); bounds.left = v; }
    void SetTop(int v) override { Record("Top " + std::to_string(v)); bounds.top = v; }
    void SetWidth(int v) override { Record("Width " + std::to_string(v)); bounds.width = v; }
    void SetHeight(int v) override { Record("Height " + std::to_string(v)); bounds.height = v; }
    core::Size OuterSize() const override { Record("OuterSize"); return {bounds.width, bounds.height}; }
    core::Size ScreenSize() const override { Record("ScreenSize"); return screen; }
    void ShowMessage(const std::string& text) override { Record("Message " + text); }

private:
    void Record(const std::string& e) const { events_.push_back("host:" + e); }
    Events& events_;
};

class SettingsStoreTest : public ::testing::Test {
protected:
    Events events;
    FakeRegistry registry{events};
    FakeIni ini{events};
    FakeHost host{events};
    core::SettingsStore store{registry, ini, host};

    // FormCreate's three steps.
    void Start() {
        store.ImportIniSettings();
        store.WriteFirstRunDefaults();
        store.Load();
    }
    template <typename Operation>
    std::string ErrorOf(Operation operation) {
        try {
            (store.*operation)();
        } catch (const core::AppError& e) {
            return e.what();
        }
        return "(no error)";
    }
};

const Events kDefaultsApplied = {"FontColor 0", "BackColor 16777215", "FontName Terminal", "Points 9",
                                 "Left 0",      "Top 0",              "Width 700",         "Height 500"};

TEST_F(SettingsStoreTest, FirstStartWritesTheDefaultsInOrderAndAppliesThem) {
    Start();

    EXPECT_THAT(Only(events, "reg:"),
                ElementsAre("open Software\\corvalex 0x20009", "create Software\\corvalex 0x20006",
                            "set FontColor=0", "set BackColor=16777215", "set Font=2", "set FontSize=1",
                            "set Wrap=0", "set COS=0", "set SOT=0", "set X=0", "set Y=0", "set W=700",
                            "set H=500", "close", "open Software\\corvalex 0x20019", "query FontColor",
                            "query BackColor", "query Font", "query FontSize", "query Wrap", "query COS",
                            "query SOT", "query X", "query Y", "query W", "query H", "close"));
    EXPECT_THAT(Only(events, "host:"), ElementsAreArray(kDefaultsApplied));
    EXPECT_THAT(Only(events, "ini:"), ElementsAre());
}

TEST_F(SettingsStoreTest, ExistingKeyIsNeverFilledInWithDefaults) {
    registry.Put("Font", 0);  // present but incomplete

    EXPECT_FALSE(store.WriteFirstRunDefaults());

    EXPECT_THAT(Only(events, "reg:"), ElementsAre("open Software\\corvalex 0x20009", "close"));
    EXPECT_EQ(registry.values.size(), 1u);
}

TEST_F(SettingsStoreTest, MissingValueStopsLoadingAfterWhatWasAppliedSoFar) {
    registry.PutDefaults();
    registry.Put("Wrap", 1);
    registry.Put("COS", 1);
    registry.Put("SOT", 1);
    registry.values.erase("X");

    EXPECT_EQ(ErrorOf(&core::SettingsStore::Load), "Failed to get data for 'X'");

    EXPECT_THAT(Only(events, "host:"), ElementsAre("FontColor 0", "BackColor 16777215", "FontName Terminal",
                                                   "Points 9", "PressWrap", "CheckCOS", "CheckSOT"));
    EXPECT_EQ(host.bounds.left, 11);  // placement untouched
    EXPECT_EQ(events.back(), "reg:close");
}

TEST_F(SettingsStoreTest, WrongTypesAndOversizedDataAreReportedByName) {
    struct Case { RegType type; std::size_t size; const char* error; };
    const Case cases[] = {
        {RegType::String, 2, "Invalid data type for 'Wrap'"},  // "1" and its terminator
        {RegType::String, 8, "Failed to get data for 'Wrap'"},  // seven characters: too long to read
        {RegType::Binary, 4, "Invalid data type for 'Wrap'"},
        {RegType::DwordBigEndian, 4, "Invalid data type for 'Wrap'"},
        {RegType::Dword, 8, "Failed to get data for 'Wrap'"},
    };
    for (const auto& c : cases) {
        events.clear();
        registry.PutDefaults();
        registry.PutRaw("Wrap", c.type, std::vector<std::uint8_t>(c.size, '1'));

        EXPECT_EQ(ErrorOf(&core::SettingsStore::Load), c.error);
        EXPECT_THAT(Only(events, "host:"),
                    ElementsAre("FontColor 0", "BackColor 16777215", "FontName Terminal", "Points 9"));
    }
}

TEST_F(SettingsStoreTest, StoredIndicesOutsideTheirRangeLoadTheFallbacks) {
    struct Case { std::int32_t font, size; const char* name; const char* points; };
    const Case cases[] = {{7, 5, "FontName Terminal", "Points 9"},
                          {-1, -1, "FontName Terminal", "Points 9"},
                          {0, 4, "FontName Courier New", "Points 12"},
                          {1, 0, "FontName Lucida Console", "Points 8"}};
    for (const auto& c : cases) {
        events.clear();
        registry.PutDefaults();
        registry.Put("Font", c.font);
        registry.Put("FontSize", c.size);
        registry.Put("Wrap", -1);  // any non-zero switch is on
        registry.Put("X", -30000);  // placement is applied unclamped

        store.Load();

        EXPECT_THAT(Only(events, "host:"), ElementsAre("FontColor 0", "BackColor 16777215", c.name, c.points,
                                                       "PressWrap", "Left -30000", "Top 0", "Width 700",
                                                       "Height 500"));
    }
}

TEST_F(SettingsStoreTest, LoadFallsBackThroughThreeReadAccessesWithoutCreating) {
    struct Case { std::set<std::uint32_t> refused; bool keyExists; std::size_t opens; bool applied; };
    const Case cases[] = {
        {{0x20019}, true, 2, true},
        {{0x20019, 0x20009}, true, 3, true},
        {{0x20019, 0x20009, 0x0001}, true, 3, false},
        {{}, false, 3, false},
    };
    const Events allOpens = {"open Software\\corvalex 0x20019", "open Software\\corvalex 0x20009",
                             "open Software\\corvalex 0x1"};
    for (const auto& c : cases) {
        events.clear();
        registry.values.clear();
        if (c.keyExists) registry.PutDefaults();
        registry.keyExists = c.keyExists;
        registry.refusedAccess = c.refused;

        store.Load();

        const Events opens(allOpens.begin(), allOpens.begin() + static_cast<std::ptrdiff_t>(c.opens));
        EXPECT_THAT(Only(events, "reg:open "), ElementsAreArray(Only(opens, "open ")));
        EXPECT_THAT(Only(events, "reg:create"), ElementsAre());
        if (c.applied)
            EXPECT_THAT(Only(events, "host:"), ElementsAreArray(kDefaultsApplied));
        else
            EXPECT_THAT(Only(events, "host:"), ElementsAre("Message Unable to access registry settings!"));
    }
}

TEST_F(SettingsStoreTest, IniImportFillsMissingEntriesAndCentresTheWindow) {
    ini.exists = true;
    ini.entries = {{"Font", "0"}};
    host.bounds = {0, 0, 700, 500};

    Start();

    EXPECT_THAT(Only(events, "reg:set "),
                ElementsAre("FontColor=0", "BackColor=16777215", "Font=0", "FontSize=1", "Wrap=0", "COS=0",
                            "SOT=0", "X=162", "Y=134", "W=700", "H=500"));
    EXPECT_FALSE(ini.exists);
    // Written at once, each entry read just after its default was taken from the window.
    const auto at = [&](const std::string& e) { return std::find(events.begin(), events.end(), e) - events.begin(); };
    EXPECT_LT(at("ini:read Settings.SOT"), at("reg:set SOT=0"));
    EXPECT_LT(at("reg:set SOT=0"), at("host:ScreenSize"));
    EXPECT_LT(at("host:ScreenSize"), at("ini:read Settings.X"));
    EXPECT_LT(at("reg:close"), at("ini:delete"));
    EXPECT_THAT(Only(events, "reg:create "), ElementsAre("Software\\corvalex 0x20006"));
    EXPECT_THAT(Only(events, "host:"),
                ::testing::IsSupersetOf({"FontName Courier New", "Points 9", "Left 162", "Top 134"}));
}

TEST_F(SettingsStoreTest, IniTextsBecomeIntegersOrTheirDefaults) {
    ini.exists = true;
    ini.entries = {{"FontColor", "$FF"}, {"BackColor", "0xFF"}, {"W", "7OO"}, {"Wrap", "2"},
                   {"COS", "yes"},       {"SOT", "-1"},         {"X", "-40"}, {"H", "$FFFFFFFF"}};
    host.bounds = {0, 0, 805, 603};
    host.screen = {800, 600};

    store.ImportIniSettings();

    EXPECT_THAT(Only(events, "reg:set "), ElementsAre("FontColor=255", "BackColor=255", "Font=2", "FontSize=1",
                                                      "Wrap=1", "COS=0", "SOT=1", "X=-40", "Y=-1", "W=805",
                                                      "H=-1"));
}

TEST_F(SettingsStoreTest, IniFileThatCannotBeDeletedKeepsItsValuesAndSaysSo) {
    ini.exists = true;
    ini.deletable = false;
    ini.entries = {{"COS", "1"}};

    store.ImportIniSettings();

    EXPECT_EQ(registry.Dword("COS"), 1);
    EXPECT_TRUE(ini.exists);
    EXPECT_EQ(Only(events, "host:Message ").back(),
              "Settings were imported from INI file but it couldn't be deleted. Check your permissions and try "
              "to delete it manually.");
}

TEST_F(SettingsStoreTest, FailedWriteEndsTheImportAndKeepsTheFile) {
    ini.exists = true;
    registry.failingWrite = "SOT";
    EXPECT_EQ(ErrorOf(&core::SettingsStore::ImportIniSettings), "Failed to set data for 'SOT'");
    EXPECT_EQ(Only(events, "reg:set ").back(), "SOT=0");
    EXPECT_FALSE(registry.Dword("X").has_value());
    EXPECT_THAT(Only(events, "ini:delete"), ElementsAre());
    EXPECT_EQ(events.back(), "reg:close");

    events.clear();
    registry.failingWrite.clear();
    registry.refuseCreate = true;
    registry.values.clear();
    EXPECT_EQ(ErrorOf(&core::SettingsStore::ImportIniSettings), "Failed to set data for 'FontColor'");
    EXPECT_TRUE(registry.values.empty());
    EXPECT_TRUE(ini.exists);
}

TEST_F(SettingsStoreTest, FirstRunDefaultsThatCannotBeCreatedFailAtTheFirstWrite) {
    registry.refuseCreate = true;

    EXPECT_EQ(ErrorOf(&core::SettingsStore::WriteFirstRunDefaults), "Failed to set data for 'FontColor'");
    EXPECT_TRUE(registry.values.empty());
}

TEST_F(SettingsStoreTest, SaveWritesTheControlsBackInOrder) {
    registry.PutDefaults();
    host.fontColor = 0xAA;
    host.backColor = -16;  // a system colour passes unchanged
    host.fontName = "Lucida Console";
    host.points = 14;
    host.wrap = true;
    host.stayOnTop = true;
    host.bounds = {-8, -8, 1296, 1000};

    store.Save();

    EXPECT_THAT(Only(events, "reg:"),
                ElementsAre("create Software\\corvalex 0x20006", "set FontColor=170", "set BackColor=-16",
                            "set Font=1", "set FontSize=6", "set Wrap=1", "set COS=0", "set SOT=1", "set X=-8",
                            "set Y=-8", "set W=1296", "set H=1000", "close"));
}

TEST_F(SettingsStoreTest, SaveLeavesFontAloneForAFaceOutsideTheThree) {
    registry.Put("Font", 1);
    host.fontName = "terminal";

    store.Save();

    EXPECT_THAT(Only(events, "reg:set Font="), ElementsAre());
    EXPECT_EQ(registry.Dword("Font"), 1);
}

TEST_F(SettingsStoreTest, SaveThatCannotOpenTheKeyOnlySaysSo) {
    registry.refuseCreate = true;

    store.Save();

    EXPECT_THAT(Only(events, "host:"), ElementsAre("Message Could not write registry settings."));
    EXPECT_THAT(Only(events, "reg:set"), ElementsAre());
}

TEST_F(SettingsStoreTest, WriteFailingMidwayStopsTheSave) {
    registry.failingWrite = "Wrap";

    EXPECT_EQ(ErrorOf(&core::SettingsStore::Save), "Failed to set data for 'Wrap'");

    EXPECT_THAT(Only(events, "reg:set "),
                ElementsAre("FontColor=1193046", "BackColor=6636321", "FontSize=2", "Wrap=0"));
    EXPECT_EQ(events.back(), "reg:close");
}

}  // namespace
