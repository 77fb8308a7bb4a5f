#include "forms/file_opening.hpp"

#include <new>
#include <optional>

#include "core/app_error.hpp"
#include "core/cmdline.hpp"
#include "core/shown_file.hpp"
#include "core/text_load.hpp"
#include "forms/frm_main.hpp"
#include "forms/shown_file_watch.hpp"
#include "platform/files.hpp"
#include "platform/locale.hpp"
#include "platform/prompts.hpp"
#include "platform/unicode.hpp"
#include "platform/win_handles.hpp"

namespace forms {
namespace {

// In static storage: the dialog's request points at it.
constexpr wchar_t kOpenFilter[] = L"Text Files\0*.txt;*.nfo;*.diz;*.bbs;*.ion\0All Files\0*.*\0";

// The status bar while a load runs: what it said before comes back unless the file is shown,
// whichever way the load ends, and the progress bar goes.
class LoadStatus {
public:
    explicit LoadStatus(platform::StatusBar& bar) : bar_(bar), path_(bar.Text(0)) {}
    LoadStatus(const LoadStatus&) = delete;
    LoadStatus& operator=(const LoadStatus&) = delete;
    ~LoadStatus() {
        bar_.HideProgress();
        if (!shown_ && bar_.Text(0) != path_) bar_.SetText(0, path_);
    }
    void Shown() { shown_ = true; }

private:
    platform::StatusBar& bar_;
    std::string path_;
    bool shown_ = false;
};

}  // namespace

FileOpening::FileOpening(TFrmMain& frm, std::chrono::milliseconds progressDelay)
    : frm_(frm), progressDelay_(progressDelay), locale_(platform::ReadUserLocale()),
      watch_(std::make_unique<ShownFileWatch>(frm, *this)) {}

FileOpening::~FileOpening() = default;

void FileOpening::ReadLocale() { locale_ = platform::ReadUserLocale(); }

bool FileOpening::RefuseFolder(const std::string& path) {
    if (!platform::FolderExists(path)) return false;
    frm_.Boxes().Warn(core::FolderNotFileText(path));
    return true;
}

void FileOpening::OpenCommandLineFile(const std::string& commandLine) {
    const std::optional<std::string> argument = core::FirstArgument(commandLine);
    if (!argument || RefuseFolder(*argument)) return;
    if (platform::FileExists(*argument))
        ShowFile(*argument);
    else
        frm_.Boxes().Warn(core::FileMissingText(*argument));
}

void FileOpening::OpenByDialog() {
    platform::FileDialog dialog;
    dialog.owner = frm_.Handle();
    dialog.filter = kOpenFilter;
    dialog.filterIndex = openFilterIndex_;
    // With a file shown the dialog starts at it, in its folder; otherwise where it was left.
    dialog.startName = shownFullPath_.empty() ? openPath_ : platform::Widen(shownFullPath_);
    dialog.startFolder = platform::Widen(core::FolderOf(shownFullPath_));
    dialog.flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING | OFN_EXPLORER;
    std::optional<platform::FileChoice> choice;
    {
        BusyState::NestedLoopScope modal(frm_.Busy());
        choice = platform::AskFileName(frm_.Boxes().Prompts(), dialog);
    }
    if (!choice) return;
    openPath_ = choice->path;
    openFilterIndex_ = choice->filterIndex;
    const std::string chosen = platform::Narrow(openPath_);
    if (RefuseFolder(chosen)) return;
    ShowFile(chosen);
}

void FileOpening::OpenDropped(HDROP drop) {
    platform::UniqueDrop owned(drop);  // released on every road out
    if (frm_.Busy().RefuseWhileBusy()) return;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    if (count > 1) {
        frm_.Boxes().Warn("Don't drop more than one file!");
        return;
    }
    if (count == 0) return;
    // The whole name, however long: a cut name would name nothing.
    std::wstring buffer(::DragQueryFileW(drop, 0, nullptr, 0) + 1, L'\0');
    const UINT length = ::DragQueryFileW(drop, 0, buffer.data(), static_cast<UINT>(buffer.size()));
    const std::string path = platform::Narrow(std::wstring_view(buffer.data(), length));
    if (RefuseFolder(path) || !platform::FileExists(path)) return;
    ShowFile(path);
}

// A file not shown leaves the status bar and Select All describing the file that still is. The
// file is looked at before it is read, so a change while it loads is seen afterwards.
bool FileOpening::ShowFile(const std::string& path, std::optional<core::FolderPlace> place) {
    const platform::FileState before = platform::LookAtFile(path);
    if (!LoadTextFile(path)) return false;
    frm_.UpdateCommandStates(CommandMoment::FileShown);
    place_ = place;
    ShowFileFacts(path, platform::AbsolutePath(path), before);
    return true;
}

// One road for F5, a change on disk and another encoding: the file read again by its full path,
// its name in panel 0 and its place in the folder kept.
bool FileOpening::ReloadShownFile(core::EncodingChoice encoding, bool keepPlace) {
    if (shownFullPath_.empty()) return false;
    const std::string fullPath = shownFullPath_;  // the current folder may have changed since
    const bool sameReading = encoding == choice_;
    const platform::ViewPlace where = frm_.Memo().Place();
    const LRESULT topRow = ::SendMessageW(frm_.Memo().Handle(), EM_GETFIRSTVISIBLELINE, 0, 0);
    const platform::FileState before = platform::LookAtFile(fullPath);
    if (!LoadTextFile(fullPath, encoding)) return false;
    if (keepPlace) KeepPlace(where, topRow, sameReading);
    frm_.UpdateCommandStates(CommandMoment::FileShown);
    ShowFileFacts(shownRoadPath_, fullPath, before);
    return true;
}

// Read the same way, the text's bytes keep their offsets: the top and the selection stay where
// the text allows. Read another way every offset moves, so the first visible row (as an edit
// control counts rows) is kept when the new text has that many.
void FileOpening::KeepPlace(const platform::ViewPlace& where, LRESULT topRow, bool sameReading) {
    if (sameReading) return frm_.Memo().RestorePlace(where);
    HWND view = frm_.Memo().Handle();
    if (topRow > 0 && topRow < ::SendMessageW(view, EM_GETLINECOUNT, 0, 0)) ::SendMessageW(view, EM_LINESCROLL, 0, topRow);
}

FileOpening::QuietReload FileOpening::ReloadQuietly() {
    quiet_ = true;
    cancelled_ = false;
    bool reloaded = false;
    try {
        reloaded = ReloadShownFile(choice_, true);
    } catch (const std::exception&) {  // a file caught half-written: the next look tries again
    }
    quiet_ = false;
    if (reloaded) return QuietReload::Reloaded;
    return cancelled_ ? QuietReload::Cancelled : QuietReload::Failed;
}

void FileOpening::MarkDeleted(bool deleted) {
    if (deleted == deleted_) return;
    deleted_ = deleted;
    ShowCaption();
}

void FileOpening::StopWatching() { watch_->Stop(); }

// The panels are read from the full path: a relative one may name another file by now.
void FileOpening::ShowFileFacts(const std::string& roadPath, const std::string& fullPath,
                                const platform::FileState& before) {
    frm_.SetStatusText(0, roadPath);
    shownRoadPath_ = roadPath;
    shownFullPath_ = fullPath;
    deleted_ = false;
    ShowCaption();
    watch_->Follow(shownFullPath_, before);
    frm_.SetStatusText(2, core::FormatSizeText(platform::GetFileSizeBytes(fullPath), locale_.thousandSeparator));
    frm_.SetStatusText(4, GetFileDateText(fullPath));
}

// Panel 0 is left alone: the export reads the shown file's path from it.
void FileOpening::ShowCaption() {
    const core::CaptionFacts facts{shownRoadPath_, place_, deleted_};
    ::SetWindowTextW(frm_.Handle(), platform::Widen(core::ShownCaption(facts, platform::kAppTitle)).c_str());
}

bool FileOpening::LoadTextFile(const std::string& path, core::EncodingChoice encoding) {
    if (frm_.Busy().Loading()) return false;
    BusyState::NestedLoopScope pumping(frm_.Busy());
    BusyState::FlagScope busy(frm_.Busy(), BusyState::Task::Loading);
    LoadStatus status(frm_.Status());
    std::optional<platform::LoadedText> loaded = platform::LoadViewText(path, *this, encoding);
    if (!loaded) return false;  // cancelled, or the loader has said why
    if (!frm_.Memo().SetText(loaded->text)) {  // no memory for its rows: the view keeps the old text
        ShowWarning(core::NotEnoughMemoryText(path));
        return false;
    }
    status.Shown();
    choice_ = encoding;
    frm_.SetStatusText(platform::StatusBar::kEncodingPanel, std::string(core::EncodingName(loaded->encoding)));
    return true;
}

// Any date a file system can hold is shown; only a file that cannot be found has none.
std::string FileOpening::GetFileDateText(const std::string& path) const {
    const auto when = platform::GetFileLocalWriteTime(path);
    if (!when) throw core::AppError("Invalid argument to date encode");
    return core::FormatDateText(*when, locale_);
}

void FileOpening::RemoveTempFile() {
    const std::string path = platform::TempFilePath();
    if (platform::FileExists(path)) platform::DeleteFileAt(path);
}

void FileOpening::ShowWarning(const std::string& text) {
    if (!quiet_) frm_.Boxes().Warn(text);
}
void FileOpening::ProcessPendingMessages() { frm_.ProcessPendingMessages(); }
void FileOpening::ShowProgress() { frm_.SetStatusText(0, "Parsing file..."); }

void FileOpening::ShowReading(int permille) {
    frm_.Status().ShowProgress(permille);
    if (frm_.StatusText(0) != "Reading file...") frm_.SetStatusText(0, "Reading file...");
}

bool FileOpening::CancelRequested() {
    const bool cancel = frm_.Busy().CancelRequested();
    cancelled_ = cancelled_ || cancel;
    return cancel;
}

}  // namespace forms
