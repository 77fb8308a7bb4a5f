#pragma once
// The about dialog's report of the running system: the operating-system line and the two memory
// lines, computed from plain copies of what the system returns so every rule can be checked here.
#include <array>
#include <cstdint>
#include <string>

namespace core {

// The fields of the system's version record that the line reads.
struct OsVersionRecord {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
    std::uint32_t platformId = 0;    // 2 is the NT family
    std::array<char, 128> servicePack{};  // NUL-ended when shorter than the field
};

inline constexpr std::uint32_t kPlatformNt = 2;

// Byte counts as the 64-bit memory query returns them.
struct MemoryFigures {
    std::uint64_t totalPhysical = 0;
    std::uint64_t availablePhysical = 0;
    std::uint64_t totalPageFile = 0;
    std::uint64_t availablePageFile = 0;
};

// "Microsoft Windows NT 6.1.7601 Service Pack 1", or for the older family
// "Microsoft Windows 4.10.2222 A" (low 16 bits of the build, pack text appended as it stands).
std::string OsVersionLine(const OsVersionRecord& version);

// Whole mebibytes, rounded down.
std::uint64_t WholeMebibytes(std::uint64_t bytes);

// "Physical memory: T MB total, A MB free" and "Page file: T MB total, A MB free".
std::string PhysicalMemoryLine(const MemoryFigures& memory);
std::string PageFileLine(const MemoryFigures& memory);

}  // namespace core
