#include "forms/shown_file_watch.hpp"

#include "core/shown_file.hpp"
#include "forms/file_opening.hpp"
#include "forms/frm_main.hpp"

namespace forms {
namespace {

// A burst of writes settles this long before the file is read: well within a second, and one
// reload rather than one a block.
constexpr unsigned kSettleMs = 200;
constexpr unsigned kBusyRetryMs = 250;
// A file that cannot be read just now (its writer holds it) is tried again a few times; its next
// change tries again in any case.
constexpr unsigned kFailedRetryMs = 1000;
constexpr int kFailedRetries = 3;

}  // namespace

void ShownFileWatch::Follow(const std::string& fullPath, const platform::FileState& before) {
    path_ = fullPath;
    shown_ = before;
    failedReloads_ = 0;
    const std::string folder(core::FolderOf(fullPath));
    if (watcher_ && folder == folder_) return;
    watcher_.reset();  // stopped and joined before another starts
    folder_ = folder;
    if (!folder_.empty()) watcher_ = std::make_unique<platform::FolderWatcher>(folder_, [this] { Look(); }, kSettleMs);
}

void ShownFileWatch::Stop() {
    watcher_.reset();
    path_.clear();
    folder_.clear();
}

void ShownFileWatch::LookAgainLater(unsigned ms) {
    if (watcher_) watcher_->CallAgainAfter(ms);
}

void ShownFileWatch::Look() {
    frm_.Boxes().Guard([this] {
        if (path_.empty() || !frm_.Handle()) return;
        if (frm_.Busy().Loading() || frm_.Busy().Exporting()) return LookAgainLater(kBusyRetryMs);
        const platform::FileState now = platform::LookAtFile(path_);
        if (now.look == platform::FileLook::Unknown) return;
        opening_.MarkDeleted(now.look == platform::FileLook::Gone);
        if (now.look == platform::FileLook::Gone) {
            shown_ = now;
            return;
        }
        if (shown_.look == platform::FileLook::Present && now.stamp == shown_.stamp) return;
        // A reload follows the file anew; one the user stopped waits for the file's next change.
        const FileOpening::QuietReload reload = opening_.ReloadQuietly();
        if (reload == FileOpening::QuietReload::Cancelled) shown_ = now;
        if (reload == FileOpening::QuietReload::Failed && ++failedReloads_ <= kFailedRetries)
            LookAgainLater(kFailedRetryMs);
    });
}

}  // namespace forms
