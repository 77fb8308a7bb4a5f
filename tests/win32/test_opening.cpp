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
    // The new file's text and panels 0 and 2, then the date error, with panel 4 left at `date`.
    void ExpectDateError(const std::string& path, const std::string& text, const std::string& date) {
        EXPECT_EQ(Memo().Text(), text);
        EXPECT_EQ(SelectAllEnabled(), !text.empty());
        EXPECT_EQ(Frm().StatusText(0), path);
        EXPECT_EQ(Frm().StatusText(2), ExpectedSizeText(static_cast<std::int32_t>(text.size())));
        EXPECT_EQ(Frm().StatusText(4), date);
        ASSERT_EQ(prompts_.messages.size(), 1u);
        EXPECT_EQ(prompts_.messages[0].text, "Invalid argument to date encode.");
        EXPECT_EQ(prompts_.messages[0].flags, kErrorBox);
    }
    bool AcceptsDrops() { return ::GetWindowLongA(Frm().Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES; }
};

// ---- open dialog --------------------------------------------------------------------------------

TEST_F(Opening, DialogAsksForTextFilesAndRemembersTheLastPathAndFilterAcrossCancels) {
    Start();
    const auto cancel = [&] {  // no answer scripted: the dialog is cancelled
        ::SendMessageA(Frm().Handle(), WM_COMMAND, forms::kBtnOpen, 0);
        Pump();
    };
    cancel();
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
    const std::string first = scratch_.Write("first.bin", "one\r\n");
    const std::string second = scratch_.Write("second.nfo", "two\r\n");
    OpenByDialog(first, 2);
    cancel();  // leaves the shown file and what the dialog remembers alone
    ExpectShows(first, "one\r\n");
    OpenByDialog(second, 1);
    cancel();
    ExpectShows(second, "two\r\n");
    ASSERT_EQ(prompts_.openRequests.size(), 5u);
    const std::pair<std::string, DWORD> remembered[] = {{first, 2}, {first, 2}, {second, 1}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(prompts_.openInitialPaths[i + 2], remembered[i].first) << i;
        EXPECT_EQ(prompts_.openRequests[i + 2].nFilterIndex, remembered[i].second) << i;
    }
    EXPECT_TRUE(prompts_.messages.empty());
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
    EXPECT_TRUE(prompts_.messages.empty());
}

// ---- status bar after a load ----------------------------------------------------------------------

// Sizes and dates are formatted in core/; here: the file's own size and time, in the user's locale.
TEST_F(Opening, StatusBarShowsTheFilesSizeAndDateAndSelectAllFollowsTheText) {
    Start();
    const std::string line(999, 'x');
    struct Case { const char* name; std::string bytes, text; WORD year, day, hour; } cases[] = {
        {"empty.nfo", "", "", 2026, 7, 21},
        {"bare-lf.nfo", "\n", "\r\n", 2026, 7, 12},                    // the size is the file's, not the text's
        {"thousand.nfo", line + "\r\n", line + "\r\n", 2107, 31, 0},  // grouped; the last DOS year
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = scratch_.Write(c.name, c.bytes);
        SetLocalWriteTime(file, c.year, 12, c.day, c.hour, 5);
        OpenByDialog(file);
        ExpectShows(file, c.text);
    }
    EXPECT_TRUE(prompts_.messages.empty());
}

// ---- command line -------------------------------------------------------------------------------

