#include "core/settings_store.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "core/app_error.hpp"

namespace {

using core::RegType;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Events = std::vector<std::string>;

// Events whose text starts with the prefix, prefix removed.
Events Only(const Events& events, const std::string& prefix) {
    Events kept;
    for (const auto& e : events)
        if (e.rfind(prefix, 0) == 0) kept.push_back(e.substr(prefix.size()));
    return kept;
}

// HKCU\Software\corvalex in memory: each value keeps its type and size.
class FakeRegistry : public core::Registry {
public:
    explicit FakeRegistry(Events& events) : events_(events) {}

    struct Stored { RegType type; std::size_t size; std::int32_t data; };
    bool keyExists = false;
    std::map<std::string, Stored> values;
    std::set<std::uint32_t> refusedAccess;
    bool refuseCreate = false;
    std::string failingWrite;

    void Put(const std::string& name, std::int32_t value) {
        values[name] = {RegType::Dword, 4, value};
        keyExists = true;
    }
    void PutDefaults() {
        const char* const names[] = {"FontColor", "BackColor", "Font", "FontSize", "Wrap", "COS",
                                     "SOT",       "X",         "Y",    "W",        "H"};
        const std::int32_t defaults[] = {0, 0xFFFFFF, 2, 1, 0, 0, 0, 0, 0, 700, 500};
        for (std::size_t i = 0; i < std::size(names); ++i) Put(names[i], defaults[i]);
    }

    std::unique_ptr<core::RegistryKey> Open(const std::string& subkey, std::uint32_t access) override {
        Record("open", subkey, access);
        return keyExists && !refusedAccess.count(access) ? std::make_unique<Key>(*this) : nullptr;
    }
    std::unique_ptr<core::RegistryKey> Create(const std::string& subkey, std::uint32_t access) override {
        Record("create", subkey, access);
        if (refuseCreate) return nullptr;
        keyExists = true;
        return std::make_unique<Key>(*this);
    }

private:
    class Key : public core::RegistryKey {
    public:
        explicit Key(FakeRegistry& r) : r_(r) {}
        ~Key() override { r_.events_.push_back("reg:close"); }
        core::QueryResult QueryValue(const std::string& name) override {
            r_.events_.push_back("reg:query " + name);
            const auto it = r_.values.find(name);
            if (it == r_.values.end()) return {core::QueryStatus::NotFound, RegType::None, 0};
            if (it->second.size > 4) return {core::QueryStatus::MoreData, it->second.type, 0};
            return {core::QueryStatus::Ok, it->second.type, it->second.data};
        }
        bool SetDword(const std::string& name, std::int32_t value) override {
            r_.events_.push_back("reg:set " + name + "=" + std::to_string(value));
            if (name == r_.failingWrite) return false;
            r_.Put(name, value);
            return true;
        }

    private:
        FakeRegistry& r_;
    };

    void Record(const char* what, const std::string& subkey, std::uint32_t access) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%#x", static_cast<unsigned>(access));
        events_.push_back(std::string("reg:") + what + " " + subkey + " " + hex);
    }
    Events& events_;
};

class FakeIni : public core::IniFile {
public:
    explicit FakeIni(Events& events) : events_(events) {}

    bool exists = false;
    bool deletable = true;
    std::map<std::string, std::string> entries;

    bool Exists() override { return exists; }
    std::string Read(const std::string& section, const std::string& name) override {
        events_.push_back("ini:read " + section + "." + name);
        return entries.count(name) ? entries[name] : "";
    }
    bool Delete() override {
        events_.push_back("ini:delete");
        exists = exists && !deletable;
        return deletable;
    }

private:
    Events& events_;
};

// The main window's controls, as laid out before any setting is applied.
class FakeHost : public core::SettingsHost {
public:
    explicit FakeHost(Events& events) : events_(events) {}

    std::int32_t fontColor = 0x123456, backColor = 0x654321;
    std::string fontName = "Layout Face";
    int points = 10;
    int chosen = 10;
    bool wrap = false, copyOnSelect = false, stayOnTop = false;
    core::WindowBounds bounds{11, 22, 333, 444};
    core::Size screen{1024, 768};

