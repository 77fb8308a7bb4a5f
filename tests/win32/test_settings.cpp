// The settings key and the INI import against the test prefix's real registry and profile API,
// and one run of the built program from start to close.
#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.hpp"
#include "tests/win32/support.hpp"

using namespace testing_support;

namespace {

constexpr const char* kSubkey = "Software\\corvalex";
constexpr const char* kNames[] = {"FontColor", "BackColor", "Font", "FontSize", "Wrap", "COS",
                                  "SOT",       "X",         "Y",    "W",        "H"};
const std::vector<LONG> kFirstRunDefaults = {0, 0xFFFFFF, 2, 1, 0, 0, 0, 0, 0, 700, 500};

// An open key, closed on every way out.
class Key {
public:
    Key(REGSAM access, bool create) {
        const LONG result = create ? ::RegCreateKeyExA(HKEY_CURRENT_USER, kSubkey, 0, nullptr, 0, access, nullptr,
                                                       &key_, nullptr)
                                   : ::RegOpenKeyExA(HKEY_CURRENT_USER, kSubkey, 0, access, &key_);
        if (result != ERROR_SUCCESS) key_ = nullptr;
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (key_) ::RegCloseKey(key_);
    }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

bool SettingsKeyExists() { return Key(KEY_READ, false).get() != nullptr; }

// The value when it is a 4-byte REG_DWORD; nullopt when it is missing or anything else.
std::optional<LONG> StoredDword(const char* name) {
    Key key(KEY_READ, false);
    if (!key.get()) return std::nullopt;
    DWORD type = REG_NONE, data = 0, size = sizeof data;
    if (::RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof data)
        return std::nullopt;
    return static_cast<LONG>(data);
}

// All eleven in their stored order; a missing or mistyped value reads as a marker that no test stores.
std::vector<LONG> StoredValues() {
    std::vector<LONG> values;
    for (const char* name : kNames) values.push_back(StoredDword(name).value_or(0x7EADBEEF));
    return values;
}

void StoreRaw(const char* name, DWORD type, const std::string& bytes) {
    Key key(KEY_WRITE, true);
    ASSERT_NE(key.get(), nullptr);
    ASSERT_EQ(::RegSetValueExA(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                               static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
}

void StoreDword(const char* name, LONG value) {
    StoreRaw(name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value));
}

// The eleven values in stored order.
void StoreValues(const std::vector<LONG>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) StoreDword(kNames[i], values[i]);
}

void DeleteValue(const char* name) {
    Key key(KEY_WRITE, false);
    ::RegDeleteValueA(key.get(), name);
}

int ScreenPixelsPerInch() {
    HDC screen = ::GetDC(nullptr);
    const int ppi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return ppi;
}

int HeightOfPoints(int points) { return -::MulDiv(points, ScreenPixelsPerInch(), 72); }

LOGFONTA FontOf(HFONT font) {
    LOGFONTA info{};
    ::GetObjectA(font, sizeof info, &info);
    return info;
}

struct Bounds {
    LONG left, top, width, height;
    bool operator==(const Bounds&) const = default;
};

void PrintTo(const Bounds& b, std::ostream* out) {
    *out << b.left << "," << b.top << " " << b.width << "x" << b.height;
}

Bounds WindowBounds(HWND wnd) {
    RECT rect{};
    ::GetWindowRect(wnd, &rect);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

Bounds StoredBounds() {
    return {StoredDword("X").value_or(-1), StoredDword("Y").value_or(-1), StoredDword("W").value_or(-1),
            StoredDword("H").value_or(-1)};
}

// The main window's outer size as its layout creates it.
SIZE LayoutOuterSize() {
    RECT frame{0, 0, forms::TFrmMain::kDesignedClientWidth, forms::TFrmMain::kDesignedClientHeight};
    ::AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

// The real registry, except that one value's write is refused while `refused` names it.
class RefusingRegistry final : public core::Registry {
public:
    std::string refused;

    std::unique_ptr<core::RegistryKey> Open(const std::string& subkey, std::uint32_t access) override {
        return Wrap(real_.Open(subkey, access));
    }
    std::unique_ptr<core::RegistryKey> Create(const std::string& subkey, std::uint32_t access) override {
        return Wrap(real_.Create(subkey, access));
    }

private:
    class RefusingKey final : public core::RegistryKey {
    public:
        RefusingKey(std::unique_ptr<core::RegistryKey> real, const std::string& refused)
            : real_(std::move(real)), refused_(refused) {}
        core::QueryResult QueryValue(const std::string& name) override { return real_->QueryValue(name); }
        bool SetDword(const std::string& name, std::int32_t value) override {
            return name != refused_ && real_->SetDword(name, value);
        }

    private:
        std::unique_ptr<core::RegistryKey> real_;
        const std::string& refused_;
    };

    std::unique_ptr<core::RegistryKey> Wrap(std::unique_ptr<core::RegistryKey> key) {
        if (!key) return nullptr;
        return std::make_unique<RefusingKey>(std::move(key), refused);
    }

    platform::Win32Registry real_;
};

class SettingsStore : public MainWindowTest {
protected:
    // As Start, with another registry, and optionally leaving the window hidden as FormCreate left it.
    void StartWith(core::Registry& registry, const std::string& commandLine, bool show) {
        frm_ = std::make_unique<forms::TFrmMain>(
            forms::FrmMainServices{prompts_, registry, *ini_, commandLine, false});
        frm_->Create();
        if (show) ::ShowWindow(frm_->Handle(), SW_SHOWNORMAL);
        Pump();
    }
    void Close() {
        ::SendMessageA(Frm().Handle(), WM_CLOSE, 0, 0);
        Pump();
    }
    bool WrapButtonDown() { return ::SendMessageA(Frm().ToolBar(), TB_ISBUTTONCHECKED, forms::kBtnWrap, 0) != 0; }
    bool Checked(int id) {
        return (::GetMenuState(Frm().MainMenu(), static_cast<UINT>(id), MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
    bool Topmost() { return (::GetWindowLongA(Frm().Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
    bool ViewWraps() {
        return Memo().Wrap() && !(::GetWindowLongA(Memo().Handle(), GWL_STYLE) & (WS_HSCROLL | ES_AUTOHSCROLL));
    }
    std::string WriteIni(const std::string& text) { return scratch_.Write("corvalex.ini", text); }
};

}  // namespace

TEST_F(SettingsStore, FirstStartWritesTheDefaultsAndShowsThem) {
    ASSERT_FALSE(SettingsKeyExists());
    Start();
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(StoredValues(), kFirstRunDefaults);

    EXPECT_EQ(Memo().FontName(), "Terminal");
    EXPECT_EQ(Memo().FontHeight(), HeightOfPoints(9));
    const LOGFONTA font = FontOf(Memo().Font());
    EXPECT_STREQ(font.lfFaceName, "Terminal");
    EXPECT_EQ(font.lfHeight, HeightOfPoints(9));
    EXPECT_EQ(font.lfCharSet, OEM_CHARSET);
    EXPECT_EQ(Memo().FontColor(), 0);
    EXPECT_EQ(Memo().BackColor(), 0xFFFFFF);
    EXPECT_FALSE(WrapButtonDown());
    EXPECT_FALSE(Memo().Wrap());
    EXPECT_FALSE(Checked(forms::kCmdCopyonSelect));
    EXPECT_FALSE(Checked(forms::kCmdStayonTop));
    EXPECT_FALSE(Topmost());
    EXPECT_EQ(WindowBounds(Frm().Handle()), (Bounds{0, 0, 700, 500}));
}

TEST_F(SettingsStore, ChangedStatesSurviveACloseAndTheNextStart) {
    // Colours and face pass through unchanged, a system colour (negative) included.
    std::vector<LONG> seeded = kFirstRunDefaults;
    seeded[0] = static_cast<LONG>(0x80000008);  // COLOR_WINDOWTEXT
    seeded[1] = 0x00336699;
    seeded[2] = 1;  // Lucida Console
    seeded[3] = 3;  // 11 points
    StoreValues(seeded);

    Start();
    ASSERT_TRUE(prompts_.messages.empty());
    PressKey('W', {VK_CONTROL});
    PressKey('T', {VK_CONTROL});
    ::SendMessageA(Frm().Handle(), WM_COMMAND, forms::kCmdCopyonSelect, 0);
    Pump();
    ASSERT_TRUE(WrapButtonDown());
    ASSERT_TRUE(Topmost());
    ::SetWindowPos(Frm().Handle(), nullptr, -30, 45, 655, 433, SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    const Bounds moved = WindowBounds(Frm().Handle());
    ASSERT_EQ(moved, (Bounds{-30, 45, 655, 433}));
    Close();
    ASSERT_FALSE(WindowAlive());
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(StoredValues(), (std::vector<LONG>{static_cast<LONG>(0x80000008), 0x00336699, 1, 3, 1, 1, 1, -30, 45,
                                                  655, 433}));

    Start();
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_TRUE(WrapButtonDown());
    EXPECT_TRUE(ViewWraps());
    EXPECT_TRUE(Checked(forms::kCmdCopyonSelect));
    EXPECT_TRUE(Checked(forms::kCmdStayonTop));
    EXPECT_TRUE(Topmost());
    EXPECT_EQ(WindowBounds(Frm().Handle()), moved);
    EXPECT_EQ(Memo().FontName(), "Lucida Console");
    EXPECT_EQ(Memo().FontHeight(), HeightOfPoints(11));
    EXPECT_EQ(FontOf(Memo().Font()).lfCharSet, OEM_CHARSET);
    EXPECT_EQ(Memo().FontColor(), static_cast<std::int32_t>(0x80000008));
    EXPECT_EQ(Memo().BackColor(), 0x00336699);

    // And switched off again, each is stored as 0.
    PressKey('W', {VK_CONTROL});
    PressKey('T', {VK_CONTROL});
    ::SendMessageA(Frm().Handle(), WM_COMMAND, forms::kCmdCopyonSelect, 0);
    Pump();
    Close();
    ASSERT_FALSE(WindowAlive());
    const std::vector<LONG> stored = StoredValues();
    EXPECT_EQ(std::vector<LONG>(stored.begin() + 4, stored.begin() + 7), (std::vector<LONG>{0, 0, 0}));
}

TEST_F(SettingsStore, AMaximisedWindowStoresItsMaximisedRectangle) {
    Start();
    ::ShowWindow(Frm().Handle(), SW_MAXIMIZE);
    Pump();
    ASSERT_TRUE(::IsZoomed(Frm().Handle()));
    const Bounds maximised = WindowBounds(Frm().Handle());
    Close();
    ASSERT_FALSE(WindowAlive());
    EXPECT_EQ(StoredBounds(), maximised);

    Start();  // a normal window over the same area
    EXPECT_FALSE(::IsZoomed(Frm().Handle()));
    EXPECT_EQ(WindowBounds(Frm().Handle()), maximised);
}

TEST_F(SettingsStore, AMinimisedWindowStoresItsRestoredRectangle) {
    Start();
    ::SetWindowPos(Frm().Handle(), nullptr, 120, 80, 640, 420, SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(Frm().Handle(), SW_MINIMIZE);
    Pump();
    ASSERT_TRUE(::IsIconic(Frm().Handle()));
    Close();
    ASSERT_FALSE(WindowAlive());
    EXPECT_EQ(StoredBounds(), (Bounds{120, 80, 640, 420}));
}

TEST_F(SettingsStore, AnIniFileIsImportedOnceAndDeleted) {
    const std::string ini = WriteIni("[Settings]\r\nFont=0\r\nFontColor=0xFF\r\n");
    Start();
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_FALSE(platform::FileExists(ini));
    const SIZE layout = LayoutOuterSize();
    const LONG x = (::GetSystemMetrics(SM_CXSCREEN) - layout.cx) / 2;
    const LONG y = (::GetSystemMetrics(SM_CYSCREEN) - layout.cy) / 2;
    EXPECT_EQ(StoredValues(), (std::vector<LONG>{255, 0xFFFFFF, 0, 1, 0, 0, 0, x, y, layout.cx, layout.cy}));
    EXPECT_EQ(Memo().FontName(), "Courier New");
    EXPECT_EQ(Memo().FontHeight(), HeightOfPoints(9));
    EXPECT_EQ(Memo().FontColor(), 255);
    EXPECT_EQ(WindowBounds(Frm().Handle()), (Bounds{x, y, layout.cx, layout.cy}));
}

TEST_F(SettingsStore, IniTextsGoThroughTheProfileReaderAndTheIntegerGrammar) {
    // Blanks and one pair of quotes are the profile reader's to trim; the rest is the grammar's.
    WriteIni("[Settings]\r\n"
             "FontColor=$FF\r\n"
             "BackColor=\"0x00FF00\"\r\n"
             "Font = 1 \r\n"
             "FontSize=yes\r\n"
             "Wrap=2\r\n"
             "COS=yes\r\n"
             "SOT=-1\r\n"
             "X=-40\r\n"
             "Y=+12\r\n"
             "W=7OO\r\n"
             "H=$FFFFFFFF\r\n");
    Start();
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(StoredValues(), (std::vector<LONG>{255, 0xFF00, 1, 1, 1, 0, 1, -40, 12, LayoutOuterSize().cx, -1}));
}

TEST_F(SettingsStore, AnIniFileThatCannotBeDeletedIsReportedAndImportedAgain) {
    const std::string ini = WriteIni("[Settings]\r\nFont=0\r\nSOT=1\r\n");
    ASSERT_TRUE(::SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY));
    Start();
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text,
              "Settings were imported from INI file but it couldn't be deleted. "
              "Check your permissions and try to delete it manually.");
    EXPECT_EQ(prompts_.messages[0].flags, static_cast<UINT>(MB_OK));
    EXPECT_TRUE(platform::FileExists(ini));
    EXPECT_EQ(StoredDword("Font"), 0);
    EXPECT_EQ(Memo().FontName(), "Courier New");
    EXPECT_TRUE(Checked(forms::kCmdStayonTop));

    PressKey('T', {VK_CONTROL});  // saved as off at close...
    Close();
    ASSERT_EQ(StoredDword("SOT"), 0);
    prompts_.messages.clear();
    Start();  // ...and the file's value replaces it at the next start
    EXPECT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(StoredDword("SOT"), 1);
    EXPECT_TRUE(Checked(forms::kCmdStayonTop));
}

TEST_F(SettingsStore, ABrokenValueStopsTheStartUpWithItsError) {
    struct Case {
        const char* name;
        DWORD type;       // REG_NONE: the value is deleted
        std::string data;
        const char* message;
    };
    const Case cases[] = {
        {"Wrap", REG_SZ, std::string("1\0", 2), "Invalid data type for 'Wrap'"},
        {"Wrap", REG_SZ, std::string("1234567\0", 8), "Failed to get data for 'Wrap'"},
        {"FontSize", REG_BINARY, std::string("\x01\x00", 2), "Invalid data type for 'FontSize'"},
        {"H", REG_QWORD, std::string(8, '\0'), "Failed to get data for 'H'"},
        {"Y", REG_NONE, "", "Failed to get data for 'Y'"},
    };
    const std::string file = scratch_.Write("shown.nfo", "text\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        DeleteSettingsKey();
        std::vector<LONG> values = kFirstRunDefaults;
        values[0] = 0x0000FF;  // applied before any of the broken ones
        StoreValues(values);
        if (c.type == REG_NONE)
            DeleteValue(c.name);
        else
            StoreRaw(c.name, c.type, c.data);
        prompts_.messages.clear();
        Start("corvalex.exe \"" + file + "\"");
        ASSERT_EQ(prompts_.messages.size(), 1u);
        EXPECT_EQ(prompts_.messages[0].text, c.message);
        EXPECT_EQ(prompts_.messages[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
        EXPECT_EQ(Memo().FontColor(), 0x0000FF);
        EXPECT_TRUE(::IsWindowVisible(Frm().Handle()));
        EXPECT_EQ(Memo().Text(), "");  // the command-line file is not opened
        EXPECT_EQ(Frm().StatusText(0), "");
        EXPECT_FALSE(::GetWindowLongA(Frm().Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
        frm_.reset();  // gone without its close sequence, so nothing is saved over the broken value
        Pump();
    }
}

TEST_F(SettingsStore, FontIndexAndSizeOutsideTheirRangesFallBack) {
    struct Case {
        LONG font, size;
        const char* face;
        int points;
    };
    const Case cases[] = {
        {7, 4, "Terminal", 12},      {-1, 5, "Terminal", 9},    {0, 0, "Courier New", 8},
        {1, -1, "Lucida Console", 9}, {2, 3, "Terminal", 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.font) + "/" + std::to_string(c.size));
        DeleteSettingsKey();
        std::vector<LONG> values = kFirstRunDefaults;
        values[2] = c.font;
        values[3] = c.size;
        StoreValues(values);
        Start();
        EXPECT_TRUE(prompts_.messages.empty());
        EXPECT_EQ(Memo().FontName(), c.face);
        EXPECT_EQ(Memo().FontHeight(), HeightOfPoints(c.points));
        const LOGFONTA font = FontOf(Memo().Font());
        EXPECT_STREQ(font.lfFaceName, c.face);
        EXPECT_EQ(font.lfHeight, HeightOfPoints(c.points));
        EXPECT_EQ(font.lfCharSet, OEM_CHARSET);
        frm_.reset();
        Pump();
    }
}

TEST_F(SettingsStore, StayOnTopIsAppliedBeforeTheWindowFirstShows) {
    std::vector<LONG> values = kFirstRunDefaults;
    values[6] = 1;
    StoreValues(values);
    StartWith(registry_, "corvalex.exe", false);
    EXPECT_FALSE(::IsWindowVisible(Frm().Handle()));
    EXPECT_TRUE(Topmost());
    EXPECT_TRUE(Checked(forms::kCmdStayonTop));
    ::ShowWindow(Frm().Handle(), SW_SHOWNORMAL);
    Pump();
    EXPECT_TRUE(Topmost());
}

TEST_F(SettingsStore, AFailedWriteAtCloseKeepsTheWindowAndTheTemporaryFile) {
    RefusingRegistry registry;
    StartWith(registry, "corvalex.exe", true);
    ASSERT_TRUE(prompts_.messages.empty());
    PressKey('W', {VK_CONTROL});
    PressKey('T', {VK_CONTROL});
    const std::string temp = platform::TempFilePath();
    { std::ofstream(temp) << "cleaned copy"; }

    registry.refused = "SOT";
    Close();
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text, "Failed to set data for 'SOT'");
    EXPECT_EQ(prompts_.messages[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_TRUE(WindowAlive());
    EXPECT_TRUE(platform::FileExists(temp));
    EXPECT_EQ(StoredDword("Wrap"), 1);  // written before the refusal
    EXPECT_EQ(StoredDword("SOT"), 0);   // neither it nor what follows
    EXPECT_EQ(StoredDword("W"), 700);

    registry.refused.clear();
    ::SetWindowPos(Frm().Handle(), nullptr, 0, 0, 650, 450, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Close();  // closing again repeats the whole save
    EXPECT_EQ(prompts_.messages.size(), 1u);
    EXPECT_FALSE(WindowAlive());
    EXPECT_FALSE(platform::FileExists(temp));
    EXPECT_EQ(StoredDword("SOT"), 1);
    EXPECT_EQ(StoredDword("W"), 650);
}

// ---- the built program, run as the user runs it -----------------------------------------------

namespace {

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteSettingsKey();
        ::DeleteFileA(platform::TempFilePath().c_str());
    }
    void TearDown() override { DeleteSettingsKey(); }
    ScratchFolder scratch_;
};

// The program sits beside this test executable; the build's own path for it is a host path.
std::string ProgramPath() {
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string dir(self);
    dir.erase(dir.find_last_of("\\/") + 1);
    std::string name(CORVALEX_EXE);
    name.erase(0, name.find_last_of("\\/") + 1);
    return dir + name;
}

class ProcessHandles {
public:
    ProcessHandles() = default;
    ProcessHandles(const ProcessHandles&) = delete;
    ProcessHandles& operator=(const ProcessHandles&) = delete;
    ~ProcessHandles() {
        if (info.hProcess) {
            // Never leave the program behind when a check fails half-way.
            if (::WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(info.hProcess, 1);
            ::CloseHandle(info.hProcess);
        }
        if (info.hThread) ::CloseHandle(info.hThread);
    }
    PROCESS_INFORMATION info{};
};

// The program's main window once it is shown, or nullptr after the timeout.
HWND WaitForMainWindow(DWORD processId, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    do {
        for (HWND wnd = ::FindWindowExA(nullptr, nullptr, "TFrmMain", "Corvale"); wnd;
             wnd = ::FindWindowExA(nullptr, wnd, "TFrmMain", "Corvale")) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(wnd, &owner);
            if (owner == processId && ::IsWindowVisible(wnd)) return wnd;
        }
        ::Sleep(50);
    } while (::GetTickCount() - start < timeoutMs);
    return nullptr;
}

std::wstring WindowTextW(HWND wnd) {
    const LRESULT length = ::SendMessageW(wnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = ::SendMessageW(wnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

}  // namespace

TEST_F(EndToEnd, TheProgramShowsAFileAndStoresItsSettingsAtClose) {
    const std::string program = ProgramPath();
    const std::string besideIni = program.substr(0, program.find_last_of('\\') + 1) + "corvalex.ini";
    ASSERT_FALSE(platform::FileExists(besideIni)) << "a stray " << besideIni << " would be imported";
    const std::string file = scratch_.Write("box.nfo", "\xC9\xCD\xBB\r\n\xBAHi\xBA\r\n\xC8\xCD\xBC\r\n");
    std::string commandLine = "\"" + program + "\" \"" + file + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    ProcessHandles process;
    ASSERT_TRUE(::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &process.info))
        << program << " error " << ::GetLastError();

    HWND main = WaitForMainWindow(process.info.dwProcessId, 20000);
    ASSERT_NE(main, nullptr) << "no main window within 20 s";
    ::WaitForInputIdle(process.info.hProcess, 20000);
    HWND view = ::FindWindowExW(main, nullptr, L"EDIT", nullptr);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(WindowTextW(view), L"\u2554\u2550\u2557\r\n\u2551Hi\u2551\r\n\u255A\u2550\u255D\r\n");
    EXPECT_TRUE(platform::FileExists(platform::TempFilePath()));  // the cleaned copy, until the close

    ::PostMessageA(main, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.info.hProcess, 20000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.info.hProcess, 1);
        FAIL() << "the program did not end within 20 s of WM_CLOSE";
    }
    EXPECT_TRUE(SettingsKeyExists());
    EXPECT_EQ(StoredDword("W"), 700);
    EXPECT_FALSE(platform::FileExists(platform::TempFilePath()));
}