TEST_F(Opening, CommandLineOpensItsFirstArgumentAndShowsARelativeOneAsTyped) {
    const std::string spaced = scratch_.Write("name with blanks.nfo", "blanks\r\n");
    const std::string other = scratch_.Write("other.nfo", "other\r\n");
    Start("\"C:\\Program Files\\corvalex.exe\" \"" + spaced + "\" \"" + other + "\"");
    ExpectShows(spaced, "blanks\r\n");
    EXPECT_TRUE(AcceptsDrops());
    frm_.reset();
    Pump();
    char previous[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryA(scratch_.Path().c_str()));
    Start("corvalex.exe other.nfo");
    EXPECT_EQ(Memo().Text(), "other\r\n");
    EXPECT_EQ(Frm().StatusText(0), "other.nfo");
    EXPECT_EQ(Frm().StatusText(2), ExpectedSizeText(7));
    EXPECT_EQ(Frm().StatusText(4), ExpectedDateText(other));
    ::SetCurrentDirectoryA(previous);  // the scratch folder can only go once we stand elsewhere
    EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(Opening, MissingArgumentIsReportedBeforeTheWindowShowsAndStartUpGoesOn) {
    const std::string missing = scratch_.Path() + "\\missing.nfo";
    bool visibleAtMessage = true;
    prompts_.onMessage = [&] { visibleAtMessage = ::IsWindowVisible(Frm().Handle()) != FALSE; };
    Start("corvalex.exe \"" + missing + "\"");
    prompts_.onMessage = nullptr;
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text, "File '" + missing + "' does not exist.");
    EXPECT_EQ(prompts_.messages[0].flags, kExclamation);
    EXPECT_FALSE(visibleAtMessage);
    EXPECT_TRUE(::IsWindowVisible(Frm().Handle()));
    ExpectEmptyWindow();
    EXPECT_TRUE(AcceptsDrops());
}

TEST_F(Opening, CommandLineFileWithAnUnencodableDateEndsStartUpBeforeDrops) {
    const std::string file = scratch_.Write("old.nfo", "old\r\n");
    SetLocalWriteTime(file, 1975, 1, 1, 12, 0);
    Start("corvalex.exe \"" + file + "\"");
    ExpectDateError(file, "old\r\n", "");
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
    OpenByDialog(shown);
    HANDLE hold = ::CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hold, INVALID_HANDLE_VALUE);
    OpenByDialog(locked);
    ::CloseHandle(hold);
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text, "Unable to open '" + locked + "'.");
    EXPECT_EQ(prompts_.messages[0].flags, static_cast<UINT>(MB_OK));
    EXPECT_EQ(Memo().Text(), "shown\r\n");
    EXPECT_TRUE(SelectAllEnabled());
    EXPECT_EQ(Frm().StatusText(0), locked);
    EXPECT_EQ(Frm().StatusText(2), "(unknown)");
    EXPECT_EQ(Frm().StatusText(4), ExpectedDateText(locked));
}

TEST_F(Opening, FileDatedBeforeNineteenEightyShowsItsTextAndKeepsTheOldDate) {
    Start();
    const std::string shown = scratch_.Write("shown.nfo", "shown\r\n");
    const std::string old = scratch_.Write("old.nfo", "from 1975\r\n");
    const std::string dropped = scratch_.Write("dropped-old.nfo", "");
    SetLocalWriteTime(old, 1975, 1, 1, 12, 0);
    SetLocalWriteTime(dropped, 1975, 1, 1, 12, 0);
    OpenByDialog(shown);
    const std::string previousDate = Frm().StatusText(4);
    ASSERT_FALSE(previousDate.empty());
    prompts_.messages.clear();
    OpenByDialog(old);
    ExpectDateError(old, "from 1975\r\n", previousDate);
    prompts_.messages.clear();
    EXPECT_TRUE(Drop({dropped})) << "drop data not released on the error's way out";
    ExpectDateError(dropped, "", previousDate);
}

// ---- regional settings --------------------------------------------------------------------------

TEST_F(Opening, SettingsChangeAnnouncementRereadsTheLocale) {
    Start();
    const std::string file = scratch_.Write("size.nfo", std::string(12345, 'x'));
    const std::string before = platform::ReadUserLocale().thousandSeparator;
    const char* changed = before == "." ? "'" : ".";
    char saved[16] = {};
    ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, saved, sizeof saved);
    struct Restore {
        const char* separator;
        ~Restore() { ::SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator); }
    } restore{saved};
    ASSERT_TRUE(::SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, changed));
    if (platform::ReadUserLocale().thousandSeparator != changed)
        GTEST_SKIP() << "the thread locale does not follow the user's separator in this prefix";
    OpenByDialog(file);  // not announced yet: the window still uses what it read at start-up
    EXPECT_EQ(Frm().StatusText(2), core::FormatSizeText(12345, before));
    ::SendMessageA(Frm().Handle(), WM_WININICHANGE, 0, reinterpret_cast<LPARAM>("intl"));
    OpenByDialog(file);
    EXPECT_EQ(Frm().StatusText(2), std::string("12") + changed + "345 bytes");
}

}  // namespace
