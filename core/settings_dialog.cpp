#include "core/settings_dialog.hpp"

#include <algorithm>

namespace core {

namespace {

constexpr int kLightComponent = 192;
constexpr int kTextGap = 5;

int Component(std::int32_t colour, int shift) { return (colour >> shift) & 0xFF; }


}  // namespace

std::optional<int> NamedColourIndex(std::int32_t value) {
    for (std::size_t i = 0; i < kNamedColours.size(); ++i)
        if (kNamedColours[i].value == value) return static_cast<int>(i);
    return std::nullopt;
}

bool IsDarkColour(std::uint32_t rgb) {
    const auto c = [rgb](int shift) { return static_cast<int>((rgb >> shift) & 0xFF); };
    // Rec. 601 weights, in thousandths.
    return c(0) * 299 + c(8) * 587 + c(16) * 114 < 128 * 1000;
}

SwatchFrame SwatchFrameFor(std::int32_t colour, bool highlighted) {
    const bool light = Component(colour, 0) > kLightComponent || Component(colour, 8) > kLightComponent ||
                       Component(colour, 16) > kLightComponent;
    if (light) return SwatchFrame::Black;
    return highlighted ? SwatchFrame::White : SwatchFrame::Colour;
}

SwatchLayout LayOutSwatch(const Rect& entry) {
    const int side = entry.bottom - entry.top;
    const Rect swatch{entry.left + 1, entry.top + 1, entry.left + side - 1, entry.bottom - 1};
    return SwatchLayout{swatch, swatch.right + kTextGap};
}


}  // namespace core
