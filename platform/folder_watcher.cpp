#include "platform/folder_watcher.hpp"

#include <system_error>
#include <utility>

#include "platform/files.hpp"

namespace platform {
namespace {

constexpr wchar_t kWatcherClass[] = L"CorvaleFolderWatcher";
constexpr UINT kChangedMessage = WM_APP + 2;
constexpr UINT_PTR kSettleTimer = 1;
constexpr DWORD kPollMs = 750;  // a folder without notifications: with the settle, still within a second

struct ChangeTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::FindCloseChangeNotification(h); }
};
using UniqueChange = UniqueHandle<HANDLE, ChangeTraits>;

}  // namespace

FolderWatcher::FolderWatcher(const std::string& folder, std::function<void()> onChange, UINT settleMs)
    : onChange_(std::move(onChange)), settleMs_(settleMs), stop_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    static const ATOM atom = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &FolderWatcher::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = kWatcherClass;
        return ::RegisterClassExW(&wc);
    }();
    (void)atom;
    window_ = ::CreateWindowExW(0, kWatcherClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                ::GetModuleHandleW(nullptr), this);
    if (!window_ || !stop_) return;  // nothing is watched: the file is still shown, only not followed
    HANDLE change = ::FindFirstChangeNotificationW(
        FileApiPath(folder).c_str(), FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
    try {
        thread_ = std::thread([this, change] { Watch(change); });
    } catch (const std::system_error&) {
        if (change != INVALID_HANDLE_VALUE) ::FindCloseChangeNotification(change);
    }
}

FolderWatcher::~FolderWatcher() {
    if (stop_) ::SetEvent(stop_.get());
    if (thread_.joinable()) thread_.join();
    if (window_) ::DestroyWindow(window_);  // a change still on its way dies with it
}

void FolderWatcher::CallAgainAfter(UINT ms) {
    if (!window_) return;
    timing_ = true;
    ::SetTimer(window_, kSettleTimer, ms, nullptr);
}

// The thread owns the change handle. Without one the folder is looked at on a clock.
void FolderWatcher::Watch(HANDLE change) noexcept {
    UniqueChange owned(change);
    const HANDLE waits[] = {stop_.get(), change};
    const DWORD count = owned ? 2 : 1;
    const DWORD timeout = owned ? INFINITE : kPollMs;
    for (;;) {
        const DWORD woken = ::WaitForMultipleObjects(count, waits, FALSE, timeout);
        if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED) return;
        if (!posted_.exchange(true)) ::PostMessageW(window_, kChangedMessage, 0, 0);
        if (owned && !::FindNextChangeNotification(change)) return;
    }
}

void FolderWatcher::Changed() {
    posted_ = false;
    if (!timing_) CallAgainAfter(settleMs_);
}

void FolderWatcher::Fire() {
    ::KillTimer(window_, kSettleTimer);
    timing_ = false;
    // The call may end this watcher (the shown file moves to another folder): it runs on a copy,
    // and nothing of the watcher is touched after it.
    if (const std::function<void()> call = onChange_) call();
}

LRESULT CALLBACK FolderWatcher::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    auto* self = reinterpret_cast<FolderWatcher*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (self && msg == kChangedMessage) {
        self->Changed();
        return 0;
    }
    if (self && msg == WM_TIMER && wp == kSettleTimer) {
        self->Fire();
        return 0;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

}  // namespace platform
