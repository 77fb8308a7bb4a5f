#pragma once
// How the stored setting numbers map onto what the text view shows, and the font height
// arithmetic the view's font is created with.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace core {

// The faces the view may use, in the order of their stored index; compared exactly.
inline constexpr std::array<std::string_view, 3> kFontFaces = {"Courier New", "Lucida Console", "Terminal"};
// The sizes the view may use, in points.
inline constexpr int kSmallestPoints = 8;
inline constexpr int kLargestPoints = 12;

struct FontChoice {
    std::string_view face;
    int points;
};
// The view's font until the settings are applied.
inline constexpr FontChoice kStartViewFont{"Terminal", 9};
// The main window's own font, which its tool bar captions are drawn in.
inline constexpr FontChoice kWindowFont{"Tahoma", 8};

// Font index as stored under "Font": 0 "Courier New", 1 "Lucida Console", anything else "Terminal".
std::string FontNameFromIndex(std::int32_t index);

// The stored index of a face name; exact, case-sensitive. nullopt for any other face.
std::optional<std::int32_t> FontIndexFromName(std::string_view name);

// "FontSize" holds points - 8; 0..4 give 8..12 points, anything else falls back to 9.
int PointSizeFromIndex(std::int32_t index);

// number * numerator / denominator with a 64-bit intermediate, rounded half away from zero,
// as Windows' MulDiv: -1 when the denominator is 0 or the result does not fit in 32 bits.
int MulDivRound(int number, int numerator, int denominator);

// A font of p points is asked for by the negative pixel height -MulDiv(p, ppi, 72).
int FontHeightFromPoints(int points, int pixelsPerInch);
int PointsFromFontHeight(int height, int pixelsPerInch);

// Origin that centres a window extent on a screen extent, halving toward zero as the stored
// defaults always have: (screen - window) / 2, so -5 gives -2.
int CentredOrigin(int screenExtent, int windowExtent);

}  // namespace core
