#include "core/system_report.hpp"

#include <gtest/gtest.h>

#include <cstring>

namespace {

core::OsVersionRecord Version(std::uint32_t platform, std::uint32_t major, std::uint32_t minor, std::uint32_t build,
                              const char* pack) {
    core::OsVersionRecord record{major, minor, build, platform, {}};
    std::strncpy(record.servicePack.data(), pack, record.servicePack.size());
    return record;
}

}  // namespace

TEST(OsVersionLine, FamiliesBuildsAndServicePacks) {
    struct Case { core::OsVersionRecord version; const char* line; } cases[] = {
        {Version(2, 5, 1, 2600, "Service Pack 3"), "Microsoft Windows NT 5.1.2600 Service Pack 3"},
        {Version(2, 10, 0, 19045, ""), "Microsoft Windows NT 10.0.19045"},
        // The NT family writes the whole build field, high word included.
        {Version(2, 6, 3, 0xFFFFFFFFu, ""), "Microsoft Windows NT 6.3.4294967295"},
        // The older family: only the build's low word, the pack text glued on as it comes.
        {Version(1, 4, 10, (4u << 24) | (10u << 16) | 2222u, " A"), "Microsoft Windows 4.10.2222 A"},
        // A failed query leaves the zero-filled record.
        {core::OsVersionRecord{}, "Microsoft Windows 0.0.0"},
    };
    for (const auto& c : cases) EXPECT_EQ(core::OsVersionLine(c.version), c.line);
}

TEST(OsVersionLine, ServicePackEndsAtItsFirstNulOrAtTheFieldsEnd) {
    core::OsVersionRecord version = Version(2, 6, 1, 7601, "Service Pack 1");
    version.servicePack[20] = 'X';  // after the NUL: not part of the text
    EXPECT_EQ(core::OsVersionLine(version), "Microsoft Windows NT 6.1.7601 Service Pack 1");

    version.servicePack.fill('P');  // no NUL at all: the whole field, never past it
    EXPECT_EQ(core::OsVersionLine(version), "Microsoft Windows NT 6.1.7601 " + std::string(128, 'P'));
}

TEST(MemoryLines, WholeMebibytesRoundedDownFromSixtyFourBitCounts) {
    struct Case { std::uint64_t bytes; std::uint64_t mebibytes; } cases[] = {
        {0, 0},
        {1048575, 0},
        {536346624, 511},
        {0xFFFFFFFFull, 4095},
        {0x100000000ull, 4096},          // past the 32-bit counts
        {24ull << 30, 24576},            // a 24 GiB machine
    };
    for (const auto& c : cases) EXPECT_EQ(core::WholeMebibytes(c.bytes), c.mebibytes) << c.bytes;

    const core::MemoryFigures memory{536346624, 1048575, 24ull << 30, 0x100000000ull};
    EXPECT_EQ(core::PhysicalMemoryLine(memory), "Physical memory: 511 MB total, 0 MB free");
    EXPECT_EQ(core::PageFileLine(memory), "Page file: 24576 MB total, 4096 MB free");
}