    std::int32_t FontColor() const override { return fontColor; }
    void SetFontColor(std::int32_t c) override { Record("FontColor " + std::to_string(c)); }
    std::int32_t BackColor() const override { return backColor; }
    void SetBackColor(std::int32_t c) override { Record("BackColor " + std::to_string(c)); }
    std::string FontName() const override { return fontName; }
    void SetFontName(const std::string& n) override { Record("FontName " + n); }
    int FontPointSize() const override { return points; }
    void SetFontPointSize(int p) override { Record("Points " + std::to_string(p)); }
    int ChosenPointSize() const override { return chosen; }
    void SetChosenPointSize(int p) override { Record("Chosen " + std::to_string(p)); }
    bool WrapDown() const override { return wrap; }
    void PressWrap() override { Record("PressWrap"); }
    bool CopyOnSelect() const override { return copyOnSelect; }
    void CheckCopyOnSelect() override { Record("CheckCOS"); }
    bool StayOnTop() const override { return stayOnTop; }
    void CheckStayOnTop() override { Record("CheckSOT"); }
    core::WindowBounds SavedBounds() const override { return bounds; }
    void SetLeft(int v) override { Record("Left " + std::to_string(v)); }
    void SetTop(int v) override { Record("Top " + std::to_string(v)); }
    void SetWidth(int v) override { Record("Width " + std::to_string(v)); }
    void SetHeight(int v) override { Record("Height " + std::to_string(v)); }
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
    void Start() { store.ImportIniSettings(); store.WriteFirstRunDefaults(); store.Load(); }
    template <typename Operation>
    std::string ErrorOf(Operation operation) {
        try {
            (store.*operation)();
            return "(no error)";
        } catch (const core::AppError& e) {
            return e.what();
        }
    }
};

const Events kDefaultsApplied = {"FontColor 0", "BackColor 16777215", "FontName Terminal", "Points 9", "Chosen 9",
                                 "Left 0",      "Top 0",              "Width 700",         "Height 500"};

TEST_F(SettingsStoreTest, FirstStartWritesTheDefaultsInOrderAndAppliesThem) {
    Start();
    EXPECT_THAT(Only(events, "reg:"),
                ElementsAre("open Software\\corvalex 0x20009", "create Software\\corvalex 0x20006",
                            "set FontColor=0", "set BackColor=16777215", "set Font=2", "set FontSize=1",
                            "set Wrap=0", "set COS=0", "set SOT=0", "set X=0", "set Y=0", "set W=700",
                            "set H=500", "close", "open Software\\corvalex 0x20019", "query FontColor",
                            "query BackColor", "query Font", "query FontSize", "query ChosenFontSize", "query Wrap", "query COS",
                            "query SOT", "query X", "query Y", "query W", "query H", "close"));
    EXPECT_THAT(Only(events, "host:"), ElementsAreArray(kDefaultsApplied));
    EXPECT_THAT(Only(events, "ini:"), ElementsAre());
}

TEST_F(SettingsStoreTest, ExistingKeyIsNeverFilledInWithDefaults) {
    registry.Put("Font", 0);  // present but incomplete
    EXPECT_FALSE(store.WriteFirstRunDefaults());
    EXPECT_THAT(Only(events, "reg:"), ElementsAre("open Software\\corvalex 0x20009", "close"));
}

