#include "core/bmp_file.hpp"

#include <limits>

namespace core {
namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBiRgb = 0;

class LittleEndian {
public:
    explicit LittleEndian(std::array<std::uint8_t, kBmpHeadersSize>& out) : out_(out) {}
    void U16(std::uint32_t value) { Put(value, 2); }
    void U32(std::uint32_t value) { Put(value, 4); }
    void I32(std::int32_t value) { Put(static_cast<std::uint32_t>(value), 4); }

private:
    void Put(std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out_[at_++] = static_cast<std::uint8_t>(value >> (8 * i));
    }
    std::array<std::uint8_t, kBmpHeadersSize>& out_;
    std::size_t at_ = 0;
};

}  // namespace

bool BmpDepthSupported(int bitsPerPixel) { return bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32; }

std::size_t BmpRowStride(int width, int bitsPerPixel) {
    if (width <= 0 || bitsPerPixel <= 0) return 0;
    const std::size_t bits = static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel);
    return (bits + 31) / 32 * 4;
}

std::size_t BmpPixelBytes(int width, int height, int bitsPerPixel) {
    if (height <= 0) return 0;
    return BmpRowStride(width, bitsPerPixel) * static_cast<std::size_t>(height);
}

std::optional<std::array<std::uint8_t, kBmpHeadersSize>> BmpHeaders(int width, int height, int bitsPerPixel) {
    if (width < 0 || height < 0 || !BmpDepthSupported(bitsPerPixel)) return std::nullopt;
    // Computed in 64 bits: a 32-bit size_t would wrap before the check.
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitsPerPixel) + 31) / 32 * 4;
    const std::uint64_t pixels = stride * static_cast<std::uint64_t>(height);
    const std::uint64_t fileSize = kBmpHeadersSize + pixels;
    if (fileSize > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;

    std::array<std::uint8_t, kBmpHeadersSize> headers{};
    LittleEndian out(headers);
    out.U16('B' | ('M' << 8));
    out.U32(static_cast<std::uint32_t>(fileSize));
    out.U32(0);  // two reserved words
    out.U32(static_cast<std::uint32_t>(kBmpHeadersSize));
    out.U32(kInfoHeaderSize);
    out.I32(width);
    out.I32(height);  // positive: the rows are stored bottom-up
    out.U16(1);       // planes
    out.U16(static_cast<std::uint32_t>(bitsPerPixel));
    out.U32(kBiRgb);
    out.U32(static_cast<std::uint32_t>(pixels));
    out.I32(0);  // no resolution stated, as the system's own screen bitmaps
    out.I32(0);
    out.U32(0);  // no colour table
    out.U32(0);
    return headers;
}

}  // namespace core
