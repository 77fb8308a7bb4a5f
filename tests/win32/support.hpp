#pragma once
// Shared fixtures of the window tests: scripted prompts, a scratch folder, and a main window
// created the way the program creates it, with the test prefix's real registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/frm_main.hpp"
#include "platform/ini_file.hpp"
#include "platform/prompts.hpp"
#include "platform/registry.hpp"

namespace testing_support {

struct Shown {
    std::string text;
    UINT flags;
    HWND owner = nullptr;
};

// Answers every prompt from a script and remembers what was asked.
class ScriptedPrompts final : public platform::Prompts {
public:
    std::vector<Shown> messages;
    std::deque<int> answers;                   // message box results; IDOK when empty
    std::function<void()> onMessage;           // runs while a message box is "open"
    // Shows each message as a real message box, closed by Enter (so its default button answers)
    // once it is up; `answers` are not used then.
    bool realBoxes = false;
    struct FileAnswer { std::string path; DWORD filterIndex; };  // path in UTF-8
    std::deque<FileAnswer> openAnswers;        // empty: the dialog is cancelled
    std::vector<OPENFILENAMEW> openRequests;   // as each dialog was shown (pointers not kept valid)
    std::vector<std::string> openInitialPaths;  // UTF-8
    std::vector<std::string> openInitialFolders;  // UTF-8; empty when none was given

    // The save dialog: what it was shown with (texts as UTF-8, the filter with its NULs) and the
    // names typed into it (UTF-8); empty: the dialog is cancelled.
    struct SaveRequest {
        std::string title, filter, initialName;
        DWORD flags;
        bool hasDefaultExtension, hasInitialFolder;
    };
    std::vector<SaveRequest> saveRequests;
    std::deque<std::string> saveAnswers;
    // Runs on the request before a name is given back: it may choose another type (nFilterIndex)
    // or set what the dialog's own controls would (lCustData).
    std::function<void(OPENFILENAMEW&)> onSave;

    int Message(HWND, const std::string& text, UINT flags) override;
    bool OpenFileName(OPENFILENAMEW& request) override;
    bool SaveFileName(OPENFILENAMEW& request) override;
    int beeps = 0;
    void Beep() override { ++beeps; }
};

// A fresh folder under the temp directory, removed with its files at the end.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    const std::string& Path() const { return path_; }
    // UTF-8 name; returns the full path.
    std::string Write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

// The temp directory named by the environment (TMP and TEMP) for as long as it lives.
class TempDirOverride {
public:
    explicit TempDirOverride(const std::string& dir);  // UTF-8
    TempDirOverride(const TempDirOverride&) = delete;
    TempDirOverride& operator=(const TempDirOverride&) = delete;
    ~TempDirOverride();

private:
    struct Saved { const wchar_t* name; std::wstring value; bool existed; };
    std::vector<Saved> saved_;
};

std::string ReadFileBytes(const std::string& path);
// Sets a file's last-write time from a local calendar time.
void SetLocalWriteTime(const std::string& path, WORD year, WORD month, WORD day, WORD hour, WORD minute);
// The status bar's texts for a file, worked out here from the file's own size and time.
std::string ExpectedDateText(const std::string& path);
std::string ExpectedSizeText(std::int32_t size);
void DeleteSettingsKey();
std::string ClipboardText(UINT format);               // raw bytes of CF_TEXT, or UTF-16 bytes of CF_UNICODETEXT
void SetClipboardMarker(const std::string& text);    // CF_TEXT only
void SetKeys(std::initializer_list<int> held);       // the thread's keyboard state: these keys down, all others up
// A WM_DROPFILES block as the shell hands it over: DROPFILES, then the names (UTF-8 given, stored
// as UTF-16 with fWide set, as the shell does), double-NUL ended. The receiver owns it from the
// moment it is sent.
HGLOBAL MakeDrop(const std::vector<std::string>& paths);
std::string Lines(int count, const std::string& line);  // `count` copies of the line, each ended by CR LF
SIZE CellOf(HFONT font);                                 // the cell of "A" in the font
std::vector<std::string> FolderNames(const std::string& folder);  // sorted
std::string CaptionOf(HWND wnd);

// Every text given to a status bar panel, in order. A kPumped message posted to the bar is noted
// as kPumpedMark among panel 0's texts when the window's pump dispatches it. onText runs as each
// text of panel 0 arrives, inside the load that sets it.
class StatusRecorder {
public:
    static constexpr UINT kPumped = WM_APP + 17;
    static constexpr const char* kPumpedMark = "<pumped>";

    explicit StatusRecorder(HWND bar);
    StatusRecorder(const StatusRecorder&) = delete;
    StatusRecorder& operator=(const StatusRecorder&) = delete;
    ~StatusRecorder();
    std::vector<std::string> Of(int panel) const;
    std::function<void(const std::string&)> onText;

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    struct Text { int panel; std::string text; };
    std::vector<Text> texts_;
    HWND bar_;
    WNDPROC previous_ = nullptr;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void Start(const std::string& commandLine = "corvalex.exe");
    void Pump();
    forms::TFrmMain& Frm() { return *frm_; }
    platform::TextView& Memo() { return frm_->Memo(); }
    // A key press in the view as the message loop delivers it (menu shortcuts first).
    void PressKey(WORD key, std::initializer_list<int> modifiers = {});
    bool WindowAlive() const;
    // Shows `bytes` as a file of that name in the given colours; starts the window if needed.
    std::string ShowColoured(const std::string& bytes, COLORREF ink, COLORREF paper,
                             const std::string& name = "shown.nfo");

    ScriptedPrompts prompts_;
    std::chrono::milliseconds loadProgressDelay_{300};  // as the program has it, unless a test needs it sooner
    ScratchFolder scratch_;
    platform::Win32Registry registry_;
    std::unique_ptr<platform::ProfileIniFile> ini_;
    platform::Shell* shell_ = nullptr;  // the main window's, set before Start; none: the system's
    std::unique_ptr<forms::TFrmMain> frm_;
};

}  // namespace testing_support
