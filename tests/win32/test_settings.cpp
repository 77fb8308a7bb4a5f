// The settings key and the INI import against the test prefix's real registry and profile API,
// and one run of the built program from start to close.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.hpp"
#include "platform/unicode.hpp"
#include "tests/win32/support.hpp"

using namespace testing_support;

namespace {

constexpr const char* kSubkey = "Software\\corvalex";
constexpr const char* kNames[] = {"FontColor", "BackColor", "Font", "FontSize", "Wrap", "COS",
                                  "SOT",       "X",         "Y",    "W",        "H"};
const std::vector<LONG> kFirstRunDefaults = {0, 0xFFFFFF, 2, 1, 0, 0, 0, 0, 0, 700, 500};

// The settings key open, closed on every way out; get() is null when it would not open.
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
    ~Key() { if (key_) ::RegCloseKey(key_); }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

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

using Bounds = std::array<LONG, 4>;  // left, top, width, height

Bounds WindowBounds(HWND wnd) {
    RECT rect{};
    ::GetWindowRect(wnd, &rect);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

Bounds StoredBounds() {
    const std::vector<LONG> values = StoredValues();
    return {values[7], values[8], values[9], values[10]};
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
    struct RefusingKey final : core::RegistryKey {
        RefusingKey(std::unique_ptr<core::RegistryKey> key, const std::string& name) : real(std::move(key)), refused(name) {}
        core::QueryResult QueryValue(const std::string& name) override { return real->QueryValue(name); }
        bool SetDword(const std::string& name, std::int32_t value) override {
            return name != refused && real->SetDword(name, value);
        }
        std::unique_ptr<core::RegistryKey> real;
        const std::string& refused;
    };

    std::unique_ptr<core::RegistryKey> Wrap(std::unique_ptr<core::RegistryKey> key) {
        return key ? std::make_unique<RefusingKey>(std::move(key), refused) : nullptr;
    }

    platform::Win32Registry real_;
};

class SettingsStore : public MainWindowTest {
protected:
    // As Start, with another registry, and optionally leaving the window hidden as FormCreate leaves it.
    void StartWith(core::Registry& registry, bool show) {
        frm_ = std::make_unique<forms::TFrmMain>(
            forms::FrmMainServices{prompts_, registry, *ini_, "corvalex.exe", false});
        frm_->Create();
        if (show) ::ShowWindow(frm_->Handle(), SW_SHOWNORMAL);
        Pump();
    }
    void Close() {
        ::SendMessageA(Frm().Handle(), WM_CLOSE, 0, 0);
        Pump();
    }
    void FlipWrapStayOnTopAndCopyOnSelect() {
        PressKey('W', {VK_CONTROL});
        PressKey('T', {VK_CONTROL});
        ::SendMessageA(Frm().Handle(), WM_COMMAND, forms::kCmdCopyonSelect, 0);
        Pump();
    }
    // The view's real font: face, height from the points through the screen's pixels per inch, OEM set.
    void ExpectFont(const char* face, int points) {
        HDC screen = ::GetDC(nullptr);
        const int ppi = ::GetDeviceCaps(screen, LOGPIXELSY);
        ::ReleaseDC(nullptr, screen);
        LOGFONTA font{};
        ::GetObjectA(Memo().Font(), sizeof font, &font);
        EXPECT_STREQ(font.lfFaceName, face);
        EXPECT_EQ(font.lfHeight, -::MulDiv(points, ppi, 72));
        EXPECT_EQ(font.lfCharSet, OEM_CHARSET);
    }
    bool WrapButtonDown() { return ::SendMessageA(Frm().Commands().ToolBar(), TB_ISBUTTONCHECKED, forms::kBtnWrap, 0) != 0; }
    bool Checked(int id) {
        return (::GetMenuState(Frm().Commands().Menu(), static_cast<UINT>(id), MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
    bool Topmost() { return (::GetWindowLongA(Frm().Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
    std::string WriteIni(const std::string& text) { return scratch_.Write("corvalex.ini", text); }
};

}  // namespace

// First start, then changed states through a close into the next start, which applies them before
// the window first shows.
TEST_F(SettingsStore, FirstStartDefaultsAndChangedStatesSurviveACloseAndTheNextStart) {
    ASSERT_EQ(Key(KEY_READ, false).get(), nullptr);
    Start();
    EXPECT_EQ(StoredValues(), kFirstRunDefaults);
    ExpectFont("Terminal", 9);
    EXPECT_EQ(WindowBounds(Frm().Handle()), (Bounds{0, 0, 700, 500}));
    frm_.reset();  // no close: nothing saved

    // Colours pass through unchanged, a system colour (negative) included.
    StoreDword("FontColor", static_cast<LONG>(0x80000008));  // COLOR_WINDOWTEXT
    StoreDword("BackColor", 0x00336699);
    StoreDword("Font", 1);      // Lucida Console
    StoreDword("FontSize", 3);  // 11 points
    Start();
    FlipWrapStayOnTopAndCopyOnSelect();
    ::SetWindowPos(Frm().Handle(), nullptr, -30, 45, 655, 433, SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    Close();
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(StoredValues(), (std::vector<LONG>{static_cast<LONG>(0x80000008), 0x00336699, 1, 3, 1, 1, 1, -30, 45,
                                                  655, 433}));

    StartWith(registry_, false);  // hidden, as FormCreate leaves it
    EXPECT_TRUE(prompts_.messages.empty());
    ASSERT_FALSE(::IsWindowVisible(Frm().Handle()));
    EXPECT_TRUE(Topmost());
    ::ShowWindow(Frm().Handle(), SW_SHOWNORMAL);
    Pump();
    EXPECT_TRUE(Topmost());
    EXPECT_TRUE(Checked(forms::kCmdStayonTop));
    EXPECT_TRUE(WrapButtonDown());
    EXPECT_TRUE(Memo().Wrap());
    EXPECT_TRUE(Checked(forms::kCmdCopyonSelect));
    EXPECT_EQ(WindowBounds(Frm().Handle()), (Bounds{-30, 45, 655, 433}));
    ExpectFont("Lucida Console", 11);
    EXPECT_EQ(Memo().FontColor(), static_cast<std::int32_t>(0x80000008));
    EXPECT_EQ(Memo().BackColor(), 0x00336699);

    FlipWrapStayOnTopAndCopyOnSelect();  // switched off again, each is stored as 0
    Close();
    const std::vector<LONG> stored = StoredValues();
    EXPECT_EQ(std::vector<LONG>(stored.begin() + 4, stored.begin() + 7), (std::vector<LONG>{0, 0, 0}));
}

// Maximised, the window's own rectangle is stored; minimised, the one it restores to.
TEST_F(SettingsStore, MaximisedAndMinimisedWindowsStoreTheirBounds) {
    for (const int show : {SW_MAXIMIZE, SW_MINIMIZE}) {
        SCOPED_TRACE(show == SW_MAXIMIZE ? "maximised" : "minimised");
        Start();
        ::SetWindowPos(Frm().Handle(), nullptr, 120, 80, 640, 420, SWP_NOZORDER | SWP_NOACTIVATE);
        ::ShowWindow(Frm().Handle(), show);
        Pump();
        ASSERT_TRUE(show == SW_MAXIMIZE ? ::IsZoomed(Frm().Handle()) : ::IsIconic(Frm().Handle()));
        const Bounds expected = show == SW_MAXIMIZE ? WindowBounds(Frm().Handle()) : Bounds{120, 80, 640, 420};
        Close();
        EXPECT_EQ(StoredBounds(), expected);

        Start();  // a normal window over the same area
        EXPECT_FALSE(::IsZoomed(Frm().Handle()) || ::IsIconic(Frm().Handle()));
        EXPECT_EQ(WindowBounds(Frm().Handle()), expected);
    }
}

// Blanks and one pair of quotes are the profile reader's to trim; the rest is the grammar's. The
// window, absent from the file, is centred.
TEST_F(SettingsStore, AnIniFileIsImportedOnceAndDeleted) {
    const std::string ini = WriteIni("[Settings]\r\n"
                                     "FontColor=$FF\r\n"
                                     "BackColor=\"0x00FF00\"\r\n"
                                     "Font = 1 \r\n"
                                     "FontSize=yes\r\n"
                                     "Wrap=2\r\n"
                                     "COS=yes\r\n"
                                     "SOT=-1\r\n");
    Start();
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_FALSE(platform::FileExists(ini));
    RECT layout{0, 0, forms::TFrmMain::kDesignedClientWidth, forms::TFrmMain::kDesignedClientHeight};
    ::AdjustWindowRectEx(&layout, WS_OVERLAPPEDWINDOW, FALSE, 0);
    const LONG w = layout.right - layout.left, h = layout.bottom - layout.top;
    const LONG x = (::GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (::GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    EXPECT_EQ(StoredValues(), (std::vector<LONG>{255, 0xFF00, 1, 1, 1, 0, 1, x, y, w, h}));
    ExpectFont("Lucida Console", 9);
    EXPECT_EQ(Memo().FontColor(), 255);
    EXPECT_EQ(WindowBounds(Frm().Handle()), (Bounds{x, y, w, h}));
}

// The profile file is named to the system in Unicode: a folder the ANSI code page cannot spell
// holds it as well as any other.
TEST_F(SettingsStore, AnIniFileInAFolderNamedOutsideTheAnsiCodePageIsImported) {
    const std::string folder = "\u8A2D\u5B9A \u0436";
    ASSERT_TRUE(::CreateDirectoryW(platform::Widen(scratch_.Path() + "\\" + folder).c_str(), nullptr));
    const std::string ini = scratch_.Write(folder + "\\corvalex.ini", "[Settings]\r\nFont=0\r\nFontSize=4\r\n");
    ini_ = std::make_unique<platform::ProfileIniFile>(ini);
    Start();
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_FALSE(platform::FileExists(ini));
    EXPECT_EQ(StoredDword("Font"), 0);
    EXPECT_EQ(StoredDword("FontSize"), 4);
    ExpectFont("Courier New", 12);
}

TEST_F(SettingsStore, AnIniFileThatCannotBeDeletedIsReported) {
    const std::string ini = WriteIni("[Settings]\r\nFont=0\r\n");
    ASSERT_TRUE(::SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY));
    Start();
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text,
              "Settings were imported from INI file but it couldn't be deleted. "
              "Check your permissions and try to delete it manually.");
    EXPECT_EQ(prompts_.messages[0].flags, static_cast<UINT>(MB_OK));
    EXPECT_TRUE(platform::FileExists(ini));
    EXPECT_EQ(StoredDword("Font"), 0);
    EXPECT_EQ(Memo().FontName(), "Courier New");  // the start-up went on
}

// The first broken value ends FormCreate: what came before stays applied, the command-line file is
// not opened and drops are not accepted.
TEST_F(SettingsStore, ABrokenValueStopsTheStartUpWithItsError) {
    struct Case {
        const char* name;
        DWORD type;  // REG_NONE: the value is deleted
        std::string data;
        const char* message;
    };
    const Case cases[] = {
        {"Wrap", REG_SZ, std::string("1\0", 2), "Invalid data type for 'Wrap'"},
        {"Wrap", REG_SZ, std::string("1234567\0", 8), "Failed to get data for 'Wrap'"},  // too long wins
        {"X", REG_NONE, "", "Failed to get data for 'X'"},
    };
    const std::string file = scratch_.Write("shown.nfo", "text\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        StoreValues(kFirstRunDefaults);
        StoreDword("FontColor", 0x0000FF);
        if (c.type == REG_NONE)
            ::RegDeleteValueA(Key(KEY_WRITE, false).get(), c.name);
        else
            StoreRaw(c.name, c.type, c.data);
        prompts_.messages.clear();
        Start("corvalex.exe \"" + file + "\"");
        ASSERT_EQ(prompts_.messages.size(), 1u);
        EXPECT_EQ(prompts_.messages[0].text, c.message);
        EXPECT_EQ(prompts_.messages[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
        EXPECT_EQ(Memo().FontColor(), 0x0000FF);
        EXPECT_EQ(Memo().Text(), "");
        EXPECT_FALSE(::GetWindowLongA(Frm().Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
        frm_.reset();  // gone without its close sequence, so nothing is saved over the broken value
        Pump();
    }
}

TEST_F(SettingsStore, AFailedWriteAtCloseKeepsTheWindowAndTheTemporaryFile) {
    RefusingRegistry registry;
    StartWith(registry, true);
    ASSERT_TRUE(prompts_.messages.empty());
    FlipWrapStayOnTopAndCopyOnSelect();
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
    EXPECT_EQ(StoredDword("SOT"), 0);

    registry.refused.clear();
    Close();  // closing again repeats the whole save
    EXPECT_EQ(prompts_.messages.size(), 1u);
    EXPECT_FALSE(WindowAlive());
    EXPECT_FALSE(platform::FileExists(temp));
    EXPECT_EQ(StoredDword("SOT"), 1);
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

// Never leaves the program behind when a check fails half-way.
struct ProcessHandles {
    ProcessHandles() = default;
    ProcessHandles(const ProcessHandles&) = delete;
    ProcessHandles& operator=(const ProcessHandles&) = delete;
    ~ProcessHandles() {
        if (info.hProcess && ::WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(info.hProcess, 1);
        if (info.hProcess) ::CloseHandle(info.hProcess);
        if (info.hThread) ::CloseHandle(info.hThread);
    }
    PROCESS_INFORMATION info{};
};

// Starts the program with the arguments as a shell would pass them; false (and why) when it cannot.
::testing::AssertionResult Launch(ProcessHandles& process, const std::string& program, const std::string& arguments) {
    std::wstring commandLine = platform::Widen("\"" + program + "\" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (::CreateProcessW(platform::Widen(program).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         nullptr, &startup, &process.info))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << program << " error " << ::GetLastError();
}

std::wstring Caption(HWND wnd) {
    wchar_t text[256] = {};
    ::GetWindowTextW(wnd, text, 256);
    return text;
}

// The program's main window once it is shown, or nullptr after the timeout: found as automation
// finds it, by its class and "Corvale" in its caption.
HWND WaitForMainWindow(DWORD processId, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    do {
        for (HWND wnd = ::FindWindowExA(nullptr, nullptr, "TFrmMain", nullptr); wnd;
             wnd = ::FindWindowExA(nullptr, wnd, "TFrmMain", nullptr)) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(wnd, &owner);
            if (owner == processId && ::IsWindowVisible(wnd) && Caption(wnd).find(L"Corvale") != std::wstring::npos)
                return wnd;
        }
        ::Sleep(50);
    } while (::GetTickCount() - start < timeoutMs);
    return nullptr;
}

// A status bar panel of another process, read as automation tools read it: the text comes back
// through memory lent in that process, since the bar's messages carry pointers.
std::string RemotePanelText(HANDLE process, HWND bar, int panel) {
    constexpr std::size_t kChars = 1024;
    void* remote = ::VirtualAllocEx(process, nullptr, kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE);
    if (!remote) return "<no memory in the program>";
    const LRESULT info = ::SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(panel), 0);
    std::wstring text(kChars, L'\0');
    if (LOWORD(info) < kChars) {
        ::SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(remote));
        ::ReadProcessMemory(process, remote, text.data(), kChars * sizeof(wchar_t), nullptr);
    }
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    text.resize(std::min<std::size_t>(LOWORD(info), kChars));
    return platform::Narrow(text);
}

}  // namespace

// A first start with a file argument, as double-clicking an associated file gives: the window
// is first sized when it is shown, after the panels were written.
TEST_F(EndToEnd, TheProgramShowsAFileAndStoresItsSettingsAtClose) {
    const std::string program = ProgramPath();
    const std::string besideIni = program.substr(0, program.find_last_of('\\') + 1) + "corvalex.ini";
    ASSERT_FALSE(platform::FileExists(besideIni)) << "a stray " << besideIni << " would be imported";
    // A name outside the ANSI code page, as a shell passes it on a Unicode command line.
    const std::string file =
        scratch_.Write("box \u65E5\u672C\u8A9E.nfo", "\xC9\xCD\xBB\r\n\xBAHi\xBA\r\n\xC8\xCD\xBC\r\n");
    { std::ofstream(platform::TempFilePath()) << "an older version's copy"; }
    ProcessHandles process;
    ASSERT_TRUE(Launch(process, program, "\"" + file + "\""));

    HWND main = WaitForMainWindow(process.info.dwProcessId, 20000);
    ASSERT_NE(main, nullptr) << "no main window within 20 s";
    ::WaitForInputIdle(process.info.hProcess, 20000);
    EXPECT_EQ(Caption(main), L"box \u65E5\u672C\u8A9E.nfo - Corvale");
    HWND view = ::FindWindowExW(main, nullptr, platform::TextView::kClassName, nullptr);
    ASSERT_NE(view, nullptr);
    wchar_t shown[64] = {};  // through the message: the view belongs to another process
    ::SendMessageW(view, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(shown));
    EXPECT_STREQ(shown, L"\u2554\u2550\u2557\r\n\u2551Hi\u2551\r\n\u255A\u2550\u255D\r\n");
    HWND bar = ::FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(RemotePanelText(process.info.hProcess, bar, 0), file);
    EXPECT_EQ(RemotePanelText(process.info.hProcess, bar, 2), ExpectedSizeText(16));
    EXPECT_EQ(RemotePanelText(process.info.hProcess, bar, 4), ExpectedDateText(file));
    // The copy an older version left is not the load's: it waits for the close to clear it up.
    EXPECT_TRUE(platform::FileExists(platform::TempFilePath()));

    ::PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(::WaitForSingleObject(process.info.hProcess, 20000), WAIT_OBJECT_0) << "still running 20 s after WM_CLOSE";
    EXPECT_EQ(StoredDword("W"), 700);
    EXPECT_FALSE(platform::FileExists(platform::TempFilePath()));
}

// The program finds the INI file beside itself whatever its folder is called: one the ANSI code page
// cannot spell once made it miss the file without a word.
TEST_F(EndToEnd, TheProgramImportsTheIniFileBesideItInAFolderNamedOutsideTheAnsiCodePage) {
    const std::string folder = "\u65E5\u672C \u0436";
    ASSERT_TRUE(::CreateDirectoryW(platform::Widen(scratch_.Path() + "\\" + folder).c_str(), nullptr));
    const std::string program = scratch_.Path() + "\\" + folder + "\\corvalex.exe";
    ASSERT_TRUE(::CopyFileW(platform::Widen(ProgramPath()).c_str(), platform::Widen(program).c_str(), FALSE));
    const std::string ini = scratch_.Write(folder + "\\corvalex.ini", "[Settings]\r\nFont=1\r\nFontSize=3\r\n");
    {
        ProcessHandles process;
        ASSERT_TRUE(Launch(process, program, ""));
        EXPECT_NE(WaitForMainWindow(process.info.dwProcessId, 20000), nullptr) << "no main window within 20 s";
        EXPECT_FALSE(platform::FileExists(ini));
        EXPECT_EQ(StoredDword("Font"), 1);
        EXPECT_EQ(StoredDword("FontSize"), 3);
        if (HWND main = WaitForMainWindow(process.info.dwProcessId, 0)) ::PostMessageA(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(::WaitForSingleObject(process.info.hProcess, 20000), WAIT_OBJECT_0);
    }
    ::DeleteFileW(platform::Widen(program).c_str());
}
