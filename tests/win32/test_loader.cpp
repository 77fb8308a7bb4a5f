// The loader in the window: the cleaning threshold, the temporary file, UTF-16 files, files that
// cannot be opened, the view's caret after a load, and commands that arrive while a load pumps.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/files.hpp"
#include "platform/win_handles.hpp"
#include "tests/win32/support.hpp"

using namespace testing_support;

namespace {

constexpr std::size_t kThreshold = 4194304;
const std::string kProgress = "Parsing file...";
const std::string kMarker = "temp file left by an earlier load";

// NFO-like filler: box, block and text lines with CR LF, padded so that the file has exactly
// `size` bytes and still ends with CR LF. `head` comes first.
std::string FillTo(std::string head, std::size_t size) {
    static const std::string kLines[] = {
        "\xC9" + std::string(76, '\xCD') + "\xBB",
        "\xBA  \xDB\xDB\xB0\xB1\xB2\xDC\xDF  release notes and greetings to all our friends     \xDB\xDB   \xBA",
        "   Plain text of the release, as wide as an NFO line usually is, or close.",
    };
    std::string data = std::move(head);
    data.reserve(size);
    for (std::size_t row = 0; data.size() + 82 <= size; ++row) data += kLines[row % 3] + "\r\n";
    if (data.size() + 2 <= size) data += std::string(size - data.size() - 2, 'x') + "\r\n";
    data.resize(size, 'x');
    return data;
}

// The cleaning rule, the way a reader of the temp file sees it.
std::string Cleaned(std::string bytes) {
    for (char& c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 && b != '\n' && b != '\r') c = ' ';
    }
    return bytes;
}

std::u16string ControlText(HWND control, int maxChars) {
    std::vector<wchar_t> buffer(static_cast<std::size_t>(maxChars) + 1);
    const int got = ::GetWindowTextW(control, buffer.data(), maxChars + 1);
    return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), static_cast<std::size_t>(got));
}

std::size_t ControlLength(HWND control) { return static_cast<std::size_t>(::GetWindowTextLengthW(control)); }

