// The settings dialog driven from inside its own modal loop, against the test prefix's real
// classes, per user and machine-wide (whose file-type keys the fixture removes before and after
// each test).
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "core/file_associations.hpp"
#include "core/settings_dialog.hpp"
#include "forms/frm_settings.hpp"
#include "platform/executable_path.hpp"
#include "platform/unicode.hpp"
#include "resources/resource.h"
#include "tests/win32/support.hpp"

using namespace testing_support;

namespace {

// The test prefix has none of these of its own, in either part.
constexpr const char* kClassKeys[] = {".nfo", ".diz", ".ion", ".bbs", ".txt", "TarvikNFO"};
constexpr int kBoxes[] = {IDC_CBNFO, IDC_CBDIZ, IDC_CBION, IDC_CBBBS, IDC_CBTXT};
const HKEY kParts[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};

std::string ClassesPath(const char* path) { return std::string("Software\\Classes\\") + path; }

void DeleteTree(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    char name[256];
    for (DWORD length = sizeof name;
         ::RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         length = sizeof name)
        DeleteTree(key, name);
    ::RegCloseKey(key);
    ::RegDeleteKeyA(root, path.c_str());
}

// A value of one part of the classes root: the default one unless named. REG_NONE stores no data.
void Put(HKEY part, const char* path, const std::string& data, DWORD type = REG_SZ, const char* name = "") {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(part, ClassesPath(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD size = type == REG_NONE ? 0 : static_cast<DWORD>(data.size() + (type == REG_SZ ? 1 : 0));
    ::RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.c_str()), size);
    ::RegCloseKey(key);
}

// Every key below the file types' keys in both parts, and each value with its type and raw bytes,
// in the system's order: equal snapshots mean byte-for-byte equal registries.
void SnapshotTree(HKEY root, const std::wstring& path, std::vector<std::wstring>& lines) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    lines.push_back(L"[" + path + L"]");
    for (DWORD index = 0;; ++index) {
        wchar_t name[16384];
        BYTE data[4096];
        DWORD nameLength = 16384, size = sizeof data, type = 0;
        if (::RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        std::wstring line = std::wstring(name, nameLength) + L"=" + std::to_wstring(type) + L":";
        for (DWORD i = 0; i < size; ++i) line += std::to_wstring(data[i]) + L",";
        lines.push_back(line);
    }
    std::vector<std::wstring> subkeys;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        if (::RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        subkeys.emplace_back(name, length);
    }
    ::RegCloseKey(key);
    for (const std::wstring& subkey : subkeys) SnapshotTree(root, path + L"\\" + subkey, lines);
}

std::vector<std::wstring> Snapshot() {
    std::vector<std::wstring> lines;
    for (HKEY part : kParts) {
        lines.push_back(part == HKEY_CURRENT_USER ? L"HKCU" : L"HKLM");
        for (const char* path : kClassKeys) SnapshotTree(part, platform::Widen(ClassesPath(path)), lines);
    }
    return lines;
}

// One real part of the classes root. The user's can refuse to create one key; the machine-wide one
// can refuse every change, as it does for a standard user.
struct ClassesPart final : platform::Win32Registry {
    explicit ClassesPart(HKEY root) : Win32Registry(root, platform::kClassesSubkey) {}
    std::unique_ptr<core::RegistryKey> Open(const std::string& subkey, std::uint32_t access) override {
        return readOnly && access != core::kKeyRead ? nullptr : Win32Registry::Open(subkey, access);
    }
    std::unique_ptr<core::RegistryKey> Create(const std::string& subkey, std::uint32_t access) override {
        return readOnly || subkey == refused ? nullptr : Win32Registry::Create(subkey, access);
    }
    bool DeleteKey(const std::string& subkey) override { return !readOnly && Win32Registry::DeleteKey(subkey); }
    bool Exists(const std::string& path) { return Win32Registry::Open(path, KEY_READ) != nullptr; }
    core::StringQueryResult Value(const std::string& path, const std::string& name = "") {  // status Failed without the key
        const auto key = Win32Registry::Open(path, KEY_READ);
        return key ? key->QueryString(name) : core::StringQueryResult{};
    }
    core::StringQueryResult Default(const std::string& path) { return Value(path); }
    std::string refused;
    bool readOnly = false;
};

struct CountedNotifications final : platform::ShellNotifications {
    void AssociationsChanged() override { ++count; }
    int count = 0;
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
    static void DeleteClassKeys() {
        for (HKEY part : kParts)
            for (const char* key : kClassKeys) DeleteTree(part, ClassesPath(key));
    }
    void SetUp() override {
        MainWindowTest::SetUp();
        DeleteClassKeys();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        DeleteClassKeys();
    }

