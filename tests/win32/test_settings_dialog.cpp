// The settings dialog driven from inside its own modal loop, against the test prefix's real
// classes root (whose file-type keys the fixture removes before and after each test).
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "core/file_associations.hpp"
#include "core/settings_dialog.hpp"
#include "forms/frm_settings.hpp"
#include "platform/executable_path.hpp"
#include "resources/resource.h"
#include "tests/win32/support.hpp"

using namespace testing_support;

namespace {

// The test prefix has none of these of its own.
constexpr const char* kClassKeys[] = {".nfo", ".diz", ".ion", ".bbs", ".txt", "TarvikNFO"};
constexpr int kBoxes[] = {IDC_CBNFO, IDC_CBDIZ, IDC_CBION, IDC_CBBBS, IDC_CBTXT};

void DeleteTree(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    char name[256];
    for (;;) {
        DWORD length = sizeof name;
        if (::RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        DeleteTree(key, name);
    }
    ::RegCloseKey(key);
    ::RegDeleteKeyA(root, path.c_str());
}

bool KeyExists(const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

// The key's default value as it is stored: type and bytes.
struct Stored {
    DWORD type = REG_NONE;
    std::string bytes;
};

std::optional<Stored> DefaultValue(const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    Stored stored;
    DWORD size = 0;
    std::optional<Stored> result;
    if (::RegQueryValueExW(key, L"", nullptr, &stored.type, nullptr, &size) == ERROR_SUCCESS) {
        stored.bytes.resize(size);
        ::RegQueryValueExW(key, L"", nullptr, &stored.type, reinterpret_cast<BYTE*>(stored.bytes.data()), &size);
        result = stored;
    }
    ::RegCloseKey(key);
    return result;
}

// REG_SZ as this program writes it: UTF-16 with its terminator counted.
Stored WideString(const std::string& ascii) {
    std::string bytes;
    for (char c : ascii) bytes += {c, '\0'};
    return Stored{REG_SZ, bytes + std::string(2, '\0')};
}

std::optional<std::string> DefaultText(const std::string& path) {
    const std::optional<Stored> stored = DefaultValue(path);
    if (!stored) return std::nullopt;
    std::string text;
    for (std::size_t i = 0; i + 1 < stored->bytes.size() && stored->bytes[i]; i += 2) text += stored->bytes[i];
    return text;
}

void PutDefault(const std::string& path, DWORD type, const std::string& bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(key, "", 0, type, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    ::RegCloseKey(key);
}

void PutText(const std::string& path, const std::string& text) { PutDefault(path, REG_SZ, text + '\0'); }

// The real classes root, except that creating one key is refused while `refused` names it.
class RefusingClassesRoot final : public core::Registry {
public:
    std::string refused;
    std::unique_ptr<core::RegistryKey> Open(const std::string& subkey, std::uint32_t access) override {
        return real_.Open(subkey, access);
    }
    std::unique_ptr<core::RegistryKey> Create(const std::string& subkey, std::uint32_t access) override {
        return subkey == refused ? nullptr : real_.Create(subkey, access);
    }
    bool DeleteKey(const std::string& subkey) override { return real_.DeleteKey(subkey); }

private:
    platform::Win32Registry real_{HKEY_CLASSES_ROOT};
};

std::function<void()> whileShown;  // the step a test runs inside the dialog's loop

void CALLBACK RunWhileShown(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    const std::function<void()> step = std::move(whileShown);
    whileShown = nullptr;
    if (step) step();
}

class SettingsDialog : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        for (const char* key : kClassKeys) DeleteTree(HKEY_CLASSES_ROOT, key);
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        for (const char* key : kClassKeys) DeleteTree(HKEY_CLASSES_ROOT, key);
    }

    void StartWithDialog() {
        Start();
        dialog_ = std::make_unique<forms::TFrmSettings>(Frm().Handle());
        Frm().AttachSettingsDialog(*dialog_, classes_);
    }

    HWND Control(int id) const { return dialog_->Control(id); }
    HWND DialogWnd() const { return dialog_->Handle(); }

    // Clicks Settings; once the dialog runs its own loop, `step` acts on it, then `button` ends it.
    void OpenSettings(const std::function<void()>& step, int button = IDOK) {
        shown_ = false;
        whileShown = [this, step, button] {
            shown_ = ::IsWindowVisible(DialogWnd()) && !::IsWindowEnabled(Frm().Handle());
            if (step) step();
            if (button) ::SendMessageA(DialogWnd(), WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                                       reinterpret_cast<LPARAM>(Control(button)));
        };
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 1, &RunWhileShown);
        ::SendMessageA(Frm().Handle(), WM_COMMAND, forms::kBtnSettings, 0);
        ::KillTimer(nullptr, timer);
        whileShown = nullptr;
        Pump();
    }

    // The dialog's own messages, as its loop would take them.
    void PumpDialog() {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (::IsDialogMessageA(DialogWnd(), &msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }

    void Select(int id, int index) { ::SendMessageA(Control(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
    int Selected(int id) const { return static_cast<int>(::SendMessageA(Control(id), CB_GETCURSEL, 0, 0)); }
    void Tick(int id, bool on) { ::SendMessageA(Control(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
    bool Ticked(int id) const { return ::SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void TickAll(bool on) {
        for (int id : kBoxes) Tick(id, on);
    }
    std::string Caption(int id) const {
        char text[128] = {};
        ::GetWindowTextA(id ? Control(id) : DialogWnd(), text, sizeof text);
        return text;
    }
    RECT ClientRectOf(int id) const {
        RECT rect{};
        ::GetWindowRect(Control(id), &rect);
        ::MapWindowPoints(nullptr, DialogWnd(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    RECT DialogRect() const {
        RECT rect{};
        ::GetWindowRect(DialogWnd(), &rect);
        return rect;
    }

    platform::Win32Registry classes_{HKEY_CLASSES_ROOT};
    std::unique_ptr<forms::TFrmSettings> dialog_;
    bool shown_ = false;
};

TEST_F(SettingsDialog, HasItsDesignedLayoutCaptionsAndTabOrder) {
    StartWithDialog();
    RECT client{};
    ::GetClientRect(DialogWnd(), &client);
    EXPECT_EQ(client.right, 308);
    EXPECT_EQ(client.bottom, 221);
    EXPECT_EQ(Caption(0), "Settings");
    const LONG_PTR style = ::GetWindowLongPtrA(DialogWnd(), GWL_STYLE);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_FALSE(::IsWindowVisible(DialogWnd()));

    struct Expected {
        int id;
        const char* caption;
        RECT rect;
    };
    const Expected controls[] = {
        {IDC_LABEL1, "Associate with the following extensions:", {8, 8, 200, 21}},
        {IDC_CBNFO, ".NFO", {8, 33, 57, 50}},          {IDC_CBTXT, ".TXT", {228, 33, 277, 50}},
        {IDC_BEVEL2, "", {8, 105, 297, 114}},          {IDC_LABEL2, "&Font:", {8, 74, 34, 87}},
        {IDC_COMBOFONT, "", {40, 71, 185, 92}},        {IDC_COMBOSIZE, "", {228, 71, 296, 92}},
        {IDC_LABEL5, "&Background color:", {165, 120, 251, 133}},
        {IDC_COMBOTEXT, "", {8, 139, 148, 161}},       {IDC_COMBOBACK, "", {165, 139, 299, 161}},
        {IDOK, "OK", {141, 188, 216, 212}},            {IDCANCEL, "Cancel", {222, 188, 297, 212}},
    };
    for (const Expected& c : controls) {
        const RECT rect = ClientRectOf(c.id);
        EXPECT_EQ(Caption(c.id), c.caption) << c.id;
        EXPECT_EQ(rect.left, c.rect.left) << c.id;
        EXPECT_EQ(rect.top, c.rect.top) << c.id;
        if (c.id == IDC_LABEL1 || c.id == IDC_LABEL2 || c.id == IDC_LABEL5)
            EXPECT_GE(rect.right, c.rect.right) << c.id;  // a label grows when the font draws wider
        else
            EXPECT_EQ(rect.right, c.rect.right) << c.id;
        EXPECT_EQ(rect.bottom, c.rect.bottom) << c.id;
    }
    EXPECT_EQ(::GetWindowLongPtrA(Control(IDOK), GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);

    const int tabOrder[] = {IDC_CBNFO, IDC_CBDIZ,     IDC_CBION,     IDC_CBBBS,     IDC_CBTXT, IDC_COMBOFONT,
                            IDC_COMBOSIZE, IDC_COMBOTEXT, IDC_COMBOBACK, IDOK,          IDCANCEL};
    HWND at = Control(IDCANCEL);
    for (int id : tabOrder) {
        at = ::GetNextDlgTabItem(DialogWnd(), at, FALSE);
        EXPECT_EQ(::GetDlgCtrlID(at), id);
    }

    // Each picker entry's value is its item data; the lists hold their texts.
    for (int picker : {IDC_COMBOTEXT, IDC_COMBOBACK}) {
        ASSERT_EQ(::SendMessageA(Control(picker), CB_GETCOUNT, 0, 0), 20);
        EXPECT_EQ(::SendMessageA(Control(picker), CB_GETITEMDATA, 4, 0), 0x800000);  // Navy
        EXPECT_EQ(::SendMessageA(Control(picker), CB_GETITEMDATA, 19, 0), 0xA4A0A0);
        char name[32] = {};
        ::SendMessageA(Control(picker), CB_GETLBTEXT, 16, reinterpret_cast<LPARAM>(name));
        EXPECT_STREQ(name, "Money Green");
    }
    EXPECT_EQ(::SendMessageA(Control(IDC_COMBOTEXT), CB_GETITEMHEIGHT, 0, 0), 16);
    EXPECT_EQ(::SendMessageA(Control(IDC_COMBOFONT), CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(::SendMessageA(Control(IDC_COMBOSIZE), CB_GETCOUNT, 0, 0), 5);
}

TEST_F(SettingsDialog, FirstOpeningShowsTheViewAndTheRegistryCentredOverTheMainWindow) {
    PutText(".nfo", "TarvikNFO");
    PutText(".diz", "OtherViewer.diz");
    PutText(".txt", "tarviknfo");
    StartWithDialog();
    RECT shownAt{};
    OpenSettings([&] { shownAt = DialogRect(); }, IDCANCEL);
    EXPECT_TRUE(shown_);
    EXPECT_EQ(Selected(IDC_COMBOFONT), 2);  // Terminal
    EXPECT_EQ(Selected(IDC_COMBOSIZE), 1);  // 9
    EXPECT_EQ(Selected(IDC_COMBOTEXT), 0);  // Black
    EXPECT_EQ(Selected(IDC_COMBOBACK), 15); // White
    EXPECT_TRUE(Ticked(IDC_CBNFO));
    for (int id : {IDC_CBDIZ, IDC_CBION, IDC_CBBBS, IDC_CBTXT}) EXPECT_FALSE(Ticked(id)) << id;

    RECT main{};
    ::GetWindowRect(Frm().Handle(), &main);  // 0, 0, 700 x 500 after a first start
    EXPECT_EQ(shownAt.left, (700 - (shownAt.right - shownAt.left)) / 2);
    EXPECT_EQ(shownAt.top, (500 - (shownAt.bottom - shownAt.top)) / 2);
    EXPECT_FALSE(::IsWindowVisible(DialogWnd()));
    EXPECT_TRUE(::IsWindowEnabled(Frm().Handle()));
}

TEST_F(SettingsDialog, OkAppliesToTheViewAtOnceAndTheNextCloseStoresIt) {
    StartWithDialog();
    OpenSettings([&] {
        Select(IDC_COMBOFONT, 0);   // Courier New
        Select(IDC_COMBOSIZE, 4);   // 12
        Select(IDC_COMBOTEXT, 11);  // Yellow
        Select(IDC_COMBOBACK, 4);   // Navy
        Tick(IDC_CBNFO, true);
    });
    EXPECT_EQ(Memo().FontName(), "Courier New");
    EXPECT_EQ(Memo().FontHeight(), -16);  // 12 points at 96 dpi
    EXPECT_EQ(Memo().FontColor(), 0x00FFFF);
    EXPECT_EQ(Memo().BackColor(), 0x800000);

    const std::string program = platform::ShellExecutablePath();
    EXPECT_EQ(DefaultText(".nfo"), "TarvikNFO");
    EXPECT_EQ(DefaultText("TarvikNFO\\DefaultIcon"), program);
    EXPECT_EQ(DefaultText("TarvikNFO\\shell\\open\\command"), program + " \"%1\"");
    EXPECT_EQ(DefaultValue("TarvikNFO\\shell\\open\\command")->bytes.size(), (program.size() + 5 + 1) * 2);
    EXPECT_EQ(DefaultValue("TarvikNFO"), std::nullopt);  // no description of the class
    EXPECT_FALSE(KeyExists(".txt"));  // unticked and not ours: untouched

    ::SendMessageA(Frm().Handle(), WM_CLOSE, 0, 0);
    Pump();
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\corvalex", 0, KEY_READ, &key), ERROR_SUCCESS);
    const std::pair<const char*, DWORD> stored[] = {{"Font", 0}, {"FontSize", 4}, {"FontColor", 0x00FFFF},
                                                    {"BackColor", 0x800000}};
    for (const auto& [name, value] : stored) {
        DWORD data = 0xDEAD, size = sizeof data;
        ::RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size);
        EXPECT_EQ(data, value) << name;
    }
    ::RegCloseKey(key);
}

TEST_F(SettingsDialog, EachExtensionIsAssociatedAndThenExactlyRemoved) {
    StartWithDialog();
    OpenSettings([&] { TickAll(true); });
    for (const char* extension : core::kAssociatedExtensions) {
        ASSERT_TRUE(DefaultValue(extension)) << extension;
        EXPECT_EQ(DefaultValue(extension)->type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(DefaultValue(extension)->bytes, WideString("TarvikNFO").bytes) << extension;
    }
    OpenSettings([&] {
        for (int id : kBoxes) EXPECT_TRUE(Ticked(id)) << id;  // read back from the registry
        TickAll(false);
    });
    for (const char* extension : {".nfo", ".diz", ".ion", ".bbs"}) EXPECT_FALSE(KeyExists(extension)) << extension;
    EXPECT_EQ(DefaultText(".txt"), "txtfile");
    EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(SettingsDialog, OtherProgramsExtensionsSurviveAnUntickedOk) {
    PutText(".diz", "OtherViewer.diz");
    PutText(".diz\\ShellNew", "other");
    PutText(".txt", "SomeEditor.txt");
    StartWithDialog();
    OpenSettings(nullptr);
    EXPECT_EQ(DefaultText(".diz"), "OtherViewer.diz");
    EXPECT_EQ(DefaultText(".diz\\ShellNew"), "other");
    EXPECT_EQ(DefaultText(".txt"), "SomeEditor.txt");
    EXPECT_FALSE(KeyExists(".nfo"));
    EXPECT_TRUE(KeyExists("TarvikNFO\\shell\\open\\command"));  // the class is written whatever the boxes say
}

TEST_F(SettingsDialog, TheReadOutTicksButNeverUnticks) {
    PutText(".nfo", "TarvikNFO");
    StartWithDialog();
    OpenSettings([&] {
        Tick(IDC_CBNFO, false);  // unticked, then cancelled: still associated
        Tick(IDC_CBDIZ, true);   // ticked, then cancelled: kept for the next showing
    }, IDCANCEL);
    OpenSettings(nullptr, IDCANCEL);
    EXPECT_TRUE(Ticked(IDC_CBNFO));
    EXPECT_TRUE(Ticked(IDC_CBDIZ));
    EXPECT_FALSE(KeyExists(".diz"));
    OpenSettings(nullptr);
    EXPECT_EQ(DefaultText(".diz"), "TarvikNFO");
}

TEST_F(SettingsDialog, CancelChangesNothingAndTheDialogReopensWhereItWasLeft) {
    StartWithDialog();
    OpenSettings([&] {
        ::SetWindowPos(DialogWnd(), nullptr, 37, 41, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Select(IDC_COMBOFONT, 1);
        Select(IDC_COMBOTEXT, 9);
        TickAll(true);
    }, IDCANCEL);
    EXPECT_EQ(Memo().FontName(), "Terminal");
    EXPECT_EQ(Memo().FontColor(), 0);
    for (const char* key : kClassKeys) EXPECT_FALSE(KeyExists(key)) << key;

    RECT shownAt{};
    ::SetWindowPos(Frm().Handle(), nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    OpenSettings([&] { shownAt = DialogRect(); }, IDCANCEL);
    EXPECT_EQ(shownAt.left, 37);
    EXPECT_EQ(shownAt.top, 41);
    EXPECT_EQ(Selected(IDC_COMBOFONT), 2);  // filled from the view again
    EXPECT_EQ(Selected(IDC_COMBOTEXT), 0);
}

TEST_F(SettingsDialog, KeysAndTheCloseBoxEndItAsUsersExpect) {
    StartWithDialog();
    struct Case {
        const char* name;
        std::function<void(HWND dialog, HWND focus)> act;
        bool applied;
    };
    const Case cases[] = {
        {"Enter", [](HWND, HWND focus) { ::PostMessageA(focus, WM_KEYDOWN, VK_RETURN, 1); }, true},
        {"Esc", [](HWND, HWND focus) { ::PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 1); }, false},
        {"close box", [](HWND dialog, HWND) { ::PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }, false},
    };
    int colour = 9;  // Red, then Lime, then Yellow
    for (const Case& c : cases) {
        const std::int32_t before = Memo().FontColor();
        bool ended = false;
        OpenSettings([&] {
            Select(IDC_COMBOTEXT, colour);
            ::SetFocus(Control(IDC_CBNFO));
            c.act(DialogWnd(), Control(IDC_CBNFO));
            PumpDialog();
            ended = !dialog_->Showing();
        }, 0);
        EXPECT_TRUE(ended) << c.name;
        EXPECT_EQ(Memo().FontColor(), c.applied ? core::kNamedColours[colour].value : before) << c.name;
        ++colour;
    }
}

TEST_F(SettingsDialog, AccessKeysFocusTheirControls) {
    StartWithDialog();
    const std::pair<char, int> keys[] = {{'f', IDC_COMBOFONT}, {'s', IDC_COMBOSIZE}, {'t', IDC_COMBOTEXT},
                                         {'b', IDC_COMBOBACK}};
    OpenSettings([&] {
        for (const auto& [letter, id] : keys) {
            ::SetFocus(Control(IDOK));
            ::PostMessageA(Control(IDOK), WM_SYSCHAR, static_cast<WPARAM>(letter), 1 << 29);
            PumpDialog();
            EXPECT_EQ(::GetFocus(), Control(id)) << letter;
        }
    }, IDCANCEL);
}

TEST_F(SettingsDialog, AValueNoEntryHoldsKeepsTheViewsOwn) {
    StartWithDialog();
    Memo().SetFontColor(0x123456);
    Memo().SetBackColor(-16777201);  // a system colour
    OpenSettings([&] {
        EXPECT_EQ(Selected(IDC_COMBOTEXT), CB_ERR);
        EXPECT_EQ(Selected(IDC_COMBOBACK), CB_ERR);
    });
    EXPECT_EQ(Memo().FontColor(), 0x123456);
    EXPECT_EQ(Memo().BackColor(), -16777201);
    EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(SettingsDialog, ARefusedKeyShowsTheErrorBoxAfterTheViewChanged) {
    RefusingClassesRoot refusing;
    refusing.refused = ".ion";
    Start();
    dialog_ = std::make_unique<forms::TFrmSettings>(Frm().Handle());
    Frm().AttachSettingsDialog(*dialog_, refusing);
    OpenSettings([&] {
        Select(IDC_COMBOFONT, 1);
        TickAll(true);
    });
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text, "Failed to set data for ''");
    EXPECT_EQ(prompts_.messages[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(Memo().FontName(), "Lucida Console");
    EXPECT_EQ(DefaultText(".diz"), "TarvikNFO");  // written before the refusal
    EXPECT_FALSE(KeyExists(".bbs"));              // never reached
}

TEST_F(SettingsDialog, AnExtensionHoldingNoStringStopsBeforeTheDialogShows) {
    PutDefault(".bbs", REG_DWORD, std::string("\x01\x00\x00\x00", 4));
    StartWithDialog();
    OpenSettings(nullptr);
    EXPECT_FALSE(shown_);
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text, "Invalid data type for ''");
    EXPECT_FALSE(KeyExists("TarvikNFO"));
}

TEST_F(SettingsDialog, ACloseWhileItIsShownWaitsForIt) {
    StartWithDialog();
    OpenSettings([&] {
        ::PostMessageA(Frm().Handle(), WM_CLOSE, 0, 0);
        PumpDialog();
        EXPECT_TRUE(WindowAlive());
    }, IDCANCEL);
    EXPECT_FALSE(WindowAlive());
}

}  // namespace