TEST_F(SettingsStoreTest, UnreadableValueStopsLoadingAfterWhatWasAppliedSoFar) {
    const Events all = {"FontColor 0", "BackColor 16777215", "FontName Terminal", "Points 9", "Chosen 9",
                        "PressWrap",   "CheckCOS",           "CheckSOT"};
    struct Case { const char* name; RegType type; std::size_t size; const char* error; std::size_t applied; };
    const Case cases[] = {
        {"X", RegType::None, 0, "Failed to get data for 'X'", 8},          // None: no value at all
        {"Wrap", RegType::String, 2, "Invalid data type for 'Wrap'", 5},   // "1" and its terminator
        {"Wrap", RegType::String, 8, "Failed to get data for 'Wrap'", 5},  // too long: the size fails first
        {"Wrap", RegType::DwordBigEndian, 4, "Invalid data type for 'Wrap'", 5},
        {"Wrap", RegType::Dword, 8, "Failed to get data for 'Wrap'", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        events.clear();
        registry.PutDefaults();
        for (const char* on : {"Wrap", "COS", "SOT"}) registry.Put(on, 1);
        registry.values[c.name] = {c.type, c.size, 1};
        if (c.type == RegType::None) registry.values.erase(c.name);
        EXPECT_EQ(ErrorOf(&core::SettingsStore::Load), c.error);
        EXPECT_THAT(Only(events, "host:"), ElementsAreArray(all.data(), c.applied));
        EXPECT_EQ(events.back(), "reg:close");
    }
}

TEST_F(SettingsStoreTest, StoredIndicesOutsideTheirRangeLoadTheFallbacks) {
    struct Case { std::int32_t font, size; const char* name; const char* points; };
    const Case cases[] = {{7, 41, "FontName Terminal", "Points 9"},
                          {-1, -3, "FontName Terminal", "Points 9"},
                          {0, 4, "FontName Courier New", "Points 12"}};
    for (const auto& c : cases) {
        events.clear();
        registry.PutDefaults();
        registry.Put("Font", c.font);
        registry.Put("FontSize", c.size);
        registry.Put("Wrap", -1);   // any non-zero switch is on
        registry.Put("X", -30000);  // placement is applied unclamped
        store.Load();
        EXPECT_THAT(Only(events, "host:"), ElementsAre("FontColor 0", "BackColor 16777215", c.name, c.points,
                                                       ::testing::StartsWith("Chosen "), "PressWrap", "Left -30000",
                                                       "Top 0", "Width 700", "Height 500"));
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
    const Events allOpens = {"Software\\corvalex 0x20019", "Software\\corvalex 0x20009", "Software\\corvalex 0x1"};
    for (const auto& c : cases) {
        events.clear();
        registry.values.clear();
        if (c.keyExists) registry.PutDefaults();
        registry.keyExists = c.keyExists;
        registry.refusedAccess = c.refused;
        store.Load();
        EXPECT_THAT(Only(events, "reg:open "), ElementsAreArray(allOpens.data(), c.opens));
        EXPECT_THAT(Only(events, "reg:create"), ElementsAre());
        if (c.applied)
            EXPECT_THAT(Only(events, "host:"), ElementsAreArray(kDefaultsApplied));
        else
            EXPECT_THAT(Only(events, "host:"), ElementsAre("Message Unable to access registry settings!"));
    }
}

// The INI grammar itself is tested with the integer parser; here: defaults, switches and centring.
TEST_F(SettingsStoreTest, IniImportWritesEachEntryOrItsDefaultAndIsNotOverwrittenByFirstRun) {
    ini.exists = true;
    ini.entries = {{"FontColor", "$FF"}, {"BackColor", "0xFF"}, {"Font", "0"}, {"W", "7OO"},
                   {"Wrap", "2"},        {"COS", "yes"},        {"SOT", "-1"}, {"H", "$FFFFFFFF"}};
    host.bounds = {0, 0, 805, 603};
    host.screen = {800, 600};  // centred at -2.5 and -1.5, truncated toward zero
    Start();
    EXPECT_THAT(Only(events, "reg:set "), ElementsAre("FontColor=255", "BackColor=255", "Font=0", "FontSize=1",
                                                      "Wrap=1", "COS=0", "SOT=1", "X=-2", "Y=-1", "W=805",
                                                      "H=-1"));
    EXPECT_THAT(Only(events, "reg:create "), ElementsAre("Software\\corvalex 0x20006"));
    EXPECT_FALSE(ini.exists);
    // Written at once, each entry read just after its default was taken from the window.
    const auto at = [&](const std::string& e) { return std::find(events.begin(), events.end(), e) - events.begin(); };
    EXPECT_LT(at("ini:read Settings.SOT"), at("reg:set SOT=1"));
    EXPECT_LT(at("reg:set SOT=1"), at("host:ScreenSize"));
    EXPECT_LT(at("host:ScreenSize"), at("ini:read Settings.X"));
    EXPECT_LT(at("reg:close"), at("ini:delete"));
    EXPECT_THAT(Only(events, "host:"),
                ::testing::IsSupersetOf({"FontName Courier New", "PressWrap", "CheckSOT", "Left -2", "Top -1"}));
}

TEST_F(SettingsStoreTest, IniFileThatCannotBeDeletedKeepsItsValuesAndSaysSo) {
    ini.exists = true;
    ini.deletable = false;
    ini.entries = {{"COS", "1"}};
    store.ImportIniSettings();
    EXPECT_THAT(Only(events, "reg:set COS="), ElementsAre("1"));
    EXPECT_TRUE(ini.exists);
    EXPECT_EQ(Only(events, "host:Message ").back(),
              "Settings were imported from INI file but it couldn't be deleted. Check your permissions and try "
              "to delete it manually.");
}

TEST_F(SettingsStoreTest, WriteFailingMidwayEndsImportAndSaveThere) {
    struct Case { void (core::SettingsStore::*operation)(); const char* failing; Events sets; };
    const Case cases[] = {
        {&core::SettingsStore::ImportIniSettings, "SOT",
         {"FontColor=0", "BackColor=16777215", "Font=2", "FontSize=1", "Wrap=0", "COS=0", "SOT=0"}},
        // The window's face is none of the three, so Save skips Font.
        {&core::SettingsStore::Save, "Wrap",
         {"FontColor=1193046", "BackColor=6636321", "FontSize=2", "ChosenFontSize=2", "Wrap=0"}},
    };
    ini.exists = true;
    for (const auto& c : cases) {
        events.clear();
        registry.failingWrite = c.failing;
        EXPECT_EQ(ErrorOf(c.operation), std::string("Failed to set data for '") + c.failing + "'");
        EXPECT_THAT(Only(events, "reg:set "), ElementsAreArray(c.sets));
        EXPECT_EQ(events.back(), "reg:close");
    }
    EXPECT_TRUE(ini.exists);  // the import did not get as far as deleting it
}

TEST_F(SettingsStoreTest, KeyThatCannotBeCreatedFailsAtTheFirstWriteButSaveOnlySaysSo) {
    ini.exists = true;
    registry.refuseCreate = true;
    EXPECT_EQ(ErrorOf(&core::SettingsStore::ImportIniSettings), "Failed to set data for 'FontColor'");
    EXPECT_EQ(ErrorOf(&core::SettingsStore::WriteFirstRunDefaults), "Failed to set data for 'FontColor'");
    EXPECT_TRUE(ini.exists);
    EXPECT_THAT(Only(events, "host:"), ElementsAre());
    store.Save();
    EXPECT_THAT(Only(events, "host:"), ElementsAre("Message Could not write registry settings."));
    EXPECT_THAT(Only(events, "reg:set"), ElementsAre());
}

TEST_F(SettingsStoreTest, SaveWritesTheControlsBackInOrder) {
    registry.PutDefaults();
    host.fontColor = 0xAA;
    host.backColor = -16;  // a system colour passes unchanged
    host.fontName = "Lucida Console";
    host.points = 14;
    host.chosen = 11;
    host.wrap = true;
    host.stayOnTop = true;
    host.bounds = {-8, -8, 1296, 1000};
    store.Save();
    EXPECT_THAT(Only(events, "reg:"),
                ElementsAre("create Software\\corvalex 0x20006", "set FontColor=170", "set BackColor=-16",
                            "set Font=1", "set FontSize=6", "set ChosenFontSize=3", "set Wrap=1", "set COS=0",
                            "set SOT=1", "set X=-8", "set Y=-8", "set W=1296", "set H=1000", "close"));
}

// Zoom keeps the shown size in FontSize as the dialog's sizes always were, and the dialog's own
// choice beside it; settings from before zoom have no such value and lose nothing.
TEST_F(SettingsStoreTest, AZoomedSizeAndTheChosenOneSurviveARestart) {
    struct Case {
        std::int32_t fontSize;
        std::optional<RegType> chosenType;  // absent when nullopt
        std::int32_t chosen;
        const char* points;
        const char* chosenPoints;
    };
    const Case cases[] = {
        {16, RegType::Dword, 2, "Points 24", "Chosen 10"},    // zoomed to 24 from the dialog's 10
        {-2, RegType::Dword, 0, "Points 6", "Chosen 8"},      // the smallest zoom: below the dialog's list
        {40, RegType::Dword, 4, "Points 48", "Chosen 12"},
        {3, std::nullopt, 0, "Points 11", "Chosen 11"},       // older settings: the shown size was chosen
        {16, std::nullopt, 0, "Points 24", "Chosen 9"},       // no chosen size, and the shown one is no choice
        {1, RegType::Dword, 5, "Points 9", "Chosen 9"},       // 13 points: not in the dialog's list
        {1, RegType::String, 2, "Points 9", "Chosen 9"},      // a wrong type is no error here
    };
    for (const auto& c : cases) {
        events.clear();
        registry.PutDefaults();
        registry.Put("FontSize", c.fontSize);
        if (c.chosenType) registry.values["ChosenFontSize"] = {*c.chosenType, 4, c.chosen};
        EXPECT_EQ(ErrorOf(&core::SettingsStore::Load), "(no error)");
        EXPECT_THAT(Only(events, "host:"), ::testing::IsSupersetOf({c.points, c.chosenPoints})) << c.fontSize;
        registry.values.erase("ChosenFontSize");
    }
    host.points = 6;
    host.chosen = 12;
    store.Save();
    EXPECT_THAT(Only(events, "reg:set "), ::testing::IsSupersetOf({"FontSize=-2", "ChosenFontSize=4"}));
}

}  // namespace
