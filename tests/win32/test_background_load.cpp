// Long work that leaves the window free: a file above the cleaning threshold read by a worker with
// its progress in the status bar, Esc stopping a load or an export, the commands and the close that
// arrive meanwhile, and word wrap over a text too large to lay out at once.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <string>
#include <vector>

#include "core/text_layout.hpp"
#include "platform/files.hpp"
#include "platform/unicode.hpp"
#include "tests/win32/support.hpp"

using namespace testing_support;

namespace {

constexpr std::size_t kThreshold = 4194304;
const std::string kReading = "Reading file...";
const std::string kPrevious = "previous file\r\n\xC9\xCD\xBB\r\n";

// NFO-like lines of 78 to 81 columns with CR LF, exactly `size` bytes, the last break included:
// the view's text is the file's.
std::string NfoBytes(std::size_t size) {
    std::string text;
    text.reserve(size);
    for (std::size_t row = 0; text.size() < size; ++row)
        text += "\xBA " + std::string(70 + row % 4, row % 3 ? '\xB1' : 'x') + " word \xBA\r\n";
    text.resize(size);
    text.replace(size - 2, 2, "\r\n");
    return text;
}

// The status bar's progress bar as a user's tool finds it: none, or whether it is shown inside the
// size panel.
struct ProgressSeen {
    bool exists = false;
    bool shownInSizePanel = false;
};

ProgressSeen LookAtProgress(HWND bar) {
    HWND progress = ::FindWindowExW(bar, nullptr, PROGRESS_CLASSW, nullptr);
    if (!progress) return {};
    RECT at{}, panel{};
    ::GetWindowRect(progress, &at);
    ::MapWindowPoints(nullptr, bar, reinterpret_cast<POINT*>(&at), 2);
    ::SendMessageW(bar, SB_GETRECT, 2, reinterpret_cast<LPARAM>(&panel));
    return {true, ::IsWindowVisible(progress) && at.left >= panel.left && at.right <= panel.right &&
                      at.top >= panel.top && at.bottom <= panel.bottom && at.right > at.left};
}

int ThreadsOfThisProcess() {
    platform::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int threads = 0;
    for (BOOL more = ::Thread32First(snapshot.get(), &entry); more; more = ::Thread32Next(snapshot.get(), &entry))
        threads += entry.th32OwnerProcessID == ::GetCurrentProcessId();
    return threads;
}

// The process's private bytes (Wine reports them as the page file usage).
std::size_t PrivateBytes() {
    using Info = BOOL(WINAPI*)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);
    static const auto info = reinterpret_cast<Info>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo")));
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!info || !info(::GetCurrentProcess(), reinterpret_cast<PPROCESS_MEMORY_COUNTERS>(&counters), sizeof counters))
        return 0;
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

class BackgroundLoad : public MainWindowTest {
protected:
    void StartShowingPrevious() {
        Start();
        previousPath_ = scratch_.Write("previous.nfo", kPrevious);
        Frm().ShowFile(previousPath_);
        ASSERT_EQ(Memo().Text(), kPrevious);
        for (int panel : {0, 2, 4}) shownPanels_.push_back(Frm().StatusText(panel));
        shownCaption_ = CaptionOf(Frm().Handle());
        ASSERT_NE(shownCaption_.find("previous.nfo"), std::string::npos);
    }
    // The file shown before, with everything that describes it, and no trace of a load.
    void ExpectPreviousShown() {
        EXPECT_EQ(Memo().Text(), kPrevious);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(Frm().StatusText(i * 2), shownPanels_[std::size_t(i)]);
        EXPECT_EQ(CaptionOf(Frm().Handle()), shownCaption_);
        EXPECT_FALSE(LookAtProgress(Frm().StatusBar()).exists);
        EXPECT_FALSE(Frm().Loading());
        EXPECT_TRUE(prompts_.messages.empty());
    }

    std::string previousPath_;
    std::vector<std::string> shownPanels_;
    std::string shownCaption_;
};

