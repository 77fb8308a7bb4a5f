#pragma once
// Every message box and common file dialog goes through this seam, so the window tests can answer
// them from a script and check each text and icon.
#include <windows.h>
#include <commdlg.h>

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
};

class SystemPrompts final : public Prompts {
public:
    int Message(HWND owner, const std::string& text, UINT flags) override;
    bool OpenFileName(OPENFILENAMEW& request) override;
    bool SaveFileName(OPENFILENAMEW& request) override;
};

}  // namespace platform
