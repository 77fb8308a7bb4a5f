#include "platform/shell.hpp"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "platform/unicode.hpp"

namespace platform {

void SystemShell::Open(const std::string& target) {
    ::ShellExecuteW(nullptr, nullptr, Widen(target).c_str(), nullptr, nullptr, SW_SHOW);
}

void SystemShell::AssociationsChanged() { ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr); }

}  // namespace platform