// While the worker reads, the old file stays in the view; "Reading file..." and a progress bar in
// the size panel show how far it is, the percentage beside it, and both go when the file is shown.
TEST_F(BackgroundLoad, ProgressStandsInTheSizePanelWhileTheFileIsReadAndGoes) {
    loadProgressDelay_ = std::chrono::milliseconds(0);
    StartShowingPrevious();
    const std::string bytes = NfoBytes(kThreshold + 4096);
    const std::string path = scratch_.Write("big.nfo", bytes);
    StatusRecorder status(Frm().StatusBar());
    ProgressSeen during;
    bool oldTextShownMeanwhile = false;
    status.onText = [&](const std::string& text) {
        if (text != kReading) return;
        during = LookAtProgress(Frm().StatusBar());
        oldTextShownMeanwhile = Memo().Text() == kPrevious;
    };
    Frm().ShowFile(path);
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_TRUE(during.shownInSizePanel);
    EXPECT_TRUE(oldTextShownMeanwhile);

    int last = -1;
    for (const std::string& text : status.Of(2)) {
        if (text.substr(0, 2) != "\t\t") continue;  // at the panel's right edge: a figure, not a size
        ASSERT_EQ(text.back(), '%');
        const int percent = std::stoi(text.substr(2));
        EXPECT_GE(percent, last);
        last = percent;
    }
    EXPECT_EQ(last, 100);

    EXPECT_FALSE(LookAtProgress(Frm().StatusBar()).exists);
    EXPECT_TRUE(Memo().Text() == bytes);
    EXPECT_EQ(Frm().StatusText(0), path);
    EXPECT_EQ(Frm().StatusText(2), ExpectedSizeText(static_cast<std::int32_t>(bytes.size())));
    EXPECT_EQ(status.Of(0).front(), kReading);
}

// Esc while a file is read, by the worker or through the cleaning copy: the load stops, the file
// shown stays with its status bar and caption, the half-read text's memory goes back and no
// thread is left. Esc with nothing running closes the window, as always.
TEST_F(BackgroundLoad, EscStopsALoadAndTheShownFileStays) {
    loadProgressDelay_ = std::chrono::milliseconds(0);
    StartShowingPrevious();
    const std::string big = scratch_.Write("big.nfo", NfoBytes(kThreshold + 1));
    const std::string small = scratch_.Write("copied.nfo", NfoBytes(3 * 65536));
    Frm().ShowFile(big);  // the process's first large load: what it keeps for good is kept now
    Frm().ShowFile(previousPath_);
    const std::size_t memoryBefore = PrivateBytes();
    for (const std::string& path : {big, small}) {
        SCOPED_TRACE(path);
        ::PostMessageW(Memo().Handle(), WM_CHAR, VK_ESCAPE, 1);
        const int threadsBefore = ThreadsOfThisProcess();
        Frm().ShowFile(path);
        ASSERT_TRUE(WindowAlive());
        ExpectPreviousShown();
        EXPECT_LT(PrivateBytes(), memoryBefore + (1u << 20)) << "the half-read text is given back";
        EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore);
    }
    Frm().ShowFile(big);
    EXPECT_EQ(Frm().StatusText(0), big) << "the next load runs to its end";
    ::PostMessageW(Memo().Handle(), WM_CHAR, VK_ESCAPE, 1);
    Pump();
    EXPECT_FALSE(WindowAlive());
}

