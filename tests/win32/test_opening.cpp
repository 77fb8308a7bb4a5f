// The three roads a file takes into the window (open dialog, command line, drop) and the status
// bar texts they leave behind, each driven end to end with the prompts answered from a script.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>  // DROPFILES

#include <cstring>
#include <string>
#include <vector>

#include "core/file_info_text.hpp"
#include "platform/files.hpp"
#include "platform/locale.hpp"
#include "tests/win32/support.hpp"

using namespace testing_support;

namespace {

constexpr UINT kExclamation = MB_OK | MB_ICONEXCLAMATION;
constexpr UINT kErrorBox = MB_OK | MB_ICONERROR;

// Sets a file's last-write time from a local calendar time.
void SetLocalWriteTime(const std::string& path, WORD year, WORD month, WORD day, WORD hour, WORD minute) {
    const SYSTEMTIME local{year, month, 0, day, hour, minute, 30, 0};
    FILETIME localTime{}, utc{};
    ASSERT_TRUE(::SystemTimeToFileTime(&local, &localTime));
    ASSERT_TRUE(::LocalFileTimeToFileTime(&localTime, &utc));
    HANDLE file = ::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    EXPECT_TRUE(::SetFileTime(file, nullptr, nullptr, &utc));
    ::CloseHandle(file);
}

// The date text the window should show for a file, worked out here from the file's own time.
std::string ExpectedDateText(const std::string& path) {
    WIN32_FIND_DATAA found{};
    HANDLE search = ::FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return "<not found>";
    ::FindClose(search);
    FILETIME local{};
    SYSTEMTIME t{};
    ::FileTimeToLocalFileTime(&found.ftLastWriteTime, &local);
    ::FileTimeToSystemTime(&local, &t);
    const core::CalendarTime when{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond & ~1};
    return core::FormatDateText(when, platform::ReadUserLocale());
}

std::string ExpectedSizeText(std::int32_t size) {
    return core::FormatSizeText(size, platform::ReadUserLocale().thousandSeparator);
}

bool IsUnitedStatesLocale() {
    const core::LocaleValues v = platform::ReadUserLocale();
    return v.shortDate == "M/d/yyyy" && v.dateSeparator == "/" && v.timeSeparator == ":" &&
           v.thousandSeparator == "," && !v.twentyFourHour && !v.hourLeadingZero && v.amDesignator == "AM" &&
           v.pmDesignator == "PM" && !v.designatorFirst;
}

// A WM_DROPFILES block as the shell hands it over: DROPFILES, then the ANSI names, double-NUL ended.
// The receiver owns it from the moment it is sent.
HGLOBAL MakeDrop(const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& path : paths) list += path + '\0';
    list += '\0';
    if (paths.empty()) list += '\0';
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list.size());
    ::GlobalUnlock(memory);
    return memory;
}

