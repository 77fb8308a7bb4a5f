#include "core/settings_values.hpp"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace core {

namespace {

constexpr std::int32_t kTerminalIndex = 2;
constexpr int kSmallestSizeIndex = kSmallestZoomPoints - kSmallestPoints;
constexpr int kLargestSizeIndex = kLargestZoomPoints - kSmallestPoints;
constexpr int kFallbackPoints = 9;
constexpr int kPointsPerInch = 72;

}  // namespace

std::string FontNameFromIndex(std::int32_t index) {
    if (index < 0 || index >= kTerminalIndex) return std::string(kFontFaces[kTerminalIndex]);
    return std::string(kFontFaces[static_cast<std::size_t>(index)]);
}

std::optional<std::int32_t> FontIndexFromName(std::string_view name) {
    for (std::size_t i = 0; i < kFontFaces.size(); ++i)
        if (kFontFaces[i] == name) return static_cast<std::int32_t>(i);
    return std::nullopt;
}

int PointSizeFromIndex(std::int32_t index) {
    if (index < kSmallestSizeIndex || index > kLargestSizeIndex) return kFallbackPoints;
    return kSmallestPoints + index;
}

int ChosenPointSize(std::optional<std::int32_t> stored, int shownPoints) {
    const auto listed = [](std::int64_t points) { return points >= kSmallestPoints && points <= kLargestPoints; };
    if (stored && listed(std::int64_t{*stored} + kSmallestPoints)) return kSmallestPoints + *stored;
    return listed(shownPoints) ? shownPoints : kFallbackPoints;
}

int ZoomedPoints(int points, int steps) {
    int at = std::clamp(points, kSmallestZoomPoints, kLargestZoomPoints);
    for (; steps > 0; --steps) {
        const auto next = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), at);
        if (next == kZoomSteps.end()) break;
        at = *next;
    }
    for (; steps < 0; ++steps) {
        const auto next = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), at);
        if (next == kZoomSteps.begin()) break;
        at = *(next - 1);
    }
    return at;
}

int MulDivRound(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    const std::int64_t divisor = denominator;
    const bool negative = (product < 0) != (divisor < 0);
    const std::int64_t magnitude = (std::llabs(product) + std::llabs(divisor) / 2) / std::llabs(divisor);
    const std::int64_t result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min()) return -1;
    return static_cast<int>(result);
}

int FontHeightFromPoints(int points, int pixelsPerInch) {
    return -MulDivRound(points, pixelsPerInch, kPointsPerInch);
}

int PointsFromFontHeight(int height, int pixelsPerInch) {
    return -MulDivRound(height, kPointsPerInch, pixelsPerInch);
}

int CentredOrigin(int screenExtent, int windowExtent) {
    // 64-bit so that extreme extents cannot overflow; the half always fits back in 32 bits.
    return static_cast<int>((static_cast<std::int64_t>(screenExtent) - windowExtent) / 2);
}

}  // namespace core
