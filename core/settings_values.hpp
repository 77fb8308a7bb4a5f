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
// The sizes the settings dialog offers, in points.
inline constexpr int kSmallestPoints = 8;
inline constexpr int kLargestPoints = 12;
// The sizes zoom reaches, in points; the dialog's lie among them.
inline constexpr int kSmallestZoomPoints = 6;
inline constexpr int kLargestZoomPoints = 48;
inline constexpr std::array<int, 19> kZoomSteps = {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 28, 32, 36, 40, 44, 48};

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

// "FontSize" holds the shown size as points - 8: -2..40 give 6..48 points (the dialog's 8..12 are
// 0..4, as they always were), anything else falls back to 9.
int PointSizeFromIndex(std::int32_t index);

// "ChosenFontSize" holds the size last chosen in the settings dialog, which Ctrl+0 returns to, as
// points - 8. Settings from before zoom lack it: then, and for any value outside the dialog's
// list, the shown size when the list holds it, else 9.
int ChosenPointSize(std::optional<std::int32_t> stored, int shownPoints);

// The zoom step `steps` steps larger (or smaller, negative) than `points`, which need not be a
// step itself; never beyond 6 and 48.
int ZoomedPoints(int points, int steps);

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