// The commands that arrive while the worker reads behave as during the cleaning copy: an open, a
// drop and the dialogs are refused, word wrap and Find work on the file shown, and a close stops
// the load and then closes, leaving no thread behind.
TEST_F(BackgroundLoad, CommandsArrivingWhileAFileIsReadBehaveAsDuringTheCopy) {
    enum Command { kOpen, kDrop, kSettings, kWrap, kFind, kClose };
    Start();
    const std::string bytes = NfoBytes(kThreshold + 1);
    const std::string path = scratch_.Write("big.nfo", bytes);
    const std::string other = scratch_.Write("other.nfo", "the other file\r\n");
    for (Command command : {kOpen, kDrop, kSettings, kWrap, kFind, kClose}) {
        SCOPED_TRACE(command);
        Frm().ShowFile(other);
        prompts_.openAnswers = {{other, 1}};
        HWND window = Frm().Handle();
        if (command == kOpen) ::PostMessageA(window, WM_COMMAND, forms::kBtnOpen, 0);
        if (command == kDrop) ::PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({path})), 0);
        if (command == kSettings) ::PostMessageA(window, WM_COMMAND, forms::kBtnSettings, 0);
        if (command == kWrap) {
            ::SendMessageA(Frm().Commands().ToolBar(), TB_CHECKBUTTON, forms::kBtnWrap, MAKELPARAM(TRUE, 0));
            ::PostMessageA(window, WM_COMMAND, forms::kBtnWrap, 0);
        }
        if (command == kFind) ::PostMessageA(window, WM_COMMAND, forms::kBtnFind, 0);
        if (command == kClose) ::PostMessageA(window, WM_CLOSE, 0, 0);
        const int threadsBefore = ThreadsOfThisProcess();
        Frm().ShowFile(path);
        ASSERT_TRUE(WindowAlive());
        EXPECT_TRUE(prompts_.openRequests.empty());
        EXPECT_TRUE(prompts_.messages.empty());
        EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore);
        EXPECT_FALSE(Frm().Loading());
        if (command == kClose) {
            EXPECT_EQ(Memo().Text(), "the other file\r\n") << "a close stops the load";
            Pump();
            EXPECT_FALSE(WindowAlive());
            break;
        }
        EXPECT_TRUE(Memo().Text() == bytes);
        EXPECT_EQ(Frm().StatusText(0), path);
        if (command == kWrap) {
            EXPECT_TRUE(Memo().Wrap());
        }
        if (command == kFind) {
            EXPECT_TRUE(::IsWindowVisible(Frm().FindDialog()));
            ::SendMessageA(Frm().FindDialog(), WM_COMMAND, IDCANCEL, 0);
        }
        Pump();
    }
}

// Esc while the export draws stops it: nothing is written, an existing picture stays as it was.
TEST_F(BackgroundLoad, EscStopsAnExportAndTheTargetStaysAsItWas) {
    Start();
    const std::string text = Lines(200, std::string(120, '\xB1'));
    const std::string shown = scratch_.Write("art.nfo", text);
    Frm().ShowFile(shown);
    const std::string target = scratch_.Write("picture.bmp", "an older picture");
    prompts_.saveAnswers = {target};
    prompts_.answers = {IDYES};  // replace it
    ::PostMessageW(Memo().Handle(), WM_CHAR, VK_ESCAPE, 1);
    Frm().BtnExportClick();
    ASSERT_TRUE(WindowAlive());
    EXPECT_FALSE(Frm().Busy().Exporting());
    EXPECT_EQ(ReadFileBytes(target), "an older picture");
    ASSERT_EQ(prompts_.messages.size(), 1u);  // the question, and no word after it
    EXPECT_EQ(Frm().StatusText(0), shown);
    EXPECT_EQ(Memo().Text(), text);
}