    void StartWithDialog() {
        Start();
        dialog_ = std::make_unique<forms::TFrmSettings>(Frm().Handle(), prompts_);
        Frm().AttachSettingsDialog(*dialog_, {{classes_, machine_}, notices_});
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
    std::string Caption(int id) const {
        char text[128] = {};
        ::GetWindowTextA(id ? Control(id) : DialogWnd(), text, sizeof text);
        return text;
    }

    ClassesPart classes_{HKEY_CURRENT_USER};  // where the associations are written
    ClassesPart machine_{HKEY_LOCAL_MACHINE};
    CountedNotifications notices_;
    std::unique_ptr<forms::TFrmSettings> dialog_;
    bool shown_ = false;
};

TEST_F(SettingsDialog, HasItsDesignedLayoutListsAndTabOrder) {
    StartWithDialog();
    RECT client{};
    ::GetClientRect(DialogWnd(), &client);
    EXPECT_EQ(std::tuple(client.right, client.bottom), std::tuple(308L, 221L));
    EXPECT_EQ(Caption(0), "Settings");
    EXPECT_FALSE(::GetWindowLongPtrA(DialogWnd(), GWL_STYLE) & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_EQ(::GetWindowLongPtrA(Control(IDOK), GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);

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
        RECT rect{};
        ::GetWindowRect(Control(c.id), &rect);
        ::MapWindowPoints(nullptr, DialogWnd(), reinterpret_cast<POINT*>(&rect), 2);
        // A label grows when the font draws wider.
        const bool label = c.id == IDC_LABEL1 || c.id == IDC_LABEL2 || c.id == IDC_LABEL5;
        const LONG right = label ? std::min(rect.right, c.rect.right) : rect.right;
        EXPECT_EQ(Caption(c.id), c.caption) << c.id;
        EXPECT_EQ(std::tuple(rect.left, rect.top, right, rect.bottom),
                  std::tuple(c.rect.left, c.rect.top, c.rect.right, c.rect.bottom)) << c.id;
    }

    const int tabOrder[] = {IDC_CBNFO,     IDC_CBDIZ,     IDC_CBION,     IDC_CBBBS, IDC_CBTXT, IDC_COMBOFONT,
                            IDC_COMBOSIZE, IDC_COMBOTEXT, IDC_COMBOBACK, IDOK,      IDCANCEL};
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

// Centred over the main window; OK leaves what is not ours alone, and a colour no entry holds.
TEST_F(SettingsDialog, FirstOpeningShowsTheViewAndTheRegistryAndOkKeepsWhatItDoesNotOwn) {
    Put(HKEY_CURRENT_USER, ".nfo", "TarvikNFO");
    Put(HKEY_CURRENT_USER, ".diz", "OtherViewer.diz");
    Put(HKEY_CURRENT_USER, ".diz\\ShellNew", "other");
    Put(HKEY_CURRENT_USER, ".txt", "tarviknfo");
    StartWithDialog();
    Memo().SetFontColor(0x123456);
    RECT shownAt{};
    OpenSettings([&] { ::GetWindowRect(DialogWnd(), &shownAt); });
    EXPECT_TRUE(shown_);
    // Terminal, 9, no entry, White.
    const std::pair<int, int> selected[] = {{IDC_COMBOFONT, 2}, {IDC_COMBOSIZE, 1}, {IDC_COMBOTEXT, CB_ERR},
                                            {IDC_COMBOBACK, 15}};
    for (const auto& [id, index] : selected) EXPECT_EQ(Selected(id), index) << id;
    for (int id : kBoxes) EXPECT_EQ(Ticked(id), id == IDC_CBNFO) << id;
    EXPECT_EQ(shownAt.left, (700 - (shownAt.right - shownAt.left)) / 2);  // the main window: 0, 0, 700 x 500
    EXPECT_EQ(shownAt.top, (500 - (shownAt.bottom - shownAt.top)) / 2);
    EXPECT_FALSE(::IsWindowVisible(DialogWnd()));
    EXPECT_TRUE(::IsWindowEnabled(Frm().Handle()));

    EXPECT_EQ(Memo().FontColor(), 0x123456);
    EXPECT_EQ(classes_.Default(".nfo").text, "TarvikNFO");
    EXPECT_EQ(classes_.Default(".diz").text, "OtherViewer.diz");
    EXPECT_EQ(classes_.Default(".diz\\ShellNew").text, "other");
    EXPECT_EQ(classes_.Default(".txt").text, "tarviknfo");
    EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(SettingsDialog, OkAppliesToTheViewAtOnceAndTheNextCloseStoresIt) {
    StartWithDialog();
    OpenSettings([&] {
        Select(IDC_COMBOFONT, 0);   // Courier New
        Select(IDC_COMBOSIZE, 4);   // 12
        Select(IDC_COMBOTEXT, 11);  // Yellow
        Select(IDC_COMBOBACK, 4);   // Navy
    });
    EXPECT_EQ(Memo().FontName(), "Courier New");
    EXPECT_EQ(Memo().FontHeight(), -16);  // 12 points at 96 dpi
    EXPECT_EQ(Memo().FontColor(), 0x00FFFF);
    EXPECT_EQ(Memo().BackColor(), 0x800000);

    ::SendMessageA(Frm().Handle(), WM_CLOSE, 0, 0);
    Pump();
    const std::unique_ptr<core::RegistryKey> key = registry_.Open("Software\\corvalex", KEY_READ);
    ASSERT_TRUE(key);
    const std::pair<const char*, std::int32_t> stored[] = {
        {"Font", 0}, {"FontSize", 4}, {"FontColor", 0x00FFFF}, {"BackColor", 0x800000}};
    for (const auto& [name, value] : stored) {
        const core::QueryResult query = key->QueryValue(name);
        EXPECT_EQ(query.status, core::QueryStatus::Ok) << name;
        EXPECT_EQ(query.data, value) << name;
    }
}

// Written per user, where a standard user may write; nothing lands in the machine-wide part.
TEST_F(SettingsDialog, EachExtensionIsAssociatedPerUserAndThenExactlyRemoved) {
    StartWithDialog();
    OpenSettings([&] {
        for (int id : kBoxes) Tick(id, true);
    });
    const std::string program = platform::ShellExecutablePath();
    EXPECT_EQ(classes_.Default("TarvikNFO\\DefaultIcon").text, program);
    const core::StringQueryResult command = classes_.Default("TarvikNFO\\shell\\open\\command");
    EXPECT_EQ(command.text, program + " \"%1\"");
    EXPECT_EQ(command.size, (command.text.size() + 1) * 2);  // UTF-16, its terminator counted
    EXPECT_NE(classes_.Default("TarvikNFO").status, core::QueryStatus::Ok);  // no description of the class
    for (const char* extension : core::kAssociatedExtensions) {
        const core::StringQueryResult value = classes_.Default(extension);
        EXPECT_EQ(std::tuple(value.type, value.size, value.text),
                  std::tuple(core::RegType::String, std::size_t{20}, "TarvikNFO")) << extension;
        EXPECT_FALSE(machine_.Exists(extension)) << extension;
    }
    EXPECT_FALSE(machine_.Exists("TarvikNFO"));
    EXPECT_EQ(notices_.count, 1);

    OpenSettings([&] {
        for (int id : kBoxes) Tick(id, false);
    });
    for (const char* extension : {".nfo", ".diz", ".ion", ".bbs"})
        EXPECT_FALSE(classes_.Exists(extension)) << extension;
    EXPECT_EQ(classes_.Default(".txt").text, "txtfile");  // nothing shows beneath it in the test prefix
    EXPECT_FALSE(classes_.Exists("TarvikNFO"));            // no extension names it any more
    EXPECT_EQ(notices_.count, 2);
    EXPECT_TRUE(prompts_.messages.empty());
}

// Another program's associations, set per user or machine-wide, come back byte for byte after
// ours were ticked and unticked; meanwhile the program stays listed under "Open with".
TEST_F(SettingsDialog, TickingAndUntickingGivesAnotherProgramsAssociationsBackByteForByte) {
    StartWithDialog();
    for (HKEY owner : kParts) {
        SCOPED_TRACE(owner == HKEY_CURRENT_USER ? "per user" : "machine-wide");
        DeleteClassKeys();
        Put(owner, ".nfo", "OtherNfo.Document");
        Put(owner, ".nfo", "text/plain", REG_SZ, "Content Type");
        Put(owner, ".nfo\\OpenWithProgids", "", REG_NONE, "OtherNfo.Document");
        Put(owner, ".txt", "OtherTxt.Doc");
        Put(owner, ".txt\\ShellNew", "", REG_SZ, "NullFile");
        const std::vector<std::wstring> before = Snapshot();
        const int notices = notices_.count;

        OpenSettings([&] {
            Tick(IDC_CBNFO, true);
            Tick(IDC_CBTXT, true);
        });
        for (const char* extension : {".nfo", ".txt"}) {
            EXPECT_EQ(classes_.Default(extension).text, "TarvikNFO") << extension;
            const core::StringQueryResult listed = classes_.Value(std::string(extension) + "\\OpenWithProgids", "TarvikNFO");
            EXPECT_EQ(std::tuple(listed.status, listed.type, listed.size),
                      std::tuple(core::QueryStatus::Ok, core::RegType::None, std::size_t{0})) << extension;
        }
        const core::StringQueryResult remembered = classes_.Value(".nfo", "Corvale.Previous");
        if (owner == HKEY_CURRENT_USER) {
            EXPECT_EQ(std::tuple(remembered.type, remembered.text),
                      std::tuple(core::RegType::String, "OtherNfo.Document"));
        } else {
            EXPECT_NE(remembered.status, core::QueryStatus::Ok);  // nothing replaced: it still shows beneath
            EXPECT_EQ(machine_.Default(".nfo").text, "OtherNfo.Document");
        }
        EXPECT_EQ(notices_.count, notices + 1);

        OpenSettings([&] {
            for (int id : kBoxes) EXPECT_EQ(Ticked(id), id == IDC_CBNFO || id == IDC_CBTXT) << id;
            Tick(IDC_CBNFO, false);
            Tick(IDC_CBTXT, false);
        });
        EXPECT_EQ(Snapshot(), before);
        EXPECT_EQ(notices_.count, notices + 2);
        EXPECT_TRUE(prompts_.messages.empty());
    }
}

// An older run as administrator wrote its claims where HKEY_CLASSES_ROOT put them, machine-wide.
// They tick the boxes; unticked, they are taken back where this user may write, and where not,
// they stay without an error box the user could do nothing about, and tick the boxes again.
TEST_F(SettingsDialog, OlderMachineWideClaimsAreTakenBackWhereTheyMayBe) {
    Put(HKEY_LOCAL_MACHINE, ".nfo", "TarvikNFO");
    Put(HKEY_LOCAL_MACHINE, ".txt", "TarvikNFO");
    Put(HKEY_LOCAL_MACHINE, "TarvikNFO\\shell\\open\\command", "C:\\OLD\\CORVALEX.EXE \"%1\"");
    StartWithDialog();
    const std::vector<std::wstring> before = Snapshot();
    machine_.readOnly = true;
    const auto untickAll = [&] {
        for (int id : kBoxes) EXPECT_EQ(Ticked(id), id == IDC_CBNFO || id == IDC_CBTXT) << id;
        for (int id : kBoxes) Tick(id, false);
    };
    OpenSettings(untickAll);
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(machine_.Default(".nfo").text, "TarvikNFO");
    EXPECT_TRUE(machine_.Exists("TarvikNFO\\shell\\open\\command"));  // .nfo still names it
    EXPECT_NE(Snapshot(), before);  // the user's class, written whatever the boxes say

    machine_.readOnly = false;
    OpenSettings(untickAll);
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_FALSE(machine_.Exists(".nfo"));
    EXPECT_EQ(machine_.Default(".txt").text, "txtfile");
    EXPECT_FALSE(machine_.Exists("TarvikNFO"));
    for (const char* path : kClassKeys) EXPECT_FALSE(classes_.Exists(path)) << path;
}

// The boxes keep their states between showings: the read-out ticks, never unticks.
TEST_F(SettingsDialog, CancelChangesNothingAndTheDialogReopensAsItWasLeft) {
    Put(HKEY_CURRENT_USER, ".nfo", "TarvikNFO");
    StartWithDialog();
    OpenSettings([&] {
        ::SetWindowPos(DialogWnd(), nullptr, 37, 41, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Select(IDC_COMBOFONT, 1);
        Select(IDC_COMBOTEXT, 9);
        Tick(IDC_CBNFO, false);
        Tick(IDC_CBDIZ, true);
    }, IDCANCEL);
    EXPECT_EQ(Memo().FontName(), "Terminal");
    EXPECT_EQ(Memo().FontColor(), 0);
    EXPECT_EQ(classes_.Default(".nfo").text, "TarvikNFO");
    EXPECT_FALSE(classes_.Exists(".diz"));
    EXPECT_FALSE(classes_.Exists("TarvikNFO"));
    EXPECT_EQ(notices_.count, 0);

    RECT shownAt{};
    ::SetWindowPos(Frm().Handle(), nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    OpenSettings([&] { ::GetWindowRect(DialogWnd(), &shownAt); }, IDCANCEL);
    EXPECT_EQ(std::tuple(shownAt.left, shownAt.top), std::tuple(37L, 41L));
    EXPECT_EQ(Selected(IDC_COMBOFONT), 2);  // filled from the view again
    EXPECT_EQ(Selected(IDC_COMBOTEXT), 0);
    EXPECT_TRUE(Ticked(IDC_CBNFO));
    EXPECT_TRUE(Ticked(IDC_CBDIZ));
}

// A zoomed size is the view's, not the dialog's: the size list shows no selection and OK keeps it.
// The size OK does choose is what Ctrl+0 returns to, in this run and the next.
TEST_F(SettingsDialog, AZoomedSizeIsKeptAndTheChosenSizeIsWhereCtrlZeroReturns) {
    StartWithDialog();
    OpenSettings(nullptr, IDCANCEL);
    EXPECT_EQ(Selected(IDC_COMBOSIZE), 1);  // 9
    for (int i = 0; i < 4; ++i) PressKey(VK_OEM_PLUS, {VK_CONTROL});
    ASSERT_EQ(Frm().Zoom().Points(), 14);
    OpenSettings([&] {
        EXPECT_EQ(Selected(IDC_COMBOSIZE), CB_ERR);
        Select(IDC_COMBOBACK, 4);  // Navy
    });
    EXPECT_EQ(Frm().Zoom().Points(), 14);
    EXPECT_EQ(Memo().BackColor(), 0x800000);
    PressKey('0', {VK_CONTROL});
    EXPECT_EQ(Frm().Zoom().Points(), 9);

    OpenSettings([&] { Select(IDC_COMBOSIZE, 3); });  // 11
    EXPECT_EQ(Frm().Zoom().Points(), 11);
    PressKey(VK_ADD, {VK_CONTROL});
    PressKey(VK_ADD, {VK_CONTROL});
    EXPECT_EQ(Frm().Zoom().Points(), 14);
    ::SendMessageA(Frm().Handle(), WM_CLOSE, 0, 0);
    Pump();
    StartWithDialog();
    EXPECT_EQ(Frm().Zoom().Points(), 14);
    PressKey('0', {VK_CONTROL});
    EXPECT_EQ(Frm().Zoom().Points(), 11);
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

TEST_F(SettingsDialog, RegistryFaultsShowTheirErrorBox) {
    StartWithDialog();
    classes_.refused = ".ion";  // met after the view changed; what was written before stays
    OpenSettings([&] {
        Select(IDC_COMBOFONT, 1);
        for (int id : kBoxes) Tick(id, true);
    });
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text, "Failed to set data for ''");
    EXPECT_EQ(prompts_.messages[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(Memo().FontName(), "Lucida Console");
    EXPECT_EQ(classes_.Default(".diz").text, "TarvikNFO");
    EXPECT_FALSE(classes_.Exists(".bbs"));

    Put(HKEY_CURRENT_USER, ".bbs", std::string("\x01\x00\x00\x00", 4), REG_DWORD);  // met before the dialog shows
    OpenSettings(nullptr);
    EXPECT_FALSE(shown_);
    ASSERT_EQ(prompts_.messages.size(), 2u);
    EXPECT_EQ(prompts_.messages[1].text, "Invalid data type for ''");
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
