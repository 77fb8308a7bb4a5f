#pragma once
// Line and block art as shapes on the cell grid rather than as the font's glyphs: the box-drawing
// characters of code page 437 (single, double and the mixed forms), the block elements and the
// three shades. TrueType faces draw these glyphs a little short of their cells, so runs of them
// show seams; laid out here as rectangles in whole pixels of the cell, neighbouring cells meet
// exactly in every face and at every size. Anything that draws text (the view, a picture, a
// vector writer) asks ShapeOf for a glyph and lays the shape out at its own cell size.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace core {

enum class Stroke : std::uint8_t { None, Single, Double };

// The four arms of a box-drawing character, each reaching from the cell's centre to one edge.
struct BoxArms {
    Stroke left = Stroke::None;
    Stroke right = Stroke::None;
    Stroke up = Stroke::None;
    Stroke down = Stroke::None;
    bool operator==(const BoxArms&) const = default;
};

// Solid ink, or one of the DOS dot patterns (25%, 50% and 75% of the dots inked).
enum class Fill : std::uint8_t { Solid, Light, Medium, Dark };

// The parts of the cell the block elements fill.
enum class BlockPart : std::uint8_t { Full, UpperHalf, LowerHalf, LeftHalf, RightHalf, Square };

enum class ShapeKind : std::uint8_t { Box, Block, Shade };

struct ShapeSpec {
    ShapeKind kind = ShapeKind::Box;
    BoxArms arms;                       // Box
    BlockPart part = BlockPart::Full;   // Block
    Fill fill = Fill::Solid;            // Shade: its pattern; Solid for the others
};

// The shape a glyph (as the code page 437 map gives it) is drawn as; nullopt for every glyph the
// font draws. Only U+2500-U+25A0 can be shapes.
std::optional<ShapeSpec> ShapeOf(char16_t glyph);
inline bool MayBeShape(char16_t glyph) { return glyph >= 0x2500 && glyph <= 0x25A0; }

struct CellBox {
    int width = 0;
    int height = 0;
};

// A rectangle [left, right) x [top, bottom) in pixels, filled solid or with a shade's dots.
struct ShapeRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    Fill fill = Fill::Solid;
    bool operator==(const ShapeRect&) const = default;
};

// Line thickness: a sixteenth of the cell's height, rounded up: 1 pixel up to the DOS cell's
// 16 pixels, 2 from 17, 3 from 33. The shades' dots are as large.
int StrokeWidth(CellBox cell);

// At most ten rectangles make one shape (a double cross: eight strokes).
struct CellShape {
    static constexpr int kMaxRects = 10;
    ShapeRect rects[kMaxRects];
    int count = 0;
};

// The rectangles of `shape` in a cell of `cell`'s size, from the cell's top-left corner; all lie
// inside the cell. A shade is one rectangle over the whole cell with its fill.
CellShape LayOutShape(const ShapeSpec& shape, CellBox cell);

// Whether a shade's dot pattern inks the pixel at (x, y), counted from the pattern's origin. The
// pattern repeats every 4 dots across and 2 down (the light and dark shades; the medium one every
// 2 by 2) and is anchored to the text, not to the cell, so it runs on unbroken from cell to cell
// whatever the cell's size. Solid inks every pixel.
bool ShadeInked(Fill fill, long long x, long long y, int dot);
constexpr int kShadeTileDots[2] = {4, 2};  // across, down: one tile holds every pattern

// The shapes of a run of cells, merged where a cell continues its left neighbour's rectangles, so
// a run of '═' is two rectangles and a run of '█' one, however long. Cells are added left to right.
class ShapeStrip {
public:
    void Clear();
    // The shape of the cell whose top-left corner is (left, top), cells `cell` in size.
    void Add(const ShapeSpec& shape, CellBox cell, int left, int top);
    const std::vector<ShapeRect>& Rects() const { return rects_; }

private:
    std::optional<std::size_t> MergeTarget(const ShapeRect& r) const;

    std::vector<ShapeRect> rects_;
    std::vector<std::size_t> previous_;  // the rectangles the last added cell ends in
    std::vector<std::size_t> current_;
};

}  // namespace core