std::string Utf16Le(const std::u16string& text, bool mark = true) {
    std::string bytes = mark ? "\xFF\xFE" : "";
    for (char16_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return bytes;
}

std::string Utf16Be(const std::u16string& text) {
    std::string bytes = "\xFE\xFF";
    for (char16_t c : text) bytes += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
    return bytes;
}

platform::UniqueFile Hold(const std::string& path, DWORD access, DWORD share) {
    return platform::UniqueFile(
        ::CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool CanOpenUnshared(const std::string& path) { return static_cast<bool>(Hold(path, GENERIC_READ, 0)); }

// Windows refuses CREATE_ALWAYS over a read-only file; Wine run by root does not.
bool ReadOnlyFileCanBeReplaced(const std::string& path) {
    { std::ofstream(path) << "x"; }
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    const bool replaced = static_cast<bool>(platform::UniqueFile(::CreateFileA(
        path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(path.c_str());
    return replaced;
}

bool SettingsKeyExists() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\corvalex", 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

// A file of the given size that takes no disk space: the loader must refuse it before reading.
std::string MakeSparse(const std::string& path, std::int64_t size) {
    platform::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER at{};
    at.QuadPart = size;
    if (!file || !::SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) || !::SetEndOfFile(file.get())) return {};
    return path;
}

// A dropped-file message as the shell builds it: DROPFILES followed by the ANSI path list.
HGLOBAL MakeDrop(const std::string& path) {
    const std::size_t bytes = sizeof(DROPFILES) + path.size() + 2;
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), path.c_str(), path.size());
    ::GlobalUnlock(memory);
    return memory;
}

// Records, in order, every text given to status panel 0, and a mark for each kPumped message
// the window's pump dispatched to the status bar.
class PanelRecorder {
public:
    static constexpr UINT kPumped = WM_APP + 17;
    static constexpr const char* kPumpedMark = "<pumped>";

    explicit PanelRecorder(HWND bar) : bar_(bar) {
        ::SetPropA(bar_, kProp, this);
        previous_ = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(bar_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PanelRecorder::Proc)));
    }
    PanelRecorder(const PanelRecorder&) = delete;
    PanelRecorder& operator=(const PanelRecorder&) = delete;
    ~PanelRecorder() {
        if (!::IsWindow(bar_)) return;
        ::SetWindowLongPtrA(bar_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        ::RemovePropA(bar_, kProp);
    }
    std::vector<std::string> texts;

private:
    static constexpr const char* kProp = "CorvaleLoaderTestRecorder";
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = static_cast<PanelRecorder*>(::GetPropA(wnd, kProp));
        if (msg == kPumped) {
            self->texts.emplace_back(kPumpedMark);
            return 0;
        }
        if (msg == SB_SETTEXTA && (wp & 0xFF) == 0) self->texts.emplace_back(reinterpret_cast<const char*>(lp));
        return ::CallWindowProcA(self->previous_, wnd, msg, wp, lp);
    }

    HWND bar_;
    WNDPROC previous_ = nullptr;
};

class Loader : public MainWindowTest {
protected:
    // A window already showing a small file, and a marker in the temp file's place.
    void StartShowingPrevious() {
        Start();
        previousPath_ = scratch_.Write("previous.nfo", kPrevious);
        Frm().ShowFile(previousPath_);
        ASSERT_EQ(Memo().Text(), kPrevious);
        ASSERT_TRUE(prompts_.messages.empty());
        WriteTempMarker();
    }
    static void WriteTempFile(const std::string& bytes) {
        std::ofstream out(platform::TempFilePath(), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static void WriteTempMarker() { WriteTempFile(kMarker); }
    std::string TempBytes() const { return ReadFileBytes(platform::TempFilePath()); }
    void ExpectPreviousShown() {
        EXPECT_EQ(Memo().Text(), kPrevious);
        EXPECT_EQ(ControlLength(Memo().Handle()), kPrevious.size());
        EXPECT_EQ(Frm().StatusText(0), previousPath_);
    }
    // The one message shown, whatever it is, as long as there is exactly one.
    Shown OnlyMessage() const {
        EXPECT_EQ(prompts_.messages.size(), 1u);
        return prompts_.messages.empty() ? Shown{"", 0} : prompts_.messages.front();
    }
    void OpenThroughButton(const std::string& path) {
        prompts_.openAnswers.push_back({path, 1});
        ::SendMessageA(Frm().Handle(), WM_COMMAND, forms::kBtnOpen, 0);
    }

    const std::string kPrevious = "previous file\r\n\xC9\xCD\xBB\r\n";
    std::string previousPath_;
};

TEST_F(Loader, FileAtTheThresholdIsCleanedThroughTheTempFile) {
    StartShowingPrevious();
    const std::string bytes = FillTo(std::string("A\tB\0C\x1A" "D\x0C\x7F\xB0\r\n", 13), kThreshold);
    ASSERT_EQ(bytes.size(), kThreshold);
    const std::string path = scratch_.Write("threshold.nfo", bytes);
    Frm().ShowFile(path);

    EXPECT_TRUE(prompts_.messages.empty());
    const std::string cleaned = Cleaned(bytes);
    EXPECT_TRUE(TempBytes() == cleaned) << "the temp file is not the cleaned copy";
    EXPECT_TRUE(Memo().Text() == cleaned) << "the view does not show the cleaned text";
    EXPECT_EQ(Memo().Text().substr(0, 11), "A B C D \x7F\xB0\r");
    EXPECT_EQ(ControlText(Memo().Handle(), 10), u"A B C D \u2302\u2591");
    EXPECT_EQ(ControlLength(Memo().Handle()), cleaned.size());
    EXPECT_TRUE(CanOpenUnshared(path));  // the source is closed again
}

TEST_F(Loader, FileAboveTheThresholdIsReadDirectlyUpToItsCtrlZ) {
    StartShowingPrevious();
    std::string bytes = FillTo("A\tB\x01" "C\r\n", kThreshold + 1);
    const std::size_t stop = bytes.size() / 2 - bytes.size() / 2 % 80;  // a line start past the first MiB
    bytes.replace(stop, 5, "XY\x1AZZ");
    ASSERT_EQ(bytes.size(), kThreshold + 1);
    const std::string path = scratch_.Write("above.nfo", bytes);
    Frm().ShowFile(path);

    EXPECT_TRUE(prompts_.messages.empty());
    const std::string expected = bytes.substr(0, stop + 2) + "\r\n";
    EXPECT_EQ(Memo().Text().size(), expected.size());
    EXPECT_TRUE(Memo().Text() == expected) << "the text is not the file up to its Ctrl-Z";
    EXPECT_EQ(ControlText(Memo().Handle(), 5), u"A\tB\u263AC");
    EXPECT_EQ(ControlLength(Memo().Handle()), expected.size());
    EXPECT_EQ(TempBytes(), kMarker);  // no copy written, the old one left alone
}

TEST_F(Loader, EmptyFileEmptiesTheViewAndLeavesAnEmptyTempFile) {
    StartShowingPrevious();
    PanelRecorder panel(Frm().StatusBar());
    const std::string path = scratch_.Write("empty.nfo", "");
    Frm().ShowFile(path);

    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(Memo().Text(), "");
    EXPECT_EQ(ControlLength(Memo().Handle()), 0u);
    EXPECT_TRUE(platform::FileExists(platform::TempFilePath()));
    EXPECT_EQ(TempBytes(), "");
    EXPECT_EQ(panel.texts, std::vector<std::string>{path});  // no progress text at any time
}

TEST_F(Loader, ProgressTextFollowsEachCopiedBlockAfterWaitingMessagesRan) {
    StartShowingPrevious();
    const std::string path = scratch_.Write("blocks.nfo", FillTo("", 3 * 65536 + 3392));
    PanelRecorder panel(Frm().StatusBar());
    ::PostMessageA(Frm().StatusBar(), PanelRecorder::kPumped, 0, 0);
    Frm().LoadTextFile(path);
    EXPECT_EQ(panel.texts, (std::vector<std::string>{PanelRecorder::kPumpedMark, kProgress, kProgress, kProgress,
                                                     kProgress}));
    EXPECT_EQ(Frm().StatusText(0), kProgress);  // the caller puts the path there
    Frm().ShowFile(path);
    EXPECT_EQ(Frm().StatusText(0), path);
}

TEST_F(Loader, TempFileIsReplacedByTheCleanedCopyOfTheSameLength) {
    StartShowingPrevious();
    WriteTempFile(std::string(100000, 'q'));  // longer than the new copy
    std::string bytes;
    for (int round = 0; round < 3; ++round)
        for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    const std::string path = scratch_.Write("allbytes.bin", bytes);
    Frm().ShowFile(path);
    EXPECT_EQ(TempBytes(), Cleaned(bytes));
    EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(Loader, Utf16FilesAreReadBehindTheirMarkAndNeverCopied) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string text;
    } cases[] = {
        {"LE with final break", Utf16Le(u"A\r\nB\r\n"), "A\r\nB\r\n\r\n"},
        {"LE without final break", Utf16Le(u"A\r\nB"), "A\r\nB\r\n"},
        {"BE with final break", Utf16Be(u"A\r\nB\r\n"), "A\r\nB\r\n"},
        {"BE without final break", Utf16Be(u"A\r\nB"), "A\r\nB\r\n"},
        {"LE control bytes are not cleaned", Utf16Le(u"A\tB\u0411"), "A\tB\x11\x04\r\n"},
        // A 0x1A byte is half of a character here, not an end mark: the rest of the file stays.
        {"LE 0x1A byte keeps the text going", Utf16Le(u"A\u211AB\r\nC"), "A\x1A!B\r\nC\r\n"},
        {"mark alone", "\xFF\xFE", ""},
    };
    StartShowingPrevious();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteTempMarker();
        const std::string path = scratch_.Write("utf16.txt", c.bytes);
        Frm().ShowFile(path);
        EXPECT_EQ(Memo().Text(), c.text);
        EXPECT_EQ(ControlLength(Memo().Handle()), c.text.size());
        EXPECT_EQ(TempBytes(), kMarker);
        EXPECT_TRUE(prompts_.messages.empty());
    }
}

TEST_F(Loader, UnreadableFileGivesOneMessageAndKeepsTheView) {
    struct Case {
        const char* name;
        std::size_t size;  // 0: no file at all
        DWORD access;
        DWORD share;
    } cases[] = {
        {"missing", 0, 0, 0},
        {"held without sharing", 100, GENERIC_READ, 0},
        {"held for writing", 100, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE},
        {"held for writing, above the threshold", kThreshold + 1, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE},
        {"held without sharing, above the threshold", kThreshold + 1, GENERIC_READ, 0},
    };
    StartShowingPrevious();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts_.messages.clear();
        std::string path = scratch_.Path() + "\\locked.nfo";
        ::DeleteFileA(path.c_str());
        platform::UniqueFile held;
        if (c.size) {
            scratch_.Write("locked.nfo", FillTo("", c.size));
            held = Hold(path, c.access, c.share);
            ASSERT_TRUE(held);
        }
        Frm().LoadTextFile(path);
        const Shown shown = OnlyMessage();
        EXPECT_EQ(shown.text, "Unable to open '" + path + "'.");
        EXPECT_EQ(shown.flags, static_cast<UINT>(MB_OK));
        ExpectPreviousShown();
        EXPECT_EQ(TempBytes(), kMarker);
    }
}

