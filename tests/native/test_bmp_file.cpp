#include "core/bmp_file.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {

std::uint32_t U32(const std::array<std::uint8_t, core::kBmpHeadersSize>& h, std::size_t at) {
    return h[at] | (h[at + 1] << 8) | (h[at + 2] << 16) | (static_cast<std::uint32_t>(h[at + 3]) << 24);
}
std::uint16_t U16(const std::array<std::uint8_t, core::kBmpHeadersSize>& h, std::size_t at) {
    return static_cast<std::uint16_t>(h[at] | (h[at + 1] << 8));
}

}  // namespace

TEST(BmpFile, RowsArePaddedToFourBytes) {
    struct Case { int width, bits; std::size_t stride; } cases[] = {
        {1, 32, 4}, {1600, 32, 6400}, {1, 24, 4}, {3, 24, 12}, {5, 24, 16},
        {2, 16, 4}, {3, 16, 8},    {0, 32, 0},    {-1, 32, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(core::BmpRowStride(c.width, c.bits), c.stride) << c.width << "@" << c.bits;
    EXPECT_EQ(core::BmpPixelBytes(3, 5, 24), 60u);
    EXPECT_EQ(core::BmpPixelBytes(3, 0, 24), 0u);
}

TEST(BmpFile, HeadersDescribeABottomUpUncompressedPicture) {
    struct Case { int width, height, bits; std::uint32_t pixelBytes; } cases[] = {
        {1600, 4800, 32, 1600u * 4800u * 4u},
        {3, 2, 24, 24},
        {3, 2, 16, 16},
        {0, 80, 32, 0},  // no pixels: the headers alone
        {0, 0, 32, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + "@" + std::to_string(c.bits));
        const auto headers = core::BmpHeaders(c.width, c.height, c.bits);
        ASSERT_TRUE(headers);
        const auto& h = *headers;
        EXPECT_EQ(h[0], 'B');
        EXPECT_EQ(h[1], 'M');
        EXPECT_EQ(U32(h, 2), 54u + c.pixelBytes);  // file size
        EXPECT_EQ(U32(h, 6), 0u);
        EXPECT_EQ(U32(h, 10), 54u);                // pixel data offset
        EXPECT_EQ(U32(h, 14), 40u);
        EXPECT_EQ(static_cast<std::int32_t>(U32(h, 18)), c.width);
        EXPECT_EQ(static_cast<std::int32_t>(U32(h, 22)), c.height);
        EXPECT_EQ(U16(h, 26), 1);
        EXPECT_EQ(U16(h, 28), c.bits);
        EXPECT_EQ(U32(h, 30), 0u);                 // BI_RGB
        EXPECT_EQ(U32(h, 34), c.pixelBytes);
        for (std::size_t at = 38; at < 54; at += 4) EXPECT_EQ(U32(h, at), 0u) << at;
    }
}

TEST(BmpFile, RefusesWhatTheFormatCannotHold) {
    EXPECT_FALSE(core::BmpHeaders(-1, 10, 32));
    EXPECT_FALSE(core::BmpHeaders(10, -1, 32));
    for (int bits : {0, 1, 4, 8, 15, 48}) EXPECT_FALSE(core::BmpHeaders(10, 10, bits)) << bits;
    EXPECT_FALSE(core::BmpHeaders(INT_MAX, INT_MAX, 32));
    EXPECT_FALSE(core::BmpHeaders(65536, 16384, 32));  // exactly 4 GiB of pixels
    EXPECT_TRUE(core::BmpHeaders(16384, 16383, 32));
}
