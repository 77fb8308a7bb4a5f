#include "platform/shell.hpp"

#include <windows.h>
#include <shellapi.h>

namespace platform {

void SystemShell::Open(const std::string& target) {
    ::ShellExecuteA(nullptr, nullptr, target.c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace platform
