#include "platform/executable_path.hpp"

#include <windows.h>

#include <optional>

#include "core/app_error.hpp"
#include "core/file_associations.hpp"
#include "platform/unicode.hpp"

namespace platform {
namespace {

constexpr DWORD kLongestPath = 32768;  // in UTF-16 units, the system's limit

}  // namespace

std::string ShellExecutablePath() {
    std::wstring full(kLongestPath, L'\0');
    const DWORD fullLength = ::GetModuleFileNameW(nullptr, full.data(), kLongestPath);
    if (fullLength == 0 || fullLength >= kLongestPath) throw core::AppError("Cannot find the program's own path");
    full.resize(fullLength);

    // A failed call leaves the buffer undefined: only a length it reported is trusted.
    std::optional<std::string> shortPath;
    std::wstring shortForm(kLongestPath, L'\0');
    const DWORD shortLength = ::GetShortPathNameW(full.c_str(), shortForm.data(), kLongestPath);
    if (shortLength > 0 && shortLength < kLongestPath) {
        shortForm.resize(shortLength);
        shortPath = Narrow(shortForm);
    }
    return core::AssociationExecutablePath(shortPath, Narrow(full));
}

}  // namespace platform
