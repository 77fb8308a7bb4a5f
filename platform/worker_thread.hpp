#pragma once
// One piece of work on a thread of its own, while the thread that made it goes on serving its
// windows. The work touches no window: it asks whether it should stop and reports how far it has
// come, and the reports reach the making thread as posted messages. The worker is joined when it
// goes (asked to stop first), so its thread never outlives what it works on, and an error the
// work throws is thrown again on the making thread.
#include <windows.h>

#include <atomic>
#include <exception>
#include <functional>
#include <thread>

#include "platform/win_handles.hpp"

namespace platform {

class WorkerThread {
public:
    // What the work sees of its worker.
    class Context {
    public:
        bool StopRequested() const { return stop_.load(std::memory_order_relaxed); }
        // How far the work is, in thousandths; a report is posted only when the figure changes.
        void Report(int permille);

    private:
        friend class WorkerThread;
        Context(std::atomic<bool>& stop, HWND reports) : stop_(stop), reports_(reports) {}
        std::atomic<bool>& stop_;
        HWND reports_;
        int reported_ = -1;
    };
    using Work = std::function<void(Context&)>;
    using OnReport = std::function<void(int permille)>;

    // Starts the work at once; onReport runs on this thread, as this thread's messages are served.
    WorkerThread(Work work, OnReport onReport);
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    ~WorkerThread();

    void RequestStop() { stop_ = true; }
    bool Finished() const { return ::WaitForSingleObject(finished_.get(), 0) == WAIT_OBJECT_0; }
    HANDLE FinishedEvent() const { return finished_.get(); }
    // Waits for the end of the work and throws what it threw.
    void Join();

private:
    class ReportWindow;
    void Run(Context& context) noexcept;

    Work work_;
    OnReport onReport_;
    std::atomic<bool> stop_{false};
    std::exception_ptr error_;
    UniqueKernelObject finished_;  // an event: set when the work has returned
    HWND reports_ = nullptr;
    std::thread thread_;  // last: it starts once everything it uses exists
};

}  // namespace platform
