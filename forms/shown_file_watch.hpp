#pragma once
// Follows the shown file on disk: its folder is watched on a thread of its own, and when the file
// was written (its size or its time changed) it is read again in place, by itself; when it was
// removed the caption says so and the text stays. A change while a load or an export runs is
// looked at once that is over. Touching another file of the folder changes nothing.
#include <memory>
#include <string>

#include "platform/folder_files.hpp"
#include "platform/folder_watcher.hpp"

namespace forms {

class TFrmMain;
class FileOpening;

class ShownFileWatch {
public:
    ShownFileWatch(TFrmMain& frm, FileOpening& opening) : frm_(frm), opening_(opening) {}

    // The file now shown, as it stood before it was read. Its folder's watch goes on when it is
    // the folder already watched; another folder's replaces it.
    void Follow(const std::string& fullPath, const platform::FileState& before);
    // Nothing is followed any more; its thread is joined.
    void Stop();

private:
    void Look();
    void LookAgainLater(unsigned ms);

    TFrmMain& frm_;
    FileOpening& opening_;
    std::string path_;
    std::string folder_;
    platform::FileState shown_;
    int failedReloads_ = 0;
    std::unique_ptr<platform::FolderWatcher> watcher_;
};

}  // namespace forms
