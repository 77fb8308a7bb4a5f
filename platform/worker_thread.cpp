#include "platform/worker_thread.hpp"

#include <system_error>
#include <utility>

#include "core/app_error.hpp"

namespace platform {
namespace {

constexpr wchar_t kReportClass[] = L"CorvaleWorkerReports";
constexpr UINT kReportMessage = WM_APP + 1;

// The reports' window: message-only, so nothing sees it but the posts it gets. Its object is the
// worker's report callback.
LRESULT CALLBACK ReportProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    if (msg != kReportMessage) return ::DefWindowProcW(wnd, msg, wp, lp);
    auto* onReport = reinterpret_cast<WorkerThread::OnReport*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    try {
        if (onReport && *onReport) (*onReport)(static_cast<int>(wp));
    } catch (...) {  // a progress display that cannot be updated is no reason to stop anything
    }
    return 0;
}

HWND MakeReportWindow(WorkerThread::OnReport* onReport) {
    static const ATOM atom = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &ReportProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = kReportClass;
        return ::RegisterClassExW(&wc);
    }();
    (void)atom;
    return ::CreateWindowExW(0, kReportClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ::GetModuleHandleW(nullptr),
                             onReport);
}

}  // namespace

void WorkerThread::Context::Report(int permille) {
    if (permille == reported_) return;
    reported_ = permille;
    ::PostMessageW(reports_, kReportMessage, static_cast<WPARAM>(permille), 0);
}

WorkerThread::WorkerThread(Work work, OnReport onReport)
    : work_(std::move(work)),
      onReport_(std::move(onReport)),
      finished_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    if (!finished_) throw core::AppError("Cannot start the reading of the file");
    reports_ = MakeReportWindow(&onReport_);
    try {
        thread_ = std::thread([this, context = Context(stop_, reports_)]() mutable { Run(context); });
    } catch (const std::system_error&) {
        if (reports_) ::DestroyWindow(reports_);
        throw core::AppError("Cannot start the reading of the file");
    }
}

WorkerThread::~WorkerThread() {
    RequestStop();
    if (thread_.joinable()) thread_.join();
    if (reports_) ::DestroyWindow(reports_);  // reports still on their way die with it
}

void WorkerThread::Run(Context& context) noexcept {
    try {
        work_(context);
    } catch (...) {
        error_ = std::current_exception();
    }
    ::SetEvent(finished_.get());
}

void WorkerThread::Join() {
    if (thread_.joinable()) thread_.join();
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
}

}  // namespace platform
