#include "core/system_report.hpp"

#include <cstring>

namespace core {
namespace {

std::string ServicePackText(const std::array<char, 128>& field) {
    const void* end = std::memchr(field.data(), '\0', field.size());
    const std::size_t length =
        end ? static_cast<std::size_t>(static_cast<const char*>(end) - field.data()) : field.size();
    return std::string(field.data(), length);
}

std::string MemoryLine(const char* label, std::uint64_t total, std::uint64_t available) {
    return std::string(label) + std::to_string(WholeMebibytes(total)) + " MB total, " +
           std::to_string(WholeMebibytes(available)) + " MB free";
}

}  // namespace

std::string OsVersionLine(const OsVersionRecord& version) {
    const std::string pack = ServicePackText(version.servicePack);
    const std::string numbers = std::to_string(version.major) + "." + std::to_string(version.minor) + ".";
    if (version.platformId == kPlatformNt) {
        std::string line = "Microsoft Windows NT " + numbers + std::to_string(version.build);
        if (!pack.empty()) line += " " + pack;
        return line;
    }
    // The older family keeps its version numbers in the build field's high word.
    return "Microsoft Windows " + numbers + std::to_string(version.build & 0xFFFFu) + pack;
}

std::uint64_t WholeMebibytes(std::uint64_t bytes) { return bytes >> 20; }

std::string PhysicalMemoryLine(const MemoryFigures& memory) {
    return MemoryLine("Physical memory: ", memory.totalPhysical, memory.availablePhysical);
}

std::string PageFileLine(const MemoryFigures& memory) {
    return MemoryLine("Page file: ", memory.totalPageFile, memory.availablePageFile);
}

}  // namespace core
