#include "platform/shell.hpp"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include "platform/files.hpp"
#include "platform/unicode.hpp"

namespace platform {
namespace {

// A handler may be a shell extension reached through COM, which the shell expects the calling
// thread to have started; the thread's own state is given back after the call.
class ComScope {
public:
    ComScope() : started_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComScope() {
        if (started_) ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool started_;
};

std::string ReasonFor(DWORD code) {
    std::string reason = SystemErrorText(code);
    return reason.empty() ? "Windows error " + std::to_string(code) : reason;
}

}  // namespace

// No UI of the shell's own: the caller says what went wrong, once. NOASYNC: the hand-off is over
// when the call returns, so the COM scope may end.
Launch SystemShell::Open(const std::string& target) {
    const std::wstring file = Widen(target);
    SHELLEXECUTEINFOW request{};
    request.cbSize = sizeof request;
    request.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    request.lpFile = file.c_str();
    request.nShow = SW_SHOW;
    ComScope com;
    if (::ShellExecuteExW(&request)) return Launch{};
    const DWORD error = ::GetLastError();
    return Launch{false, ReasonFor(error != ERROR_SUCCESS ? error : ERROR_NO_ASSOCIATION)};
}

void SystemShell::AssociationsChanged() { ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr); }

}  // namespace platform
