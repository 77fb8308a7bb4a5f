#pragma once
// The roads a file takes into the main window (the command line, the open dialog, a drop) and
// the show sequence they all end in: the loader, then the status bar, the caption and Select All.
#include <windows.h>
#include <shellapi.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "core/file_info_text.hpp"
#include "core/text_encoding.hpp"
#include "core/folder_stepping.hpp"
#include "platform/folder_files.hpp"
#include "platform/text_file.hpp"
#include "platform/text_view.hpp"

namespace forms {

class TFrmMain;
class ShownFileWatch;

class FileOpening final : private platform::LoadHooks {
public:
    FileOpening(TFrmMain& frm, std::chrono::milliseconds progressDelay);
    ~FileOpening() override;

    void OpenCommandLineFile(const std::string& commandLine);
    // The open dialog, starting at the shown file, else where it was left.
    void OpenByDialog();
    // One file dropped from the shell; takes over the drop data.
    void OpenDropped(HDROP drop);

    // The show sequence every road ends in; a file the loader refuses, or a load cancelled,
    // leaves the window as it was (false). A file reached by stepping through its folder has its
    // place there, which the caption shows.
    bool ShowFile(const std::string& path, std::optional<core::FolderPlace> place = std::nullopt);
    // True when the view took the file, read as `encoding` says; the encoding panel then names
    // what is shown, and the choice holds for the file. The status bar's path and size panels are
    // as they were when it did not.
    bool LoadTextFile(const std::string& path, core::EncodingChoice encoding = core::EncodingChoice::kAutomatic);
    // The shown file read again through the same road, as `encoding` says, its status bar path and
    // place in the folder kept; with keepPlace the view stays scrolled where it was and the
    // selection where the text allows. False, with the shown text kept, when nothing is shown, a
    // load runs, or the file cannot be read now.
    bool ReloadShownFile(core::EncodingChoice encoding, bool keepPlace);
    // How the shown file was asked to be read: Automatic for every file opened, until another
    // choice reloads it. F5 and a change on disk read it the same way again.
    core::EncodingChoice Choice() const { return choice_; }
    // A reload nobody asked for (the file changed on disk): what stops it is not shown, as the
    // watch tries again, unless the user stopped it (Esc).
    enum class QuietReload { Reloaded, Failed, Cancelled };
    QuietReload ReloadQuietly();
    // The shown file is gone from the disk (or back): the caption says so, the text stays.
    void MarkDeleted(bool deleted);
    // The window closes: the shown file is no longer followed.
    void StopWatching();
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
    void ShowFileFacts(const std::string& roadPath, const std::string& fullPath, const platform::FileState& before);
    void ShowCaption();
    void KeepPlace(const platform::ViewPlace& where, LRESULT topRow, bool sameReading);

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
    std::string shownRoadPath_;  // panel 0's: the path as the road gave it
    std::optional<core::FolderPlace> place_;
    bool deleted_ = false;
    bool quiet_ = false;      // warnings of the load road are not shown
    bool cancelled_ = false;  // the last load was stopped by the user
    std::unique_ptr<ShownFileWatch> watch_;
    // DlgOpen: remembered for the window's lifetime.
    std::wstring openPath_;
    DWORD openFilterIndex_ = 1;
};

}  // namespace forms
