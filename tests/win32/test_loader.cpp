// The loader in the window: the cleaning threshold, each load's own temporary copy, UTF-16 files,
// files that cannot be opened or read, the caret after a load, and commands that arrive while a
// load pumps.
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>
#include <shellapi.h>
#include <shlobj.h>

#include <chrono>
#include <functional>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "core/shown_file.hpp"
#include "core/text_load.hpp"
#include "platform/files.hpp"
#include "platform/unicode.hpp"
#include "platform/win_handles.hpp"
#include "tests/win32/support.hpp"

using namespace testing_support;

namespace {

constexpr std::size_t kThreshold = 4194304;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
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

std::string Utf16(const std::u16string& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
        const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

platform::UniqueFile Hold(const std::string& path, DWORD access, DWORD share) {
    return platform::UniqueFile(
        ::CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool CanOpenUnshared(const std::string& path) { return static_cast<bool>(Hold(path, GENERIC_READ, 0)); }

// The cleaning copies of loads in the temp directory, by full path; the name older versions
// used for every copy ("corvalex.tmp") is not one of them.
std::vector<std::string> TempCopies() {
    std::vector<std::string> found;
    const std::wstring dir = platform::Widen(platform::GetTempDir());
    WIN32_FIND_DATAW data{};
    platform::UniqueFind find(::FindFirstFileW((dir + L"corvalex-*.tmp").c_str(), &data));
    if (!find) return found;
    do {
        found.push_back(platform::Narrow(dir + data.cFileName));
    } while (::FindNextFileW(find.get(), &data));
    return found;
}

// What a load's copy looked like while the load ran: its path, and whether anyone else could open it.
struct CopySeen {
    std::string path;
    bool openToOthers;
};

std::vector<CopySeen> LookAtTempCopies() {
    std::vector<CopySeen> seen;
    for (const std::string& path : TempCopies())
        seen.push_back({path, static_cast<bool>(Hold(path, GENERIC_READ, kShareAll))});
    return seen;
}

bool SettingsKeyExists() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\corvalex", 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

// A file of the given size that takes no disk space, for sizes no load may ever read.
bool MakeSparse(const std::string& path, std::int64_t size) {
    platform::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER at{};
    at.QuadPart = size;
    return file && ::SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) && ::SetEndOfFile(file.get());
}

class Loader : public MainWindowTest {
protected:
    // A window already showing a small file, and a marker in the temp file's place.
    void StartShowingPrevious() {
        Start();
        previousPath_ = scratch_.Write("previous.nfo", kPrevious);
        Frm().ShowFile(previousPath_);
        ASSERT_EQ(Memo().Text(), kPrevious);
        ASSERT_TRUE(prompts_.messages.empty());
        WriteTempFile(kMarker);
    }
    static void WriteTempFile(const std::string& bytes) {
        std::ofstream out(platform::TempFilePath(), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::string TempBytes() const { return ReadFileBytes(platform::TempFilePath()); }
    // The model and the control's own copy both hold the text.
    void ExpectShowing(const std::string& text) {
        EXPECT_TRUE(Memo().Text() == text) << "the view does not hold the expected " << text.size() << " bytes";
        EXPECT_EQ(ControlLength(Memo().Handle()), text.size());
    }
    void ExpectPreviousShown() {
        ExpectShowing(kPrevious);
        EXPECT_EQ(Frm().StatusText(0), previousPath_);
    }
    // The message, its system reason after the path, and one full stop at the end.
    void ExpectFileError(const std::string& start) {
        const Shown shown = OnlyMessage();
        EXPECT_EQ(shown.text.substr(0, start.size()), start);
        EXPECT_GT(shown.text.size(), start.size() + 1);
        EXPECT_EQ(shown.text.back(), '.');
        EXPECT_NE(shown.text.substr(shown.text.size() - 2), "..");
        EXPECT_EQ(shown.flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
        ExpectPreviousShown();
        EXPECT_EQ(TempBytes(), kMarker);
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

// The copy is this load's own: a new name (never the one older versions shared), held without
// sharing while the load runs, gone when it ends; the old name's file is left alone.
TEST_F(Loader, FileAtTheThresholdIsCleanedThroughATempCopyOfItsOwn) {
    StartShowingPrevious();
    const std::string bytes = FillTo(std::string("A\tB\0C\x1A" "D\x0C\x7F\xB0\r\n", 13), kThreshold);
    ASSERT_EQ(bytes.size(), kThreshold);
    const std::string path = scratch_.Write("threshold.nfo", bytes);
    StatusRecorder panel(Frm().StatusBar());
    std::vector<CopySeen> during;
    panel.onText = [&](const std::string&) {
        if (during.empty()) during = LookAtTempCopies();
    };
    Frm().ShowFile(path);
    EXPECT_TRUE(prompts_.messages.empty());
    ASSERT_EQ(during.size(), 1u);
    EXPECT_FALSE(during[0].openToOthers);
    EXPECT_EQ(core::FolderOf(during[0].path), core::FolderOf(platform::TempFilePath()));
    EXPECT_TRUE(TempCopies().empty());
    EXPECT_EQ(TempBytes(), kMarker);
    ExpectShowing(Cleaned(bytes));
    EXPECT_EQ(ControlText(Memo().Handle(), 10), u"A B C D \u2302\u2591");
    EXPECT_TRUE(CanOpenUnshared(path));  // the source is closed again
}

// Another instance's copy, or an older version's, under the name this load would take first:
// the load takes another name and touches neither file.
TEST_F(Loader, ACopyHeldByAnotherInstanceDoesNotStopTheLoad) {
    StartShowingPrevious();
    const std::string bytes = FillTo("first\r\n", 3 * 65536);
    const std::string path = scratch_.Write("first.nfo", bytes);
    StatusRecorder panel(Frm().StatusBar());
    std::vector<CopySeen> firstSeen, secondSeen;
    std::vector<CopySeen>* seen = &firstSeen;
    panel.onText = [&](const std::string&) {
        if (seen->empty()) *seen = LookAtTempCopies();
    };
    Frm().ShowFile(path);
    ASSERT_EQ(firstSeen.size(), 1u);
    const std::string taken = firstSeen[0].path;
    {
        std::ofstream other(taken, std::ios::binary);
        other << "another instance's copy";
    }
    platform::UniqueFile legacy = Hold(platform::TempFilePath(), GENERIC_READ, 0);
    platform::UniqueFile held = Hold(taken, GENERIC_READ | GENERIC_WRITE, 0);
    ASSERT_TRUE(held && legacy);
    seen = &secondSeen;
    const std::string second = scratch_.Write("second.nfo", "second\r\n" + bytes);
    Frm().ShowFile(second);
    EXPECT_TRUE(prompts_.messages.empty());
    ExpectShowing("second\r\n" + bytes);
    EXPECT_EQ(Frm().StatusText(0), second);
    ASSERT_EQ(secondSeen.size(), 2u);  // the held one and the load's own
    EXPECT_NE(secondSeen[0].path == taken, secondSeen[1].path == taken);
    held.reset();
    legacy.reset();
    EXPECT_EQ(ReadFileBytes(taken), "another instance's copy");
    EXPECT_EQ(TempBytes(), kMarker);
    ::DeleteFileA(taken.c_str());
    EXPECT_TRUE(TempCopies().empty());
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
    ExpectShowing(bytes.substr(0, stop + 2) + "\r\n");
    EXPECT_EQ(ControlText(Memo().Handle(), 5), u"A\tB\u263AC");
    EXPECT_EQ(TempBytes(), kMarker);  // the old name's file left alone
    EXPECT_TRUE(TempCopies().empty());
}

// Above the threshold nothing is cleaned, so a NUL reaches the view: it is a blank there and in
// everything read out of the view, and the line goes on behind it.
TEST_F(Loader, NulAboveTheThresholdIsABlankAndTheLineGoesOn) {
    StartShowingPrevious();
    const std::string first("before\0after the NUL", 20);
    const std::string bytes = FillTo(first + std::string("\r\n\0\0x\r\n", 7), kThreshold + 1);
    const std::string path = scratch_.Write("zeros.bin", bytes);
    Frm().ShowFile(path);
    EXPECT_TRUE(prompts_.messages.empty());
    ExpectShowing(bytes);
    HWND view = Memo().Handle();
    EXPECT_EQ(ControlText(view, 27), u"before after the NUL\r\n  x\r\n");
    wchar_t line[32] = {};
    *reinterpret_cast<WORD*>(line) = 31;
    ASSERT_EQ(::SendMessageW(view, EM_GETLINE, 0, reinterpret_cast<LPARAM>(line)), 20);
    EXPECT_EQ(std::wstring(line, 20), L"before after the NUL");

    ::SendMessageW(view, EM_SETSEL, 0, 20);
    ::SendMessageW(view, WM_COPY, 0, 0);
    EXPECT_EQ(ClipboardText(CF_TEXT), "before after the NUL");
    const std::string unicode = ClipboardText(CF_UNICODETEXT);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(unicode.data()), unicode.size() / 2),
              u"before after the NUL");

    ::SendMessageW(view, EM_SETSEL, 0, 0);
    Frm().BtnFindClick();
    Pump();
    HWND find = Frm().FindDialog();
    ASSERT_NE(find, nullptr);
    ::SendMessageW(::GetDlgItem(find, edt1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"after"));
    ::SendMessageA(::GetDlgItem(find, IDOK), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(Memo().GetSelection().start, 7u);
    EXPECT_EQ(Memo().GetSelection().end, 12u);
    EXPECT_TRUE(prompts_.messages.empty());
    ::SendMessageA(find, WM_COMMAND, IDCANCEL, 0);
    Pump();
}

// The old name's file is longer than each copy beforehand, so a copy that went there would show.
TEST_F(Loader, ProgressFollowsEachCopiedBlockAfterWaitingMessagesRan) {
    struct Case { std::size_t size; std::size_t blocks; } cases[] = {{3 * 65536 + 3392, 4}, {0, 0}};
    StartShowingPrevious();
    const std::string oldCopy(4 * 65536, 'q');
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        WriteTempFile(oldCopy);
        const std::string bytes = FillTo("", c.size);
        const std::string path = scratch_.Write("blocks.nfo", bytes);
        StatusRecorder panel(Frm().StatusBar());
        std::vector<std::string> expected(c.blocks, kProgress);
        if (c.blocks) {
            ::PostMessageA(Frm().StatusBar(), StatusRecorder::kPumped, 0, 0);
            expected.insert(expected.begin(), StatusRecorder::kPumpedMark);
        }
        expected.push_back(path);  // the caller's path replaces the progress text
        Frm().ShowFile(path);
        EXPECT_EQ(panel.Of(0), expected);
        EXPECT_TRUE(TempBytes() == oldCopy);
        EXPECT_TRUE(TempCopies().empty());
        ExpectShowing(bytes);
        EXPECT_TRUE(prompts_.messages.empty());
    }
}

// Decoded to the bytes whose glyphs they are, so the view draws the characters of the file.
TEST_F(Loader, Utf16FilesAreDecodedBehindTheirMarkAndNeverCopied) {
    const std::u16string art = u"\u2554\u2550\u2557 Caf\u00E9 M\u00FCnchen [\u02C8ma\u02B3k\u028As]\x1A\U0001F600";
    struct Case { const char* name; std::string bytes; std::string text; } cases[] = {
        {"LE with final break", Utf16(u"A\r\nB\r\n", false), "A\r\nB\r\n"},
        {"LE without final break", Utf16(u"A\r\nB", false), "A\r\nB\r\n"},
        {"BE with final break", Utf16(u"A\r\nB\r\n", true), "A\r\nB\r\n"},
        {"LE art", Utf16(art, false), "\xC9\xCD\xBB Caf\x82 M\x81nchen [?ma?k?s]\x1A?\r\n"},
        {"BE art", Utf16(art, true), "\xC9\xCD\xBB Caf\x82 M\x81nchen [?ma?k?s]\x1A?\r\n"},
    };
    StartShowingPrevious();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = scratch_.Write("utf16.txt", c.bytes);
        Frm().ShowFile(path);
        ExpectShowing(c.text);
        EXPECT_EQ(TempBytes(), kMarker);  // never copied, so never cleaned
        EXPECT_TRUE(TempCopies().empty());
        EXPECT_TRUE(prompts_.messages.empty());
    }
    EXPECT_EQ(ControlText(Memo().Handle(), 8), u"\u2554\u2550\u2557 Caf\u00E9");
}

// CR alone breaks the lines of a file that holds no LF, on the cleaning road and for UTF-16; one
// LF anywhere keeps the CR-LF rules, where a lone CR is dropped.
TEST_F(Loader, FilesWithoutAnyLfBreakTheirLinesAtCr) {
    struct Case { const char* name; std::string bytes; std::string text; } cases[] = {
        {"Mac", "\xC9\xCD\xBB\rline\x09two\r\r", "\xC9\xCD\xBB\r\nline two\r\n\r\n"},
        {"Mac UTF-16", Utf16(u"\u2554\r\u00E9\r", false), "\xC9\r\n\x82\r\n"},
        {"one LF at the end", "A\rB\r\r\n", "AB\r\n"},
    };
    StartShowingPrevious();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = scratch_.Write("mac.nfo", c.bytes);
        Frm().ShowFile(path);
        EXPECT_TRUE(prompts_.messages.empty());
        ExpectShowing(c.text);
    }
}

// Every refusal here comes before any copy: the view, panel 0 and the temp file stay as they were.
TEST_F(Loader, FileThatCannotBeReadOrIsTooLargeGivesOneMessageAndKeepsTheView) {
    constexpr std::int64_t MiB = 1 << 20;
    struct Case { const char* name; std::int64_t size; DWORD access, share; bool tooLarge; } cases[] = {
        {"missing", 0, 0, 0, false},
        {"held without sharing", 100, GENERIC_READ, 0, false},
        {"just above the largest viewable size", core::kLargestViewableFile + 1, 0, 0, true},
        {"900 MiB: more than a 32-bit process has room for beside a copy", 900 * MiB, 0, 0, true},
        {"2 GiB, negative as 32 bits", 2048 * MiB, 0, 0, true},
        {"4 GiB and 100 bytes, small once cut to 32 bits", 4096 * MiB + 100, 0, 0, true},
    };
    StartShowingPrevious();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts_.messages.clear();
        const std::string path = scratch_.Path() + "\\unreadable.nfo";
        ::DeleteFileA(path.c_str());
        platform::UniqueFile held;
        if (c.size) {
            ASSERT_TRUE(MakeSparse(path, c.size));
        }
        if (c.access) {
            ASSERT_TRUE(held = Hold(path, c.access, c.share));
        }
        const auto start = std::chrono::steady_clock::now();
        Frm().LoadTextFile(path);
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2.0);
        const Shown shown = OnlyMessage();
        if (c.tooLarge) {
            EXPECT_EQ(shown.text, "The file '" + path + "' is too large to show.");
            EXPECT_EQ(shown.flags, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
        } else {  // with the system's reason
            const DWORD reason = c.access ? ERROR_SHARING_VIOLATION : ERROR_FILE_NOT_FOUND;
            EXPECT_EQ(shown.text, "Unable to open '" + path + "'. " + platform::SystemErrorText(reason) + ".");
            EXPECT_EQ(shown.flags, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
        }
        ExpectPreviousShown();
        EXPECT_EQ(TempBytes(), kMarker);
    }
}

// A read that fails is reported with the system's reason, not shown as an empty or cut file. Under
// Wine the process's own memory file fails its first read (address 0 is never mapped).
TEST_F(Loader, FileWhoseReadFailsGivesTheSystemsReasonAndKeepsTheView) {
    const std::string path = "Z:\\proc\\self\\mem";
    if (!platform::FileExists(path)) GTEST_SKIP() << "no " << path << " here to fail a read";
    StartShowingPrevious();
    OpenThroughButton(path);
    const Shown shown = OnlyMessage();
    EXPECT_EQ(shown.text, "Cannot read file \"" + path + "\". " + platform::SystemErrorText(ERROR_NOT_READY) + ".");
    EXPECT_EQ(shown.flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
    ExpectPreviousShown();
    EXPECT_TRUE(TempCopies().empty());
    EXPECT_EQ(TempBytes(), kMarker);
}

// Another handle of this process on the file `own` is open on, found by the file's identity.
// Closing it under its owner is what a failing disk or a vanished network share looks like.
HANDLE OtherHandleOn(HANDLE own) {
    BY_HANDLE_FILE_INFORMATION wanted{};
    if (!::GetFileInformationByHandle(own, &wanted)) return nullptr;
    for (UINT_PTR value = 4; value < 65536; value += 4) {
        const auto handle = reinterpret_cast<HANDLE>(value);
        BY_HANDLE_FILE_INFORMATION info{};
        if (handle == own || ::GetFileType(handle) != FILE_TYPE_DISK || !::GetFileInformationByHandle(handle, &info))
            continue;
        if (info.dwVolumeSerialNumber == wanted.dwVolumeSerialNumber && info.nFileIndexHigh == wanted.nFileIndexHigh &&
            info.nFileIndexLow == wanted.nFileIndexLow)
            return handle;
    }
    return nullptr;
}

// Half-way through the cleaning copy the file can no longer be read: the error box says why, the
// shown file stays with its status bar (no progress text left behind), and the copy is gone.
TEST_F(Loader, ReadFailingHalfWayThroughTheCopyKeepsTheShownFileAndRemovesTheCopy) {
    StartShowingPrevious();
    const std::string path = scratch_.Write("failing.nfo", FillTo("failing\r\n", 3 * 65536));
    platform::UniqueFile own = Hold(path, GENERIC_READ, kShareAll);
    ASSERT_TRUE(own);
    StatusRecorder panel(Frm().StatusBar());
    std::vector<CopySeen> during;
    bool closed = false;
    panel.onText = [&](const std::string&) {
        if (closed) return;
        during = LookAtTempCopies();
        HANDLE loaderHandle = OtherHandleOn(own.get());
        closed = loaderHandle != nullptr && ::CloseHandle(loaderHandle);
    };
    OpenThroughButton(path);
    ASSERT_TRUE(closed) << "the loader's handle on the file was not found";
    EXPECT_EQ(during.size(), 1u);
    const Shown shown = OnlyMessage();
    const std::string reason = platform::SystemErrorText(ERROR_INVALID_HANDLE);
    EXPECT_EQ(shown.text, "Cannot read file \"" + path + "\". " + reason + ".");
    EXPECT_EQ(shown.flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
    ExpectPreviousShown();
    EXPECT_EQ(panel.Of(0).back(), previousPath_);
    EXPECT_TRUE(TempCopies().empty());
}

// A viewer only reads: files that other programs read or are still writing show, on both roads.
TEST_F(Loader, FileHeldOpenByAnotherReaderOrWriterIsShown) {
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE;
    struct Case { const char* name; std::size_t size; DWORD access, share; } cases[] = {
        {"read, sharing reading only", 100, GENERIC_READ, FILE_SHARE_READ},
        {"written, sharing both", 100, GENERIC_WRITE, kShareAll},
        {"written, above the threshold", kThreshold + 1, GENERIC_READ | GENERIC_WRITE, kShareAll},
    };
    StartShowingPrevious();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bytes = FillTo("held\r\n", c.size);
        const std::string path = scratch_.Write("held.nfo", bytes);
        platform::UniqueFile held = Hold(path, c.access, c.share);
        ASSERT_TRUE(held);
        Frm().ShowFile(path);
        EXPECT_TRUE(prompts_.messages.empty());
        ExpectShowing(bytes);
        EXPECT_EQ(Frm().StatusText(0), path);
        EXPECT_EQ(Frm().StatusText(2), ExpectedSizeText(static_cast<std::int32_t>(c.size)));
        held.reset();
        EXPECT_TRUE(CanOpenUnshared(path));  // the loader let go of it
    }
}

TEST_F(Loader, CopyThatCannotBeCreatedGivesItsErrorWithItsAbsolutePath) {
    StartShowingPrevious();
    const std::string path = scratch_.Write("shared.nfo", "shared\r\n");
    const std::string missing = scratch_.Path() + "\\missing\\";
    char previousDir[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, previousDir);
    ASSERT_TRUE(::SetCurrentDirectoryA(scratch_.Path().c_str()));
    {
        TempDirOverride temp(missing);
        ASSERT_EQ(platform::GetTempDir(), missing);
        OpenThroughButton("shared.nfo");  // relative: nothing in the message depends on it
    }
    ::SetCurrentDirectoryA(previousDir);
    ExpectFileError("Cannot create file \"" + missing + "corvalex-");
    const std::string text = prompts_.messages.empty() ? "" : prompts_.messages.front().text;
    const std::string reason = ".tmp\". " + platform::SystemErrorText(ERROR_PATH_NOT_FOUND) + ".";
    ASSERT_GT(text.size(), reason.size());
    EXPECT_EQ(text.substr(text.size() - reason.size()), reason);
    EXPECT_TRUE(CanOpenUnshared(path));  // the source was let go on the error's way out
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

// A close or Esc asks the load to stop: the file is not shown, the copy is gone, and the close
// comes once the load is back; an open or a drop is refused and never comes back.
TEST_F(Loader, CommandsArrivingDuringTheCopyNeitherStartASecondLoadNorCloseUnderIt) {
    enum Command { kClose, kEsc, kOpen, kDrop };
    for (Command command : {kClose, kEsc, kOpen, kDrop}) {
        SCOPED_TRACE(command);
        Start();
        DeleteSettingsKey();
        const std::string bytes = FillTo("first\r\n", 8 * 65536 + 100);
        const std::string path = scratch_.Write("first.nfo", bytes);
        const std::string other = scratch_.Write("other.nfo", "the other file\r\n");
        prompts_.openAnswers = {{other, 1}};
        if (command == kClose) ::PostMessageA(Frm().Handle(), WM_CLOSE, 0, 0);
        if (command == kEsc) ::PostMessageW(Memo().Handle(), WM_CHAR, VK_ESCAPE, 1);
        if (command == kOpen) ::PostMessageA(Frm().Handle(), WM_COMMAND, forms::kBtnOpen, 0);
        if (command == kDrop)
            ::PostMessageA(Frm().Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({other})), 0);
        WriteTempFile(kMarker);  // as an older version leaves it
        Frm().ShowFile(path);
        const bool stops = command == kClose || command == kEsc;
        ASSERT_TRUE(WindowAlive());
        ExpectShowing(stops ? "" : bytes);
        EXPECT_EQ(Frm().StatusText(0), stops ? "" : path);
        EXPECT_FALSE(Frm().Loading());
        EXPECT_FALSE(SettingsKeyExists());
        EXPECT_EQ(TempBytes(), kMarker);
        EXPECT_TRUE(TempCopies().empty());
        Pump();
        const bool closes = command == kClose;
        EXPECT_EQ(WindowAlive(), !closes);
        EXPECT_EQ(SettingsKeyExists(), closes);
        EXPECT_EQ(platform::FileExists(platform::TempFilePath()), !closes);  // the close clears up after them
        if (!closes) ExpectShowing(stops ? "" : bytes);
        EXPECT_TRUE(prompts_.openRequests.empty());
        EXPECT_TRUE(prompts_.messages.empty());
        frm_.reset();
        Pump();
    }
}

}  // namespace
