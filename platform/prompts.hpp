#pragma once
// Every message box and common file dialog goes through this seam, so the window tests can answer
// them from a script and check each text and icon.
#include <windows.h>
#include <commdlg.h>

#include <optional>
#include <string>

namespace platform {

extern const char kAppTitle[];  // "Corvale": the caption of every message box

class Prompts {
public:
    virtual ~Prompts() = default;
    // A message box captioned with the application title, showing the UTF-8 text through
    // MessageBoxW; returns the button pressed.
    virtual int Message(HWND owner, const std::string& text, UINT flags) = 0;
    // GetOpenFileNameW / GetSaveFileNameW on a prepared structure; false when cancelled.
    virtual bool OpenFileName(OPENFILENAMEW& request) = 0;
    virtual bool SaveFileName(OPENFILENAMEW& request) = 0;
    // The short sound of a key that has nothing left to do (a step past the last file).
    virtual void Beep() { ::MessageBeep(MB_OK); }
};

class SystemPrompts final : public Prompts {
public:
    int Message(HWND owner, const std::string& text, UINT flags) override;
    bool OpenFileName(OPENFILENAMEW& request) override;
    bool SaveFileName(OPENFILENAMEW& request) override;
};

// The error box: an error that escaped a handler, shown with the error icon and an OK button; its
// message ends in a full stop when its last character sorts after ".".
void ShowErrorBox(Prompts& prompts, HWND owner, const std::string& message);

// A common file dialog as the program shows it.
struct FileDialog {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    HWND owner = nullptr;
    const wchar_t* title = nullptr;  // nullptr: the system's
    const wchar_t* filter = nullptr;
    DWORD filterIndex = 1;
    std::wstring startName;    // the name the box starts with
    std::wstring startFolder;  // empty: where the system chooses
    DWORD flags = 0;
    // A child template of our own under the dialog's controls, with the hook that runs it
    // (OFN_ENABLETEMPLATE | OFN_ENABLEHOOK in flags); the hook finds `hookData` in lCustData.
    const wchar_t* templateName = nullptr;
    LPOFNHOOKPROC hook = nullptr;
    LPARAM hookData = 0;
};

struct FileChoice {
    std::wstring path;
    DWORD filterIndex = 1;
};

// Shows the dialog with room for the longest path the system takes, so no name is ever cut;
// nullopt when it is cancelled or gives back no name.
std::optional<FileChoice> AskFileName(Prompts& prompts, const FileDialog& dialog);

}  // namespace platform
