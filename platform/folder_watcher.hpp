#pragma once
// Watches one folder on a thread of its own and tells the thread that made it, through a
// message-only window, that something in it changed: a file written, added, removed or renamed.
// A burst of changes (a file written block by block) is told once, a moment after it began. The
// watching thread is stopped and joined when the watcher goes, so no report outlives it.
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "platform/win_handles.hpp"

namespace platform {

class FolderWatcher {
public:
    // onChange runs on this thread, as its messages are served, `settle` after the first change
    // of a burst. A folder the system cannot watch (a share without notifications) is looked at
    // on a clock instead, often enough for the same second.
    FolderWatcher(const std::string& folder, std::function<void()> onChange, UINT settleMs);
    FolderWatcher(const FolderWatcher&) = delete;
    FolderWatcher& operator=(const FolderWatcher&) = delete;
    ~FolderWatcher();

    // onChange again after `ms`, changed or not: for a look that had to wait.
    void CallAgainAfter(UINT ms);

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    void Watch(HANDLE change) noexcept;
    void Changed();
    void Fire();

    std::function<void()> onChange_;
    UINT settleMs_;
    HWND window_ = nullptr;
    bool timing_ = false;                // the settle timer runs
    std::atomic<bool> posted_{false};    // a change message is on its way: one is enough
    UniqueKernelObject stop_;            // an event: the watching ends
    std::thread thread_;                 // last: it starts once everything it uses exists
};

}  // namespace platform