// Wrap over a text too large to lay out at once comes on with the rows around the view laid out;
// the rest is laid out while nothing else waits, and that never moves the text on screen nor the
// thumb by more than a page. Asked for, line numbers and counts are exact at once.
TEST_F(BackgroundLoad, WrapOverALargeTextNeverMovesTheTextAndAnswersExactly) {
    Start();
    ::SetWindowPos(Frm().Handle(), nullptr, 0, 0, 420, 500, SWP_NOMOVE | SWP_NOZORDER);
    const std::string bytes = NfoBytes(core::RowLayout::kWholeLayoutBytes * 3 / 2);
    Frm().ShowFile(scratch_.Write("wide.nfo", bytes));
    PressKey('W', {VK_CONTROL});
    ASSERT_TRUE(Memo().Wrap());
    HWND view = Memo().Handle();
    auto pixelOf = [view](std::size_t offset) { return ::SendMessageW(view, EM_POSFROMCHAR, offset, 0); };

    // The layout the view must come to: the whole text at the view's width.
    RECT format{};
    ::SendMessageW(view, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    const int cell = LOWORD(pixelOf(1)) - LOWORD(pixelOf(0));
    core::LineIndex index;
    index.Build(Memo().Text());
    core::RowLayout whole;
    whole.Reset(index, core::WrapWidth{format.right - format.left, cell}, SIZE_MAX);
    ASSERT_GT(whole.Count(), index.Count()) << "lines must wrap";

    const std::size_t marked = index.Start(index.Count() * 3 / 5);
    ::SendMessageW(view, EM_SETSEL, marked, marked);
    ::SendMessageW(view, EM_SCROLLCARET, 0, 0);
    const LRESULT markedAt = pixelOf(marked);
    SCROLLINFO bar{};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_ALL;
    ::GetScrollInfo(view, SB_VERT, &bar);
    int largestStep = 0;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (static_cast<std::size_t>(bar.nMax) + 1 != whole.Count() && std::chrono::steady_clock::now() < giveUp) {
        ::Sleep(5);
        Pump();
        const int before = bar.nPos;
        ::GetScrollInfo(view, SB_VERT, &bar);
        largestStep = std::max(largestStep, std::abs(bar.nPos - before));
        ASSERT_EQ(pixelOf(marked), markedAt) << "the text moved while the rows were laid out";
    }
    ASSERT_EQ(static_cast<std::size_t>(bar.nMax) + 1, whole.Count()) << "the rows were never all laid out";
    EXPECT_LE(largestStep, static_cast<int>(bar.nPage));
    const auto top = static_cast<std::size_t>(::SendMessageW(view, EM_GETFIRSTVISIBLELINE, 0, 0));
    EXPECT_EQ(static_cast<std::size_t>(bar.nPos), top);
    EXPECT_EQ(HIWORD(pixelOf(whole.At(top).start)), 0) << "the first visible line is the top row";

    PressKey('W', {VK_CONTROL});  // off and on again: nothing laid out yet but what is shown
    PressKey('W', {VK_CONTROL});
    const std::size_t late = index.Start(index.Count() - 40) + 3;
    EXPECT_EQ(static_cast<std::size_t>(::SendMessageW(view, EM_LINEFROMCHAR, late, 0)), whole.RowOf(late));
    const std::size_t row = whole.Count() * 4 / 5;
    EXPECT_EQ(static_cast<std::size_t>(::SendMessageW(view, EM_LINEINDEX, row, 0)), whole.At(row).start);
    wchar_t line[128] = {};
    *reinterpret_cast<WORD*>(line) = 127;
    const auto got = static_cast<std::size_t>(::SendMessageW(view, EM_GETLINE, row, reinterpret_cast<LPARAM>(line)));
    EXPECT_EQ(got, whole.At(row).end - whole.At(row).start);
    EXPECT_EQ(static_cast<std::size_t>(::SendMessageW(view, EM_GETLINECOUNT, 0, 0)), whole.Count());
}

// A copy asked for that cannot be made (here another thread holds the clipboard open, as another
// program may) is reported; copy on select, which runs after every key, stays silent.
TEST_F(BackgroundLoad, ACopyAskedForThatCannotBeMadeIsReported) {
    Start();
    Frm().ShowFile(scratch_.Write("art.nfo", "\xB1\xB2\xDB copy me\r\n"));
    Memo().SelectAll();
    HANDLE opened = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        HWND owner = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        const BOOL held = ::OpenClipboard(owner);
        ::SetEvent(opened);
        ::WaitForSingleObject(release, 10000);
        if (held) ::CloseClipboard();
        ::DestroyWindow(owner);
    });
    ::WaitForSingleObject(opened, 10000);
    ::SendMessageA(Frm().Handle(), WM_COMMAND, forms::kBtnCopy, 0);
    ::SendMessageA(Frm().Handle(), WM_COMMAND, forms::kCmdCopyonSelect, 0);
    ::SendMessageW(Memo().Handle(), WM_KEYUP, VK_SHIFT, 0xC0000001);
    ::SetEvent(release);
    holder.join();
    ::CloseHandle(opened);
    ::CloseHandle(release);
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text, "Cannot copy the selection to the clipboard.");
    EXPECT_EQ(prompts_.messages[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
    ::SendMessageA(Frm().Handle(), WM_COMMAND, forms::kBtnCopy, 0);
    EXPECT_EQ(ClipboardText(CF_TEXT), "\xB1\xB2\xDB copy me\r\n") << "once the clipboard is free, the copy is made";
}

}  // namespace
