#include "platform/system_info.hpp"

#include <windows.h>

#include <algorithm>

namespace platform {

static_assert(sizeof(OSVERSIONINFOA) == 148);
static_assert(sizeof(OSVERSIONINFOA::szCSDVersion) == sizeof(core::OsVersionRecord::servicePack));

core::OsVersionRecord QueryOsVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    ::GetVersionExA(&info);  // on failure the zero-filled record stands
    core::OsVersionRecord record;
    record.major = info.dwMajorVersion;
    record.minor = info.dwMinorVersion;
    record.build = info.dwBuildNumber;
    record.platformId = info.dwPlatformId;
    std::copy(std::begin(info.szCSDVersion), std::end(info.szCSDVersion), record.servicePack.begin());
    return record;
}

// The 64-bit query: the 32-bit one caps every count at 4 GiB.
core::MemoryFigures QueryMemoryFigures() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!::GlobalMemoryStatusEx(&status)) return {};
    return {status.ullTotalPhys, status.ullAvailPhys, status.ullTotalPageFile, status.ullAvailPageFile};
}

}  // namespace platform
