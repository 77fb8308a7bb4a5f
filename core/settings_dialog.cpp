#include "core/settings_dialog.hpp"

#include <algorithm>

namespace core {

namespace {

constexpr int kLightComponent = 192;
constexpr int kTextGap = 5;

int Component(std::int32_t colour, int shift) { return (colour >> shift) & 0xFF; }

int Halved(std::int64_t extent) { return static_cast<int>(extent / 2); }  // toward zero

}  // namespace

std::optional<int> NamedColourIndex(std::int32_t value) {
    for (std::size_t i = 0; i < kNamedColours.size(); ++i)
        if (kNamedColours[i].value == value) return static_cast<int>(i);
    return std::nullopt;
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

Point CentredDialogOrigin(const Rect& owner, int dialogWidth, int dialogHeight, Point desktopOrigin) {
    const std::int64_t ownerWidth = static_cast<std::int64_t>(owner.right) - owner.left;
    const std::int64_t ownerHeight = static_cast<std::int64_t>(owner.bottom) - owner.top;
    const int left = static_cast<int>(owner.left + static_cast<std::int64_t>(Halved(ownerWidth - dialogWidth)));
    const int top = static_cast<int>(owner.top + static_cast<std::int64_t>(Halved(ownerHeight - dialogHeight)));
    return Point{std::max(left, desktopOrigin.x), std::max(top, desktopOrigin.y)};
}

}  // namespace core
