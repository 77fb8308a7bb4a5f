#pragma once
// The roads a file takes into the main window (the command line, the open dialog, a drop) and
// the show sequence they all end in: the loader, then the status bar, the caption and Select All.
#include <windows.h>
#include <shellapi.h>

#include <chrono>
#include <string>

#include "core/file_info_text.hpp"
#include "core/text_encoding.hpp"
#include "platform/text_file.hpp"

namespace forms {

class TFrmMain;

class FileOpening final : private platform::LoadHooks {
public:
    FileOpening(TFrmMain& frm, std::chrono::milliseconds progressDelay);

    void OpenCommandLineFile(const std::string& commandLine);
    // The open dialog, starting at the shown file, else where it was left.
    void OpenByDialog();
    // One file dropped from the shell; takes over the drop data.
    void OpenDropped(HDROP drop);

    // The show sequence every road ends in; a file the loader refuses, or a load cancelled,
    // leaves the window as it was.
    void ShowFile(const std::string& path);
    // True when the view took the file, read as `encoding` says; the encoding panel then names
    // what is shown, and the choice holds for the file. The status bar's path and size panels are
    // as they were when it did not.
    bool LoadTextFile(const std::string& path, core::EncodingChoice encoding = core::EncodingChoice::kAutomatic);
    // The shown file read again, by the same road, as `encoding` says; with `keepPlace` the view
    // keeps its first visible line when the new text has that many. False, with the window as it
    // was, when nothing is shown, a load runs, or the file cannot be read now.
    bool ReloadShownFile(core::EncodingChoice encoding, bool keepPlace);
    // How the shown file was asked to be read: Automatic for every file opened, until another
    // choice reloads it.
    core::EncodingChoice Choice() const { return choice_; }
    std::string GetFileDateText(const std::string& path) const;
    void RemoveTempFile();

    // The shown file's full path, taken when it was loaded: panel 0 holds the path as the road
    // received it, which may be relative to a current folder that the file dialogs change since.
    const std::string& ShownFullPath() const { return shownFullPath_; }
    // The user changed the number or date formats.
    void ReadLocale();

private:
    // A folder reaches the roads as easily as a file (a drop, a typed name): it is named for what it is.
    bool RefuseFolder(const std::string& path);
    void ShowFileFacts(const std::string& path);
    void ShowSizeAndDate(const std::string& path);

    // platform::LoadHooks
    void ShowWarning(const std::string& text) override;
    void ProcessPendingMessages() override;
    void ShowProgress() override;
    void ShowReading(int permille) override;
    std::chrono::milliseconds ProgressDelay() const override { return progressDelay_; }
    bool CancelRequested() override;

    TFrmMain& frm_;
    std::chrono::milliseconds progressDelay_;
    core::LocaleValues locale_;
    std::string shownFullPath_;
    core::EncodingChoice choice_ = core::EncodingChoice::kAutomatic;
    // DlgOpen: remembered for the window's lifetime.
    std::wstring openPath_;
    DWORD openFilterIndex_ = 1;
};

}  // namespace forms
