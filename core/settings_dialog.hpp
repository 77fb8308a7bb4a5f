#pragma once
// What the settings dialog shows and where, without a window: the named colours of its two
// pickers, how an entry's swatch is drawn, and where the dialog first appears.
#include <array>
#include <cstdint>
#include <optional>

namespace core {

struct NamedColour {
    const char* name;
    std::int32_t value;  // 0x00BBGGRR
};

inline constexpr std::array<NamedColour, 20> kNamedColours = {{
    {"Black", 0x000000},  {"Maroon", 0x000080},      {"Green", 0x008000},    {"Olive", 0x008080},
    {"Navy", 0x800000},   {"Purple", 0x800080},      {"Teal", 0x808000},     {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},         {"Lime", 0x00FF00},     {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},   {"Fuchsia", 0xFF00FF},     {"Aqua", 0xFFFF00},     {"White", 0xFFFFFF},
    {"Money Green", 0xC0DCC0}, {"Sky Blue", 0xF0CAA6}, {"Cream", 0xF0FBFF}, {"Medium Gray", 0xA4A0A0},
}};

// The entry holding exactly this value; nullopt for any other colour (system colours included).
std::optional<int> NamedColourIndex(std::int32_t value);

// Pairs of the named colours the context menu offers, text on background; the dialog shows
// whichever was chosen last.
struct ColourPreset {
    const char* name;
    std::int32_t text;
    std::int32_t back;
};

inline constexpr std::array<ColourPreset, 5> kColourPresets = {{
    {"Black on White", 0x000000, 0xFFFFFF},
    {"Light Grey on Black (DOS)", 0xC0C0C0, 0x000000},
    {"White on Navy", 0xFFFFFF, 0x800000},
    {"Yellow on Black", 0x00FFFF, 0x000000},
    {"Lime on Black", 0x00FF00, 0x000000},
}};

// Whether an RGB colour (0x00BBGGRR) reads as dark: its luma below half, as a dark window frame
// would suit it.
bool IsDarkColour(std::uint32_t rgb);

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

enum class SwatchFrame {
    Black,   // a light colour: any component above 192
    White,   // a dark colour in the highlighted entry
    Colour,  // a dark colour otherwise: the frame vanishes into the fill
};

SwatchFrame SwatchFrameFor(std::int32_t colour, bool highlighted);

struct SwatchLayout {
    Rect swatch;   // a square as tall as the entry, inset by one pixel
    int textLeft;  // the name starts this far right
};

SwatchLayout LayOutSwatch(const Rect& entry);

}  // namespace core
