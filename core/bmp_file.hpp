#pragma once
// The Windows bitmap file: a 14-byte file header ("BM") and a 40-byte info header, uncompressed,
// rows bottom-up, each padded to a multiple of 4 bytes. Only direct-colour depths (16, 24 and 32
// bits per pixel), which need no colour table, so the pixels always start at byte 54.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace core {

constexpr std::size_t kBmpHeadersSize = 14 + 40;

bool BmpDepthSupported(int bitsPerPixel);

// Bytes of one stored row: width pixels at the depth, rounded up to a multiple of 4.
std::size_t BmpRowStride(int width, int bitsPerPixel);

// Bytes of the pixel data: stride x height.
std::size_t BmpPixelBytes(int width, int height, int bitsPerPixel);

// Both headers for a bottom-up picture whose pixel data follows them directly; nullopt for a
// negative size, an unsupported depth, or a file that would not fit the format's 32-bit sizes.
// A picture without pixels (width or height 0) is the headers alone.
std::optional<std::array<std::uint8_t, kBmpHeadersSize>> BmpHeaders(int width, int height, int bitsPerPixel);

}  // namespace core
