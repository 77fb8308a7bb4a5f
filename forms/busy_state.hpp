#pragma once
// What the main window is in the middle of. A load and an export pump waiting messages, and
// prompts, menus and modal dialogs run loops of their own: a second load or export is refused
// meanwhile, and a close waits until the handler that runs the loop is back, then comes again.
// A running load or export can be asked to stop (Esc); a close asks a load to, as nobody will see
// the file it reads.
#include <functional>
#include <utility>

namespace forms {

class BusyState {
public:
    // closeAgain repeats a close that had to wait (it posts one to the window).
    explicit BusyState(std::function<void()> closeAgain) : closeAgain_(std::move(closeAgain)) {}
    BusyState(const BusyState&) = delete;
    BusyState& operator=(const BusyState&) = delete;

    enum class Task { Loading, Exporting };

    // While it lives, a loop of messages may run inside the handler that made it.
    class NestedLoopScope {
    public:
        explicit NestedLoopScope(BusyState& state) : state_(state) { ++state_.nestedLoops_; }
        NestedLoopScope(const NestedLoopScope&) = delete;
        NestedLoopScope& operator=(const NestedLoopScope&) = delete;
        ~NestedLoopScope() { state_.LeaveLoop(); }

    private:
        BusyState& state_;
    };

    // While it lives, the task runs; it ends whichever way the scope ends, and a request to stop
    // ends with it.
    class FlagScope {
    public:
        FlagScope(BusyState& state, Task task) : state_(state), flag_(state.Flag(task)) {
            flag_ = true;
            state_.cancelRequested_ = false;
        }
        FlagScope(const FlagScope&) = delete;
        FlagScope& operator=(const FlagScope&) = delete;
        ~FlagScope() {
            flag_ = false;
            state_.cancelRequested_ = false;
        }

    private:
        BusyState& state_;
        bool& flag_;
    };

    bool Loading() const { return loading_; }
    bool Exporting() const { return exporting_; }
    // Asks the running load or export to stop; false when none runs.
    bool RequestCancel();
    bool CancelRequested() const { return cancelRequested_; }
    // True, with a beep, while a load or an export runs: the command asked for is not run.
    bool RefuseWhileBusy() const;
    // True when a close must wait for a loop to end; it is repeated then. A running load is
    // asked to stop, so the wait is short.
    bool DeferClose();

private:
    bool& Flag(Task task) { return task == Task::Loading ? loading_ : exporting_; }
    void LeaveLoop();

    std::function<void()> closeAgain_;
    bool loading_ = false;
    bool exporting_ = false;
    bool cancelRequested_ = false;
    int nestedLoops_ = 0;
    bool closePending_ = false;
};

}  // namespace forms
