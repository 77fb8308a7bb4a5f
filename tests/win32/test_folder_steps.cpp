// Reading a folder of files one after another: next and previous file over a folder the test
// makes and changes between steps, the shown file followed on disk (rewritten, touched, removed),
// and the view's reading habits: Space, the middle button's pan and the sideways wheel.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "platform/files.hpp"
#include "platform/unicode.hpp"
#include "tests/win32/support.hpp"

using namespace testing_support;

namespace {

using Clock = std::chrono::steady_clock;

std::string NumberedLines(int count, const std::string& prefix) {
    std::string text;
    for (int i = 0; i < count; ++i) text += prefix + std::to_string(i) + "\r\n";
    return text;
}

FILETIME WriteTimeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(platform::Widen(path).c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

void SetWriteTime(const std::string& path, const FILETIME& time) {
    HANDLE file = ::CreateFileW(platform::Widen(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ::SetFileTime(file, nullptr, nullptr, &time);
    ::CloseHandle(file);
}

class FolderSteps : public MainWindowTest {
protected:
    // As the keyboard delivers it: Alt without Ctrl gives the system key messages.
    void PressKeys(WORD key, std::initializer_list<int> modifiers) {
        SetKeys(modifiers);
        const bool sys = std::find(modifiers.begin(), modifiers.end(), VK_MENU) != modifiers.end() &&
                         std::find(modifiers.begin(), modifiers.end(), VK_CONTROL) == modifiers.end();
        ::PostMessageW(Memo().Handle(), sys ? WM_SYSKEYDOWN : WM_KEYDOWN, key, sys ? 0x20000001 : 1);
        ::PostMessageW(Memo().Handle(), sys ? WM_SYSKEYUP : WM_KEYUP, key, sys ? 0xE0000001 : 0xC0000001);
        Pump();
        SetKeys({});
    }
    void Next() { PressKeys(VK_RIGHT, {VK_MENU}); }
    void Previous() { PressKeys(VK_LEFT, {VK_MENU}); }
    std::string Caption() { return CaptionOf(Frm().Handle()); }
    // Shown, with the watch on it settled.
    void ShowSettled(const std::string& path) {
        Start();
        Frm().ShowFile(path);
        PumpFor(std::chrono::milliseconds(300));
    }
    // Serves the window until `done` or the deadline; true when done came first.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
        const auto deadline = Clock::now() + limit;
        while (Clock::now() < deadline) {
            Pump();
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        Pump();
        return done();
    }
    void PumpFor(std::chrono::milliseconds time) { PumpUntil([] { return false; }, time); }
    int FirstVisible() { return static_cast<int>(::SendMessageW(Memo().Handle(), EM_GETFIRSTVISIBLELINE, 0, 0)); }
    int HorizontalPos() { return ::GetScrollPos(Memo().Handle(), SB_HORZ); }
    void ExpectShows(const std::string& name, const std::string& caption) {
        EXPECT_EQ(Memo().Text(), name + "\r\n");
        EXPECT_EQ(Frm().StatusText(0), scratch_.Path() + "\\" + name);
        EXPECT_EQ(Caption(), caption);
    }
};

// ---- next and previous file -------------------------------------------------------------------

// Only the five extensions take part, in natural order; a step past either end beeps and stays.
TEST_F(FolderSteps, StepsInNaturalOrderOverTheFiveExtensionsAndBeepsAtTheEnds) {
    for (const char* name : {"file10.nfo", "File2.NFO", "file1.diz", "a.TXT", "notes.doc", "file3.nfo.bak", "x.Ion"})
        scratch_.Write(name, std::string(name) + "\r\n");
    Start();
    Frm().ShowFile(scratch_.Path() + "\\File2.NFO");
    EXPECT_EQ(Caption(), "File2.NFO - Corvale");  // opened by a road: no place until a step
    struct Step { WORD key; int modifier; const char* shown; int place, beeps; } steps[] = {
        {VK_RIGHT, VK_MENU, "file10.nfo", 4, 0},      {VK_RIGHT, VK_MENU, "x.Ion", 5, 0},
        {VK_RIGHT, VK_MENU, "x.Ion", 5, 1},           {VK_PRIOR, VK_CONTROL, "file10.nfo", 4, 1},
        {VK_PRIOR, VK_CONTROL, "File2.NFO", 3, 1},  {VK_NEXT, VK_CONTROL, "file10.nfo", 4, 1},
        {VK_LEFT, VK_MENU, "File2.NFO", 3, 1},        {VK_LEFT, VK_MENU, "file1.diz", 2, 1},
        {VK_LEFT, VK_MENU, "a.TXT", 1, 1},            {VK_LEFT, VK_MENU, "a.TXT", 1, 2},
    };
    for (const Step& step : steps) {
        PressKeys(step.key, {step.modifier});
        ExpectShows(step.shown, std::string(step.shown) + " (" + std::to_string(step.place) + " of 5) - Corvale");
        EXPECT_EQ(prompts_.beeps, step.beeps) << step.shown;
    }
    EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(FolderSteps, TheListIsReadAfreshAtEveryStep) {
    for (const char* name : {"r1.nfo", "r2.nfo", "r3.nfo", "r4.nfo"}) scratch_.Write(name, std::string(name) + "\r\n");
    Start();
    Frm().ShowFile(scratch_.Path() + "\\r2.nfo");
    ::DeleteFileW(platform::Widen(scratch_.Path() + "\\r3.nfo").c_str());
    Next();
    ExpectShows("r4.nfo", "r4.nfo (3 of 3) - Corvale");
    scratch_.Write("r10.nfo", "r10.nfo\r\n");
    Next();
    ExpectShows("r10.nfo", "r10.nfo (4 of 4) - Corvale");
    // The shown file itself removed: the step goes on from where it stood.
    ::DeleteFileW(platform::Widen(scratch_.Path() + "\\r10.nfo").c_str());
    Previous();
    ExpectShows("r4.nfo", "r4.nfo (3 of 3) - Corvale");
}

TEST_F(FolderSteps, AFileThatFailsToLoadKeepsTheShownOneAndTheNextStepGoesPastIt) {
    for (const char* name : {"a1.nfo", "a2.nfo", "a3.nfo"}) scratch_.Write(name, std::string(name) + "\r\n");
    const std::string held = scratch_.Path() + "\\a2.nfo";
    HANDLE holder = ::CreateFileW(platform::Widen(held).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    Start();
    Frm().ShowFile(scratch_.Path() + "\\a1.nfo");
    Next();
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_NE(prompts_.messages[0].text.find("a2.nfo"), std::string::npos) << prompts_.messages[0].text;
    ExpectShows("a1.nfo", "a1.nfo - Corvale");
    Next();
    ExpectShows("a3.nfo", "a3.nfo (3 of 3) - Corvale");
    Previous();  // back over it: it is tried again, and fails again
    EXPECT_EQ(prompts_.messages.size(), 2u);
    ExpectShows("a3.nfo", "a3.nfo (3 of 3) - Corvale");
    Previous();
    ExpectShows("a1.nfo", "a1.nfo (1 of 3) - Corvale");
    ::CloseHandle(holder);
    Next();
    ExpectShows("a2.nfo", "a2.nfo (2 of 3) - Corvale");
    EXPECT_EQ(prompts_.beeps, 0);
}

TEST_F(FolderSteps, TheMenuHasTheStepsAndReloadOnceAFileIsShown) {
    scratch_.Write("m1.nfo", "m1.nfo\r\n");
    scratch_.Write("m2.nfo", "m2.nfo\r\n");
    Start();
    HMENU menu = Frm().Commands().Menu();
    Next();  // nothing shown: nothing to step from
    EXPECT_EQ(Memo().Text(), "");
    Frm().ShowFile(scratch_.Path() + "\\m1.nfo");
    for (const int id : {forms::kCmdNextFile, forms::kCmdPreviousFile, forms::kCmdReload})
        EXPECT_FALSE(::GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) << id;
    ::SendMessageW(Frm().Handle(), WM_COMMAND, forms::kCmdNextFile, 0);
    ExpectShows("m2.nfo", "m2.nfo (2 of 2) - Corvale");
    ::SendMessageW(Frm().Handle(), WM_COMMAND, forms::kCmdPreviousFile, 0);
    ExpectShows("m1.nfo", "m1.nfo (1 of 2) - Corvale");
}

TEST_F(FolderSteps, StepsAndFollowsInAFolderBeyondTheClassicPathLimitWithUnicodeNames) {
    const std::string sub(240, 'd');
    const std::string folder = scratch_.Path() + "\\" + sub;
    ASSERT_TRUE(::CreateDirectoryW(platform::FileApiPath(folder).c_str(), nullptr));
    const std::string one = "\xE6\x97\xA5\xE6\x9C\xAC 1.nfo";  // two CJK characters, outside any ANSI page here
    const std::string two = "\xE6\x97\xA5\xE6\x9C\xAC 2.nfo";
    const std::string first = scratch_.Write(sub + "\\" + one, "one\r\n");
    const std::string second = scratch_.Write(sub + "\\" + two, "two\r\n");
    Start();
    Frm().ShowFile(first);
    ASSERT_EQ(Memo().Text(), "one\r\n");
    Next();
    EXPECT_EQ(Memo().Text(), "two\r\n");
    EXPECT_EQ(Frm().StatusText(0), second);
    EXPECT_EQ(Caption(), two + " (2 of 2) - Corvale");
    // The watch moved with the step: the file left behind is no longer followed, the new one is.
    PumpFor(std::chrono::milliseconds(300));
    scratch_.Write(sub + "\\" + one, "one, written again\r\n");
    PumpFor(std::chrono::milliseconds(800));
    EXPECT_EQ(Memo().Text(), "two\r\n");
    scratch_.Write(sub + "\\" + two, "two, written again\r\n");
    EXPECT_TRUE(PumpUntil([&] { return Memo().Text() == "two, written again\r\n"; }, std::chrono::milliseconds(1500)));
    EXPECT_EQ(Caption(), two + " (2 of 2) - Corvale");  // a reload keeps the place
    EXPECT_TRUE(prompts_.messages.empty());
    frm_.reset();
    for (const std::string& path : {first, second}) ::DeleteFileW(platform::FileApiPath(path).c_str());
    ::RemoveDirectoryW(platform::FileApiPath(folder).c_str());
}

// ---- the shown file followed on disk ------------------------------------------------------------

TEST_F(FolderSteps, ARewrittenFileIsShownAgainWithinASecondKeepingThePlace) {
    const std::string path = scratch_.Write("live.nfo", NumberedLines(400, "old line "));
    Start();
    Frm().ShowFile(path);
    ::SendMessageW(Memo().Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    ::SendMessageW(Memo().Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    const int top = FirstVisible();
    ASSERT_GT(top, 0);
    Memo().SetSelection(100, 120);
    PumpFor(std::chrono::milliseconds(300));  // the watch settles

    scratch_.Write("live.nfo", NumberedLines(400, "new line "));
    const auto start = Clock::now();
    EXPECT_TRUE(PumpUntil([&] { return Memo().Text() == NumberedLines(400, "new line "); }, std::chrono::milliseconds(2000)));
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_EQ(FirstVisible(), top);
    EXPECT_EQ(Memo().GetSelection(), (platform::Selection{100, 120}));
    EXPECT_EQ(Frm().StatusText(0), path);
    EXPECT_EQ(Frm().StatusText(2), ExpectedSizeText(static_cast<std::int32_t>(NumberedLines(400, "new line ").size())));
    EXPECT_EQ(Caption(), "live.nfo - Corvale");
    EXPECT_TRUE(prompts_.messages.empty());

    // Shorter now: the place is held inside the text.
    scratch_.Write("live.nfo", NumberedLines(3, "x"));
    EXPECT_TRUE(PumpUntil([&] { return Memo().Text() == NumberedLines(3, "x"); }, std::chrono::milliseconds(2000)));
    EXPECT_EQ(FirstVisible(), 0);
    EXPECT_EQ(Memo().GetSelection(), (platform::Selection{NumberedLines(3, "x").size(), NumberedLines(3, "x").size()}));
}

TEST_F(FolderSteps, OnlyAChangeOfTheShownFilesSizeOrTimeReloadsAndF5AlwaysDoes) {
    const std::string path = scratch_.Write("same.nfo", "before\r\n");
    ShowSettled(path);
    // Other bytes of the same size, written with the old time put back: to size and time, nothing changed.
    const FILETIME written = WriteTimeOf(path);
    scratch_.Write("same.nfo", "behind\r\n");
    SetWriteTime(path, written);
    scratch_.Write("other.nfo", "touched\r\n");  // a neighbour written
    PumpFor(std::chrono::milliseconds(1000));
    EXPECT_EQ(Memo().Text(), "before\r\n");

    Memo().SetSelection(2, 4);
    PressKeys(VK_F5, {});
    EXPECT_EQ(Memo().Text(), "behind\r\n");
    EXPECT_EQ(Memo().GetSelection(), (platform::Selection{2, 4}));
    EXPECT_EQ(Frm().StatusText(0), path);
    EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(FolderSteps, ARemovedFileStaysShownAndTheCaptionSaysItIsDeleted) {
    const std::string path = scratch_.Write("gone.nfo", "still here\r\n");
    ShowSettled(path);
    ASSERT_TRUE(::DeleteFileW(platform::Widen(path).c_str()));
    EXPECT_TRUE(PumpUntil([&] { return Caption() == "gone.nfo (deleted) - Corvale"; }, std::chrono::milliseconds(1500)));
    EXPECT_EQ(Memo().Text(), "still here\r\n");
    EXPECT_EQ(Frm().StatusText(0), path);  // the export still finds the path there
    EXPECT_TRUE(prompts_.messages.empty());

    scratch_.Write("gone.nfo", "back again\r\n");
    EXPECT_TRUE(PumpUntil([&] { return Memo().Text() == "back again\r\n"; }, std::chrono::milliseconds(1500)));
    EXPECT_EQ(Caption(), "gone.nfo - Corvale");
}

// Caught while its writer still holds it: no box for a reload nobody asked for, and another try
// once the writer lets go.
TEST_F(FolderSteps, AFileHeldByItsWriterIsReadOnceItIsLetGoWithoutAMessage) {
    const std::string path = scratch_.Write("held.nfo", "first\r\n");
    ShowSettled(path);
    scratch_.Write("held.nfo", "second, longer\r\n");
    HANDLE writer = ::CreateFileW(platform::Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                  nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    PumpFor(std::chrono::milliseconds(600));
    EXPECT_EQ(Memo().Text(), "first\r\n");
    EXPECT_TRUE(prompts_.messages.empty());
    ::CloseHandle(writer);
    EXPECT_TRUE(PumpUntil([&] { return Memo().Text() == "second, longer\r\n"; }, std::chrono::milliseconds(2500)));
    EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(FolderSteps, AChangeWhileAnExportRunsIsReadOnceItEnds) {
    const std::string path = scratch_.Write("busy.nfo", "before\r\n");
    const std::string target = scratch_.Write("busy.bmp", "picture");
    ShowSettled(path);
    prompts_.saveAnswers.push_back(target);
    prompts_.answers.push_back(IDNO);  // the export's "replace it?": no, which ends it
    std::string whileAsked;
    prompts_.onMessage = [&] {
        scratch_.Write("busy.nfo", "after it\r\n");
        PumpFor(std::chrono::milliseconds(800));
        whileAsked = Memo().Text();
    };
    ::SendMessageW(Frm().Handle(), WM_COMMAND, forms::kBtnExport, 0);
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(whileAsked, "before\r\n");
    EXPECT_TRUE(PumpUntil([&] { return Memo().Text() == "after it\r\n"; }, std::chrono::milliseconds(1000)));
}

// ---- the view's reading habits ------------------------------------------------------------------

TEST_F(FolderSteps, SpacePagesDownAndShiftSpaceUpLeavingTheSelection) {
    Start();
    Frm().ShowFile(scratch_.Write("long.nfo", NumberedLines(500, "line ")));
    Memo().SetSelection(3, 7);
    ASSERT_EQ(FirstVisible(), 0);
    PressKeys(VK_SPACE, {});
    const int down = FirstVisible();
    EXPECT_GT(down, 5);
    PressKeys(VK_SPACE, {});
    EXPECT_EQ(FirstVisible(), 2 * down);
    PressKeys(VK_SPACE, {VK_SHIFT});
    EXPECT_EQ(FirstVisible(), down);
    EXPECT_EQ(Memo().GetSelection(), (platform::Selection{3, 7}));
    EXPECT_EQ(Memo().Text(), NumberedLines(500, "line "));  // no command took the key (nor the character)
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(prompts_.beeps, 0);
}

TEST_F(FolderSteps, MiddleDragScrollsTowardsTheMouseUntilReleased) {
    Start();
    Frm().ShowFile(scratch_.Write("pan.nfo", NumberedLines(5000, "row ")));
    HWND view = Memo().Handle();
    const auto rowsIn = [&](int dy) {
        const int before = FirstVisible();
        ::PostMessageW(view, WM_MOUSEMOVE, MK_MBUTTON, MAKELPARAM(60, 60 + dy));
        PumpFor(std::chrono::milliseconds(300));
        return FirstVisible() - before;
    };
    ::PostMessageW(view, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(60, 60));
    Pump();
    EXPECT_EQ(::GetCapture(), view);
    EXPECT_EQ(rowsIn(3), 0);  // near the press point: still
    EXPECT_GT(rowsIn(200), 0);  // how fast at which distance is the pan's own matter, tested without a window
    EXPECT_LT(rowsIn(-200), 0);
    ::PostMessageW(view, WM_MBUTTONUP, 0, MAKELPARAM(60, 260));
    Pump();
    const int released = FirstVisible();
    PumpFor(std::chrono::milliseconds(200));
    EXPECT_EQ(FirstVisible(), released);
    EXPECT_NE(::GetCapture(), view);
    EXPECT_EQ(Memo().GetSelection(), (platform::Selection{0, 0}));
}

TEST_F(FolderSteps, ShiftWheelAndTheTiltWheelScrollSideways) {
    Start();
    Frm().ShowFile(scratch_.Write("wide.nfo", NumberedLines(50, std::string(600, 'w'))));
    HWND view = Memo().Handle();
    ASSERT_EQ(HorizontalPos(), 0);
    ::SendMessageW(view, WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, static_cast<WORD>(-WHEEL_DELTA)), 0);
    const int right = HorizontalPos();
    EXPECT_GT(right, 0);
    EXPECT_EQ(FirstVisible(), 0);
    ::SendMessageW(view, 0x020E /* WM_MOUSEHWHEEL */, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(HorizontalPos(), 2 * right);
    ::SendMessageW(view, WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, WHEEL_DELTA), 0);
    EXPECT_EQ(HorizontalPos(), right);
    ::SendMessageW(view, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);  // without Shift: down
    EXPECT_GT(FirstVisible(), 0);
    EXPECT_EQ(HorizontalPos(), right);
}

}  // namespace
