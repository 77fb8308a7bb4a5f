#include "platform/executable_path.hpp"

#include <windows.h>

#include <optional>

#include "core/app_error.hpp"
#include "core/file_associations.hpp"
#include "platform/files.hpp"
#include "platform/unicode.hpp"

namespace platform {

std::string ExecutablePath() {
    std::wstring full(kLongestPath, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, full.data(), static_cast<DWORD>(full.size()));
    if (length == 0 || length >= full.size()) return {};
    full.resize(length);
    return Narrow(full);
}

std::string ShellExecutablePath() {
    const std::string full = ExecutablePath();
    if (full.empty()) throw core::AppError("Cannot find the program's own path");
    // A failed call leaves the buffer undefined: only a length it reported is trusted.
    std::optional<std::string> shortPath;
    std::wstring shortForm(kLongestPath, L'\0');
    const DWORD shortLength =
        ::GetShortPathNameW(Widen(full).c_str(), shortForm.data(), static_cast<DWORD>(shortForm.size()));
    if (shortLength > 0 && shortLength < shortForm.size()) {
        shortForm.resize(shortLength);
        shortPath = Narrow(shortForm);
    }
    return core::AssociationExecutablePath(shortPath, full);
}

}  // namespace platform
