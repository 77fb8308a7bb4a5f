// The three roads a file takes into the window (open dialog, command line, drop) and the status
// bar texts they leave behind, each driven end to end with the prompts answered from a script.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>  // DROPFILES

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/file_info_text.hpp"
#include "platform/files.hpp"
#include "platform/locale.hpp"
#include "platform/unicode.hpp"
#include "platform/win_handles.hpp"
#include "tests/win32/support.hpp"

using namespace testing_support;

namespace {

constexpr UINT kExclamation = MB_OK | MB_ICONEXCLAMATION;

class Opening : public MainWindowTest {
protected:
    bool SelectAllEnabled() {
        return !(::GetMenuState(Frm().Commands().Menu(), forms::kCmdSelectAll, MF_BYCOMMAND) & MF_GRAYED);
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
    std::string Caption() {
        wchar_t text[512] = {};
        ::GetWindowTextW(Frm().Handle(), text, 512);
        return platform::Narrow(text);
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
    const OPENFILENAMEW& request = prompts_.openRequests[0];
    // The filter lives in static storage, so it outlives the call.
    static constexpr wchar_t kFilter[] = L"Text Files\0*.txt;*.nfo;*.diz;*.bbs;*.ion\0All Files\0*.*\0";
    constexpr std::size_t kFilterLength = sizeof kFilter / sizeof kFilter[0];
    ASSERT_NE(request.lpstrFilter, nullptr);
    EXPECT_EQ(std::wstring(request.lpstrFilter, kFilterLength), std::wstring(kFilter, kFilterLength));
    EXPECT_EQ(request.nFilterIndex, 1u);
    const DWORD needed = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING;
    EXPECT_EQ(request.Flags & needed, needed);
    EXPECT_FALSE(request.Flags & OFN_ALLOWMULTISELECT);
    EXPECT_EQ(request.lpstrTitle, nullptr);
    EXPECT_EQ(request.hwndOwner, Frm().Handle());
    EXPECT_GE(request.nMaxFile, static_cast<DWORD>(MAX_PATH));
    EXPECT_EQ(prompts_.openInitialPaths[0], "");
    EXPECT_EQ(prompts_.openInitialFolders[0], "");
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
        // Dates the DOS format cannot hold show all the same: archives often carry 1970.
        {"1970.nfo", "x", "x\r\n", 1970, 1, 0},
        {"2150.nfo", "x", "x\r\n", 2150, 1, 12},
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

// The window is sized for the first time when it is shown, after the command-line step wrote the
// panels: they must already exist then.
TEST_F(Opening, CommandLineFileFillsThePanelsBeforeTheWindowIsFirstShown) {
    const std::string file = scratch_.Write("first.nfo", "first\r\n");
    frm_ = std::make_unique<forms::TFrmMain>(
        forms::FrmMainServices{prompts_, registry_, *ini_, "corvalex.exe \"" + file + "\"", false});
    frm_->Create();
    EXPECT_FALSE(::IsWindowVisible(Frm().Handle()));
    ExpectShows(file, "first\r\n");
    ::ShowWindow(Frm().Handle(), SW_SHOWNORMAL);
    Pump();
    ExpectShows(file, "first\r\n");
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

TEST_F(Opening, CommandLineFileDatedBeforeNineteenEightyShowsItsDateAndStartUpGoesOn) {
    const std::string file = scratch_.Write("old.nfo", "old\r\n");
    SetLocalWriteTime(file, 1975, 1, 1, 12, 0);
    Start("corvalex.exe \"" + file + "\"");
    ExpectShows(file, "old\r\n");
    EXPECT_NE(Frm().StatusText(4).find("1975"), std::string::npos) << Frm().StatusText(4);
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_TRUE(AcceptsDrops());
}

// ---- drop ---------------------------------------------------------------------------------------

TEST_F(Opening, DropOpensOneExistingFileNamesAFolderAndIgnoresEverythingElse) {
    Start();
    const std::string shown = scratch_.Write("shown.nfo", "shown\r\n");
    const std::string other = scratch_.Write("other.nfo", "other\r\n");
    const std::string folder = scratch_.Path() + "\\folder.nfo";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    OpenByDialog(shown);
    ExpectShows(shown, "shown\r\n");
    struct Case { const char* what; std::vector<std::string> paths; std::vector<std::string> messages; } cases[] = {
        {"two files", {other, shown}, {"Don't drop more than one file!"}},
        {"no file", {}, {}},
        {"a folder", {folder}, {"'" + folder + "' is a folder, not a file."}},
        {"a missing path", {scratch_.Path() + "\\gone.nfo"}, {}},
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

// A folder is named for what it is on the command line and from the dialog (the drop above);
// the window stays as it was.
TEST_F(Opening, FolderIsNamedAsAFolderOnTheCommandLineAndFromTheDialog) {
    const std::string folder = scratch_.Path() + "\\art.nfo";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    const std::string expected = "'" + folder + "' is a folder, not a file.";
    Start("corvalex.exe \"" + folder + "\"");
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text, expected);
    EXPECT_EQ(prompts_.messages[0].flags, kExclamation);
    ExpectEmptyWindow();
    EXPECT_EQ(Caption(), "Corvale");
    EXPECT_TRUE(AcceptsDrops());

    const std::string shown = scratch_.Write("shown.nfo", "shown\r\n");
    OpenByDialog(shown);
    prompts_.messages.clear();
    OpenByDialog(folder);
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text, expected);
    EXPECT_EQ(prompts_.messages[0].flags, kExclamation);
    ExpectShows(shown, "shown\r\n");
}

// "Corvale" alone until a file is shown, then the shown file's name before it, as the road gave
// the name; a file that cannot be shown leaves the caption on the file still shown.
TEST_F(Opening, CaptionNamesTheShownFile) {
    const std::string japanese = scratch_.Write("\u65E5\u672C\u8A9E.diz", "nihongo\r\n");
    const std::string missing = scratch_.Path() + "\\missing.nfo";
    Start("corvalex.exe \"" + missing + "\"");
    EXPECT_EQ(Caption(), "Corvale");
    OpenByDialog(scratch_.Write("victim.nfo", "victim\r\n"));
    EXPECT_EQ(Caption(), "victim.nfo - Corvale");
    EXPECT_TRUE(Drop({japanese}));
    EXPECT_EQ(Caption(), "\u65E5\u672C\u8A9E.diz - Corvale");  // any name, not its ANSI shadow
    platform::UniqueFile hold(::CreateFileW(platform::FileApiPath(scratch_.Path() + "\\victim.nfo").c_str(),
                                            GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(hold);
    EXPECT_TRUE(Drop({scratch_.Path() + "\\victim.nfo"}));
    EXPECT_EQ(Caption(), "\u65E5\u672C\u8A9E.diz - Corvale");
}

// With a file shown, the open dialog starts at that file in its folder, whichever road showed it
// (a relative command-line name made full); with none shown, the earlier rules hold.
TEST_F(Opening, DialogStartsAtTheShownFile) {
    const std::string first = scratch_.Write("first.nfo", "one\r\n");
    const std::string sub = scratch_.Path() + "\\sub";
    ASSERT_TRUE(::CreateDirectoryA(sub.c_str(), nullptr));
    const std::string dropped = sub + "\\dropped.nfo";
    ::CopyFileA(first.c_str(), dropped.c_str(), FALSE);
    struct Remove {
        std::string file, folder;
        ~Remove() { ::DeleteFileA(file.c_str()); ::RemoveDirectoryA(folder.c_str()); }
    } remove{dropped, sub};
    char previous[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryA(scratch_.Path().c_str()));
    Start("corvalex.exe first.nfo");
    ::SetCurrentDirectoryA(previous);
    ASSERT_EQ(Frm().StatusText(0), "first.nfo");
    ::SendMessageA(Frm().Handle(), WM_COMMAND, forms::kBtnOpen, 0);  // cancelled
    EXPECT_TRUE(Drop({dropped}));
    ::SendMessageA(Frm().Handle(), WM_COMMAND, forms::kBtnOpen, 0);
    ASSERT_EQ(prompts_.openInitialPaths.size(), 2u);
    EXPECT_EQ(prompts_.openInitialPaths[0], first);
    EXPECT_EQ(prompts_.openInitialFolders[0], scratch_.Path());
    EXPECT_EQ(prompts_.openInitialPaths[1], dropped);
    EXPECT_EQ(prompts_.openInitialFolders[1], sub);
    EXPECT_TRUE(prompts_.messages.empty());
}

// ---- names of every kind -----------------------------------------------------------------------

// Names outside the ANSI code page, and paths beyond MAX_PATH, reach the file by every road; the
// status bar and the messages show them as they are.
TEST_F(Opening, AnyNameOpensByEveryRoadAndIsShownAsItIs) {
    const std::string japanese = scratch_.Write("\u65E5\u672C\u8A9E.diz", "nihongo\r\n");
    // Deeper than MAX_PATH: no single name may pass 255 characters, so two long folders.
    const std::string outer = scratch_.Path() + "\\" + std::string(150, 'o');
    const std::string inner = outer + "\\" + std::string(150, 'i');
    for (const std::string& folder : {outer, inner})
        ASSERT_TRUE(::CreateDirectoryW(platform::FileApiPath(folder).c_str(), nullptr)) << folder;
    const std::string deep = inner + "\\d\u00E9j\u00E0 vu \u2554\u2550\u2557.nfo";
    ASSERT_GT(platform::Widen(deep).size(), static_cast<std::size_t>(MAX_PATH));
    {
        platform::UniqueFile file(::CreateFileW(platform::FileApiPath(deep).c_str(), GENERIC_WRITE, 0, nullptr,
                                                CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(file && ::WriteFile(file.get(), "deep\r\n", 6, &written, nullptr));
    }
    struct Remove {  // the scratch folder removes one level only
        std::vector<std::string> paths;
        ~Remove() {
            ::DeleteFileW(platform::FileApiPath(paths[0]).c_str());
            for (std::size_t i = 1; i < paths.size(); ++i) ::RemoveDirectoryW(platform::FileApiPath(paths[i]).c_str());
        }
    } remove{{deep, inner, outer}};
    struct Case { std::string path, text; } cases[] = {{japanese, "nihongo\r\n"}, {deep, "deep\r\n"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        Start("corvalex.exe \"" + c.path + "\"");
        ExpectShows(c.path, c.text);
        frm_.reset();
        Start();
        OpenByDialog(c.path);
        ExpectShows(c.path, c.text);
        EXPECT_EQ(prompts_.openInitialPaths.size(), 1u);
        OpenByDialog(japanese == c.path ? deep : japanese);  // something else in between
        EXPECT_TRUE(Drop({c.path}));
        ExpectShows(c.path, c.text);
        EXPECT_TRUE(prompts_.messages.empty());
        frm_.reset();
        prompts_.openInitialPaths.clear();
    }
    const std::string missing = scratch_.Path() + "\\\u00E9\u65E5.nfo";
    Start("corvalex.exe \"" + missing + "\"");
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text, "File '" + missing + "' does not exist.");
}

TEST(FileApiPath, LongPathsTakeTheExtendedFormOthersStayAsTheyAre) {
    const std::string name(300, 'n');
    const std::wstring wide(300, L'n');
    struct Case { std::string path; std::wstring api; } cases[] = {
        {"C:\\short\\\u65E5.nfo", L"C:\\short\\\u65E5.nfo"},
        {"C:\\long\\" + name, L"\\\\?\\C:\\long\\" + wide},
        {"C:\\long\\.\\" + name, L"\\\\?\\C:\\long\\" + wide},  // made absolute: the prefix takes no dots
        {"\\\\server\\share\\" + name, L"\\\\?\\UNC\\server\\share\\" + wide},
        {"\\\\?\\C:\\" + name, L"\\\\?\\C:\\" + wide},
    };
    for (const Case& c : cases) EXPECT_EQ(platform::FileApiPath(c.path), c.api) << c.path;
}

// ---- files that cannot be fully shown -----------------------------------------------------------

// A refused file leaves the view, and with it the panels, Select All and the caption, on the file
// still shown; the message says why the file could not be opened.
TEST_F(Opening, RefusedFileLeavesTheStatusBarOnTheShownFile) {
    Start();
    const std::string locked = scratch_.Write("locked.nfo", "locked\r\n");
    SetLocalWriteTime(locked, 2020, 6, 15, 8, 30);
    const std::string shown = scratch_.Write("shown.nfo", "shown\r\n");
    SetLocalWriteTime(shown, 2021, 3, 4, 5, 6);
    OpenByDialog(shown);
    platform::UniqueFile hold(::CreateFileW(platform::FileApiPath(locked).c_str(), GENERIC_READ, 0, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(hold);
    struct Road { const char* name; std::function<void()> open; } roads[] = {
        {"dialog", [&] { OpenByDialog(locked); }},
        {"drop", [&] { EXPECT_TRUE(Drop({locked})); }},
    };
    for (const Road& road : roads) {
        SCOPED_TRACE(road.name);
        prompts_.messages.clear();
        road.open();
        ASSERT_EQ(prompts_.messages.size(), 1u);
        EXPECT_EQ(prompts_.messages[0].text,
                  "Unable to open '" + locked + "'. " + platform::SystemErrorText(ERROR_SHARING_VIOLATION) + ".");
        EXPECT_EQ(prompts_.messages[0].flags, kExclamation);
        ExpectShows(shown, "shown\r\n");
        EXPECT_EQ(Caption(), "shown.nfo - Corvale");
    }
}

TEST_F(Opening, FileDatedOutsideTheDosRangeShowsItsDateWithoutAMessage) {
    Start();
    struct Case { const char* name; WORD year; } cases[] = {{"1975.nfo", 1975}, {"2150.nfo", 2150}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = scratch_.Write(c.name, "dated\r\n");
        SetLocalWriteTime(file, c.year, 1, 1, 12, 0);
        EXPECT_TRUE(Drop({file}));
        ExpectShows(file, "dated\r\n");
        EXPECT_NE(Frm().StatusText(4).find(std::to_string(c.year)), std::string::npos) << Frm().StatusText(4);
    }
    EXPECT_TRUE(prompts_.messages.empty());
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