class Opening : public MainWindowTest {
protected:
    bool SelectAllEnabled() {
        return !(::GetMenuState(Frm().MainMenu(), forms::kCmdSelectAll, MF_BYCOMMAND) & MF_GRAYED);
    }
    void OpenByDialog(const std::string& path, DWORD filterIndex = 1) {
        prompts_.openAnswers.push_back({path, filterIndex});
        ::SendMessageA(Frm().Handle(), WM_COMMAND, forms::kBtnOpen, 0);
        Pump();
    }
    // Sends the drop and reports whether the window released the drop data.
    bool Drop(const std::vector<std::string>& paths) {
        HGLOBAL memory = MakeDrop(paths);
        EXPECT_NE(::GlobalSize(memory), 0u);  // so that a zero afterwards means it was freed
        ::SendMessageA(Frm().Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
        Pump();
        const bool released = ::GlobalSize(memory) == 0;
        if (!released) ::GlobalFree(memory);
        return released;
    }
    void ExpectShows(const std::string& path, const std::string& text) {
        EXPECT_EQ(Memo().Text(), text);
        EXPECT_EQ(Frm().StatusText(0), path);
        EXPECT_EQ(Frm().StatusText(2), ExpectedSizeText(static_cast<std::int32_t>(ReadFileBytes(path).size())));
        EXPECT_EQ(Frm().StatusText(4), ExpectedDateText(path));
        EXPECT_EQ(SelectAllEnabled(), !text.empty());
    }
    void ExpectEmptyWindow() {
        EXPECT_EQ(Memo().Text(), "");
        for (int panel : {0, 2, 4}) EXPECT_EQ(Frm().StatusText(panel), "") << panel;
        EXPECT_FALSE(SelectAllEnabled());
    }
    bool AcceptsDrops() { return ::GetWindowLongA(Frm().Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES; }
};

// ---- open dialog --------------------------------------------------------------------------------

TEST_F(Opening, DialogAsksForTextFilesFirstWithAnEmptyNameAndCancelChangesNothing) {
    Start();
    ::SendMessageA(Frm().Handle(), WM_COMMAND, forms::kBtnOpen, 0);  // no answer: cancelled
    Pump();
    ASSERT_EQ(prompts_.openRequests.size(), 1u);
    const OPENFILENAMEA& request = prompts_.openRequests[0];
    // The filter lives in static storage, so it outlives the call.
    static constexpr char kFilter[] = "Text Files\0*.txt;*.nfo;*.diz;*.bbs;*.ion\0All Files\0*.*\0";
    ASSERT_NE(request.lpstrFilter, nullptr);
    EXPECT_EQ(std::string(request.lpstrFilter, sizeof kFilter), std::string(kFilter, sizeof kFilter));
    EXPECT_EQ(request.nFilterIndex, 1u);
    const DWORD needed = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING;
    EXPECT_EQ(request.Flags & needed, needed);
    EXPECT_FALSE(request.Flags & OFN_ALLOWMULTISELECT);
    EXPECT_EQ(request.lpstrTitle, nullptr);
    EXPECT_EQ(request.hwndOwner, Frm().Handle());
    EXPECT_GE(request.nMaxFile, static_cast<DWORD>(MAX_PATH));
    EXPECT_EQ(prompts_.openInitialPaths[0], "");

    ExpectEmptyWindow();
    EXPECT_TRUE(prompts_.messages.empty());

    // A cancel after a shown file leaves that file, and the remembered path and filter, alone.
    const std::string file = scratch_.Write("shown.nfo", "shown\r\n");
    OpenByDialog(file, 2);
    ::SendMessageA(Frm().Handle(), WM_COMMAND, forms::kBtnOpen, 0);
    Pump();
    ::SendMessageA(Frm().Handle(), WM_COMMAND, forms::kBtnOpen, 0);
    Pump();
    ASSERT_EQ(prompts_.openRequests.size(), 4u);
    EXPECT_EQ(prompts_.openInitialPaths[3], file);
    EXPECT_EQ(prompts_.openRequests[3].nFilterIndex, 2u);
    ExpectShows(file, "shown\r\n");
    EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(Opening, DialogStartsWithTheLastChosenFilterAndPath) {
    Start();
    const std::string first = scratch_.Write("first.bin", "one\r\n");
    const std::string second = scratch_.Write("second.nfo", "two\r\n");
    OpenByDialog(first, 2);
    ExpectShows(first, "one\r\n");
    OpenByDialog(second, 1);
    ExpectShows(second, "two\r\n");
    OpenByDialog(second, 1);
    ASSERT_EQ(prompts_.openRequests.size(), 3u);
    EXPECT_EQ(prompts_.openRequests[1].nFilterIndex, 2u);
    EXPECT_EQ(prompts_.openInitialPaths[1], first);
    EXPECT_EQ(prompts_.openRequests[2].nFilterIndex, 1u);
    EXPECT_EQ(prompts_.openInitialPaths[2], second);
}

TEST_F(Opening, OpeningTheSameFileAgainReadsItFromDisk) {
    Start();
    const std::string file = scratch_.Write("again.nfo", "before\r\n");
    OpenByDialog(file);
    ExpectShows(file, "before\r\n");
    scratch_.Write("again.nfo", "after, and longer\r\nsecond line\r\n");
    SetLocalWriteTime(file, 2024, 2, 29, 0, 7);
    OpenByDialog(file);
    ExpectShows(file, "after, and longer\r\nsecond line\r\n");
    scratch_.Write("again.nfo", "");
    OpenByDialog(file);
    ExpectShows(file, "");
    EXPECT_TRUE(prompts_.messages.empty());
}

// ---- status bar after a load ----------------------------------------------------------------------

TEST_F(Opening, SelectAllAndSizeFollowTheLoadedText) {
    Start();
    struct Case { const char* name; std::string bytes; std::string text; const char* sizeWithComma; } cases[] = {
        {"empty.nfo", "", "", "0 bytes"},
        {"one-empty-line.nfo", "\r\n", "\r\n", "2 bytes"},
        {"bare-lf.nfo", "\n", "\r\n", "1 bytes"},
        {"control-bytes.nfo", std::string("\0\x1a\r\n", 4), "  \r\n", "4 bytes"},  // cleaned to blanks
        {"thousand.nfo", std::string(999, 'x') + "\r\n", std::string(999, 'x') + "\r\n", "1,001 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = scratch_.Write(c.name, c.bytes);
        OpenByDialog(file);
        EXPECT_EQ(Memo().Text(), c.text);
        EXPECT_EQ(SelectAllEnabled(), !c.text.empty());
        EXPECT_EQ(Frm().StatusText(0), file);
        EXPECT_EQ(Frm().StatusText(2), ExpectedSizeText(static_cast<std::int32_t>(c.bytes.size())));
        if (platform::ReadUserLocale().thousandSeparator == ",") {
            EXPECT_EQ(Frm().StatusText(2), c.sizeWithComma);
        }
    }
    EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(Opening, LargeFileSizeIsGroupedWithTheLocaleSeparator) {
    Start();
    std::string bytes;
    const std::string line(78, '#');
    while (bytes.size() + 80 <= 1234567) bytes += line + "\r\n";
    bytes.append(1234567 - bytes.size(), '=');
    const std::string file = scratch_.Write("big.nfo", bytes);
    OpenByDialog(file);
    EXPECT_EQ(Frm().StatusText(0), file);
    EXPECT_EQ(Frm().StatusText(2), ExpectedSizeText(1234567));
    const std::string separator = platform::ReadUserLocale().thousandSeparator;
    const char used = separator.empty() ? ',' : separator[0];
    EXPECT_EQ(Frm().StatusText(2), std::string("1") + used + "234" + used + "567 bytes");
    EXPECT_TRUE(SelectAllEnabled());
}

TEST_F(Opening, DateTextIsTheLocalWriteTimeInTheUsersFormat) {
    Start();
    const std::string file = scratch_.Write("dated.nfo", "x\r\n");
    SetLocalWriteTime(file, 2026, 12, 7, 21, 5);
    OpenByDialog(file);
    EXPECT_EQ(Frm().StatusText(4), ExpectedDateText(file));
    if (IsUnitedStatesLocale()) {
        EXPECT_EQ(Frm().StatusText(4), "12/7/2026 9:05 PM");
    }

    SetLocalWriteTime(file, 2107, 12, 31, 0, 0);  // the last DOS year still encodes
    OpenByDialog(file);
    EXPECT_EQ(Frm().StatusText(4), ExpectedDateText(file));
    if (IsUnitedStatesLocale()) {
        EXPECT_EQ(Frm().StatusText(4), "12/31/2107 12:00 AM");
    }
    EXPECT_TRUE(prompts_.messages.empty());
}

// ---- command line -------------------------------------------------------------------------------

TEST_F(Opening, CommandLineOpensItsFirstArgument) {
    const std::string spaced = scratch_.Write("name with blanks.nfo", "blanks\r\n");
    const std::string other = scratch_.Write("other.nfo", "other\r\n");
    struct Case { const char* what; std::string commandLine; } cases[] = {
        {"quoted with blanks", "\"C:\\Program Files\\corvalex.exe\" \"" + spaced + "\""},
        {"two arguments", "corvalex.exe \"" + spaced + "\" \"" + other + "\""},
        {"tab separated", "corvalex.exe\t\"" + spaced + "\"\t" + other},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompts_.messages.clear();
        Start(c.commandLine);
        ExpectShows(spaced, "blanks\r\n");
        EXPECT_TRUE(prompts_.messages.empty());
        EXPECT_TRUE(AcceptsDrops());
        frm_.reset();
        Pump();
    }
}

TEST_F(Opening, RelativeArgumentIsShownAsTyped) {
    char previous[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryA(scratch_.Path().c_str()));
    const std::string file = scratch_.Write("relative.nfo", "relative\r\n");
    Start("corvalex.exe relative.nfo");
    EXPECT_EQ(Memo().Text(), "relative\r\n");
    EXPECT_EQ(Frm().StatusText(0), "relative.nfo");
    EXPECT_EQ(Frm().StatusText(2), ExpectedSizeText(10));
    EXPECT_EQ(Frm().StatusText(4), ExpectedDateText(file));
    ::SetCurrentDirectoryA(previous);  // the scratch folder can only go once we stand elsewhere
}

TEST_F(Opening, MissingOrFolderArgumentIsReportedBeforeTheWindowShows) {
    const std::string folder = scratch_.Path() + "\\sub folder";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    const std::string missing = scratch_.Path() + "\\missing.nfo";
    const std::string dropped = scratch_.Write("dropped.nfo", "dropped\r\n");
    for (const std::string& argument : {missing, folder}) {
        SCOPED_TRACE(argument);
        prompts_.messages.clear();
        bool visibleAtMessage = true;
        prompts_.onMessage = [&] { visibleAtMessage = ::IsWindowVisible(Frm().Handle()) != FALSE; };
        Start("corvalex.exe \"" + argument + "\"");
        prompts_.onMessage = nullptr;
        ASSERT_EQ(prompts_.messages.size(), 1u);
        EXPECT_EQ(prompts_.messages[0].text, "File '" + argument + "' does not exist.");
        EXPECT_EQ(prompts_.messages[0].flags, kExclamation);
        EXPECT_FALSE(visibleAtMessage);
        EXPECT_TRUE(::IsWindowVisible(Frm().Handle()));
        ExpectEmptyWindow();
        // Start-up went on: the window takes drops.
        EXPECT_TRUE(AcceptsDrops());
        EXPECT_TRUE(Drop({dropped}));
        ExpectShows(dropped, "dropped\r\n");
        frm_.reset();
        Pump();
    }
}

TEST_F(Opening, CommandLineFileWithAnUnencodableDateEndsStartUpBeforeDrops) {
    const std::string file = scratch_.Write("old.nfo", "old\r\n");
    SetLocalWriteTime(file, 1975, 1, 1, 12, 0);
    Start("corvalex.exe \"" + file + "\"");
    EXPECT_EQ(Memo().Text(), "old\r\n");
    EXPECT_EQ(Frm().StatusText(0), file);
    EXPECT_EQ(Frm().StatusText(2), ExpectedSizeText(5));
    EXPECT_EQ(Frm().StatusText(4), "");
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text, "Invalid argument to date encode.");
    EXPECT_EQ(prompts_.messages[0].flags, kErrorBox);
    EXPECT_FALSE(AcceptsDrops());
}

// ---- drop ---------------------------------------------------------------------------------------

TEST_F(Opening, DropOpensOneExistingFileAndIgnoresEverythingElse) {
    Start();
    const std::string shown = scratch_.Write("shown.nfo", "shown\r\n");
    const std::string other = scratch_.Write("other.nfo", "other\r\n");
    const std::string folder = scratch_.Path() + "\\folder.nfo";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    // A name longer than the 255 characters the drop buffer keeps: the cut path names nothing.
    // 258 characters in all, still within the ANSI file functions' reach.
    const std::string longFile =
        scratch_.Write(std::string(258 - scratch_.Path().size() - 1 - 4, 'n') + ".nfo", "long\r\n");
    ASSERT_EQ(longFile.size(), 258u);
    ASSERT_TRUE(platform::FileExists(longFile));
    OpenByDialog(shown);
    ExpectShows(shown, "shown\r\n");

    struct Case { const char* what; std::vector<std::string> paths; std::vector<std::string> messages; } cases[] = {
        {"two files", {other, shown}, {"Don't drop more than one file!"}},
        {"no file", {}, {}},
        {"a folder", {folder}, {}},
        {"a missing path", {scratch_.Path() + "\\gone.nfo"}, {}},
        {"a path cut at 255 characters", {longFile}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompts_.messages.clear();
        EXPECT_TRUE(Drop(c.paths)) << "drop data not released";
        ASSERT_EQ(prompts_.messages.size(), c.messages.size());
        for (std::size_t i = 0; i < c.messages.size(); ++i) {
            EXPECT_EQ(prompts_.messages[i].text, c.messages[i]);
            EXPECT_EQ(prompts_.messages[i].flags, kExclamation);
        }
        ExpectShows(shown, "shown\r\n");
    }

    prompts_.messages.clear();
    EXPECT_TRUE(Drop({other}));
    ExpectShows(other, "other\r\n");
    EXPECT_TRUE(prompts_.messages.empty());
}

// ---- files that cannot be fully shown -----------------------------------------------------------

TEST_F(Opening, UnreadableFileKeepsTheViewButTheStatusBarDescribesIt) {
    Start();
    const std::string locked = scratch_.Write("locked.nfo", "locked\r\n");
    SetLocalWriteTime(locked, 2020, 6, 15, 8, 30);
    const std::string shown = scratch_.Write("shown.nfo", "shown\r\n");
    const std::string empty = scratch_.Write("empty.nfo", "");
    HANDLE hold = ::CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hold, INVALID_HANDLE_VALUE);

    for (const std::string& before : {shown, empty}) {
        SCOPED_TRACE(before);
        OpenByDialog(before);
        const std::string text = Memo().Text();
        prompts_.messages.clear();
        OpenByDialog(locked);
        ASSERT_EQ(prompts_.messages.size(), 1u);
        EXPECT_EQ(prompts_.messages[0].text, "Unable to open '" + locked + "'.");
        EXPECT_EQ(prompts_.messages[0].flags, static_cast<UINT>(MB_OK));
        EXPECT_EQ(Memo().Text(), text);
        EXPECT_EQ(SelectAllEnabled(), !text.empty());
        EXPECT_EQ(Frm().StatusText(0), locked);
        EXPECT_EQ(Frm().StatusText(2), "(unknown)");
        EXPECT_EQ(Frm().StatusText(4), ExpectedDateText(locked));
    }
    ::CloseHandle(hold);

    // Once released, the same file opens normally.
    prompts_.messages.clear();
    OpenByDialog(locked);
    ExpectShows(locked, "locked\r\n");
    EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(Opening, FileDatedBeforeNineteenEightyShowsItsTextAndKeepsTheOldDate) {
    Start();
    const std::string shown = scratch_.Write("shown.nfo", "shown\r\n");
    const std::string old = scratch_.Write("old.nfo", "from 1975\r\n");
    SetLocalWriteTime(old, 1975, 1, 1, 12, 0);
    OpenByDialog(shown);
    const std::string previousDate = Frm().StatusText(4);
    ASSERT_FALSE(previousDate.empty());

    const std::string dropped = scratch_.Write("dropped-old.nfo", "");
    SetLocalWriteTime(dropped, 1975, 1, 1, 12, 0);
    struct Road { const char* what; bool dropIt; std::string path; std::string text; } roads[] = {
        {"dialog", false, old, "from 1975\r\n"},
        {"drop", true, dropped, ""},
    };
    for (const Road& road : roads) {
        SCOPED_TRACE(road.what);
        prompts_.messages.clear();
        if (road.dropIt) {
            EXPECT_TRUE(Drop({road.path}));
        } else {
            OpenByDialog(road.path);
        }
        EXPECT_EQ(Memo().Text(), road.text);
        EXPECT_EQ(SelectAllEnabled(), !road.text.empty());
        EXPECT_EQ(Frm().StatusText(0), road.path);
        EXPECT_EQ(Frm().StatusText(2), ExpectedSizeText(static_cast<std::int32_t>(road.text.size())));
        EXPECT_EQ(Frm().StatusText(4), previousDate);
        ASSERT_EQ(prompts_.messages.size(), 1u);
        EXPECT_EQ(prompts_.messages[0].text, "Invalid argument to date encode.");
        EXPECT_EQ(prompts_.messages[0].flags, kErrorBox);
    }
}

// ---- regional settings --------------------------------------------------------------------------

// Restores the user's thousands separator however the test ends.
class ThousandSeparatorScope {
public:
    ThousandSeparatorScope() {
        char buffer[16] = {};
        ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, buffer, sizeof buffer);
        saved_ = buffer;
    }
    ThousandSeparatorScope(const ThousandSeparatorScope&) = delete;
    ThousandSeparatorScope& operator=(const ThousandSeparatorScope&) = delete;
    ~ThousandSeparatorScope() { ::SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, saved_.c_str()); }
    bool Set(const char* separator) { return ::SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator); }

private:
    std::string saved_;
};

TEST_F(Opening, SettingsChangeAnnouncementRereadsTheLocale) {
    Start();
    const std::string file = scratch_.Write("size.nfo", std::string(12345, 'x'));
    const std::string before = platform::ReadUserLocale().thousandSeparator;
    const char* changed = before == "." ? "'" : ".";
    ThousandSeparatorScope scope;
    ASSERT_TRUE(scope.Set(changed));
    if (platform::ReadUserLocale().thousandSeparator != changed)
        GTEST_SKIP() << "the thread locale does not follow the user's separator in this prefix";

    OpenByDialog(file);  // not announced yet: the window still uses what it read at start-up
    EXPECT_EQ(Frm().StatusText(2), core::FormatSizeText(12345, before));
    ::SendMessageA(Frm().Handle(), WM_WININICHANGE, 0, reinterpret_cast<LPARAM>("intl"));
    OpenByDialog(file);
    EXPECT_EQ(Frm().StatusText(2), std::string("12") + changed + "345 bytes");
}

}  // namespace