TEST_F(Loader, SourceHeldByAReaderGivesTheCannotOpenErrorWithTheAbsolutePath) {
    StartShowingPrevious();
    const std::string path = scratch_.Write("shared.nfo", "shared\r\n");
    char previousDir[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, previousDir);
    ASSERT_TRUE(::SetCurrentDirectoryA(scratch_.Path().c_str()));
    // The size probe and the mark test share reading, so they get through; the cleaning source,
    // which shares nothing, is the open that fails.
    for (DWORD share : {DWORD{FILE_SHARE_READ}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
        SCOPED_TRACE(share);
        prompts_.messages.clear();
        platform::UniqueFile held = Hold(path, GENERIC_READ, share);
        ASSERT_TRUE(held);
        OpenThroughButton("shared.nfo");  // relative: the message makes it absolute
        const Shown shown = OnlyMessage();
        const std::string start = "Cannot open file \"" + path + "\". ";
        EXPECT_EQ(shown.text.substr(0, start.size()), start);
        EXPECT_GT(shown.text.size(), start.size() + 1);  // the system's reason follows
        EXPECT_EQ(shown.text.back(), '.');
        EXPECT_NE(shown.text.substr(shown.text.size() - 2), "..");
        EXPECT_EQ(shown.flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
        ExpectPreviousShown();
        EXPECT_EQ(TempBytes(), kMarker);
        held.reset();
        EXPECT_TRUE(CanOpenUnshared(path));
    }
    ::SetCurrentDirectoryA(previousDir);
}

TEST_F(Loader, TempFileThatCannotBeCreatedGivesTheCannotCreateError) {
    StartShowingPrevious();
    const std::string path = scratch_.Write("small.nfo", "small\r\n");
    const std::string temp = platform::TempFilePath();
    for (bool readOnly : {true, false}) {
        SCOPED_TRACE(readOnly ? "read-only temp file" : "temp file held without sharing");
        if (readOnly && ReadOnlyFileCanBeReplaced(scratch_.Path() + "\\readonly.tmp")) {
            std::printf("note: this system replaces read-only files (Wine run as root); case skipped\n");
            continue;
        }
        prompts_.messages.clear();
        WriteTempMarker();
        platform::UniqueFile held;
        if (readOnly)
            ASSERT_TRUE(::SetFileAttributesA(temp.c_str(), FILE_ATTRIBUTE_READONLY));
        else
            ASSERT_TRUE(held = Hold(temp, GENERIC_READ, 0));
        OpenThroughButton(path);
        const Shown shown = OnlyMessage();
        const std::string start = "Cannot create file \"" + temp + "\". ";
        EXPECT_EQ(shown.text.substr(0, start.size()), start);
        EXPECT_GT(shown.text.size(), start.size() + 1);
        EXPECT_EQ(shown.text.back(), '.');
        EXPECT_EQ(shown.flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
        ExpectPreviousShown();
        held.reset();
        ::SetFileAttributesA(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(TempBytes(), kMarker);
        EXPECT_TRUE(CanOpenUnshared(path));  // the source was let go on the error's way out
    }
}

TEST_F(Loader, FileTooLargeForTheProcessIsRefusedBeforeReading) {
    StartShowingPrevious();
    const std::int64_t MiB = 1 << 20;
    for (std::int64_t size : {256 * MiB + 1, 2048 * MiB, 2560 * MiB, 4096 * MiB + 100}) {
        SCOPED_TRACE(size);
        prompts_.messages.clear();
        const std::string path = MakeSparse(scratch_.Path() + "\\huge.nfo", size);
        ASSERT_FALSE(path.empty());
        const auto start = std::chrono::steady_clock::now();
        Frm().LoadTextFile(path);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        EXPECT_LT(took.count(), 2.0);
        const Shown shown = OnlyMessage();
        EXPECT_EQ(shown.text, "The file '" + path + "' is too large to show.");
        EXPECT_EQ(shown.flags, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
        ExpectPreviousShown();
        EXPECT_EQ(TempBytes(), kMarker);
        ::DeleteFileA(path.c_str());
    }
}

TEST_F(Loader, CaretStandsAtTheTopAfterALoadWithWrapOffAndOn) {
    std::string lines;
    for (int row = 0; row < 400; ++row) lines += std::to_string(row) + ": " + std::string(150, 'w') + "\r\n";
    Start();
    const std::string first = scratch_.Write("first.nfo", lines);
    const std::string second = scratch_.Write("second.nfo", "top\r\n" + lines);
    for (bool wrap : {false, true}) {
        SCOPED_TRACE(wrap ? "wrap on" : "wrap off");
        if (wrap) PressKey('W', {VK_CONTROL});
        ASSERT_EQ(Memo().Wrap(), wrap);
        Frm().ShowFile(first);
        HWND view = Memo().Handle();
        const LRESULT topLeft = ::SendMessageW(view, EM_POSFROMCHAR, 0, 0);
        Memo().SetSelection(Memo().Text().size(), Memo().Text().size());
        Memo().ScrollCaret();
        ASSERT_GT(::SendMessageW(view, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
        ASSERT_NE(::SendMessageW(view, EM_POSFROMCHAR, 0, 0), topLeft);

        Frm().ShowFile(second);
        const platform::Selection selection = Memo().GetSelection();
        EXPECT_EQ(selection.start, 0u);
        EXPECT_EQ(selection.end, 0u);
        EXPECT_EQ(::SendMessageW(view, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
        EXPECT_EQ(::SendMessageW(view, EM_POSFROMCHAR, 0, 0), topLeft);
    }
}

TEST_F(Loader, CloseArrivingDuringTheCopyWaitsForTheLoadToEnd) {
    struct Case {
        const char* name;
        bool escInView;
    } cases[] = {{"WM_CLOSE", false}, {"Esc in the view", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Start();
        const std::string bytes = FillTo("", 8 * 65536 + 100);
        const std::string path = scratch_.Write("closing.nfo", bytes);
        DeleteSettingsKey();
        if (c.escInView)
            ::PostMessageW(Memo().Handle(), WM_CHAR, VK_ESCAPE, 1);
        else
            ::PostMessageA(Frm().Handle(), WM_CLOSE, 0, 0);
        Frm().ShowFile(path);

        ASSERT_TRUE(WindowAlive());
        EXPECT_TRUE(Memo().Text() == bytes);
        EXPECT_EQ(ControlLength(Memo().Handle()), bytes.size());
        EXPECT_EQ(Frm().StatusText(0), path);
        EXPECT_FALSE(SettingsKeyExists());
        EXPECT_TRUE(platform::FileExists(platform::TempFilePath()));
        Pump();  // the deferred close
        EXPECT_FALSE(WindowAlive());
        EXPECT_TRUE(SettingsKeyExists());
        EXPECT_FALSE(platform::FileExists(platform::TempFilePath()));
        EXPECT_TRUE(prompts_.messages.empty());
    }
}

TEST_F(Loader, OpenOrDropArrivingDuringTheCopyStartsNoSecondLoad) {
    struct Case {
        const char* name;
        bool drop;
    } cases[] = {{"open button", false}, {"dropped file", true}};
    Start();
    const std::string bytes = FillTo("first\r\n", 8 * 65536 + 100);
    const std::string path = scratch_.Write("first.nfo", bytes);
    const std::string other = scratch_.Write("other.nfo", "the other file\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts_.openAnswers = {{other, 1}};
        if (c.drop)
            ::PostMessageA(Frm().Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(other)), 0);
        else
            ::PostMessageA(Frm().Handle(), WM_COMMAND, forms::kBtnOpen, 0);
        Frm().ShowFile(path);
        Pump();  // a refused command must not come back after the load either

        ASSERT_TRUE(WindowAlive());
        EXPECT_TRUE(prompts_.openRequests.empty());
        EXPECT_TRUE(Memo().Text() == bytes);
        EXPECT_EQ(ControlLength(Memo().Handle()), bytes.size());
        EXPECT_EQ(Frm().StatusText(0), path);
        EXPECT_TRUE(prompts_.messages.empty());
        EXPECT_EQ(TempBytes(), bytes);
        EXPECT_FALSE(Frm().Loading());
    }
}

}  // namespace
