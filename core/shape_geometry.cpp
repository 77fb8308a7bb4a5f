#include "core/shape_geometry.hpp"

#include <algorithm>
#include <array>

namespace core {
namespace {

constexpr Stroke _ = Stroke::None;
constexpr Stroke S = Stroke::Single;
constexpr Stroke D = Stroke::Double;

struct BoxGlyph {
    char16_t glyph;
    BoxArms arms;  // left, right, up, down
};

// The box-drawing characters of code page 437 (0xB3-0xDA), as their Unicode names describe them.
constexpr BoxGlyph kBoxGlyphs[] = {
    {u'\u2500', {S, S, _, _}}, {u'\u2502', {_, _, S, S}}, {u'\u250C', {_, S, _, S}}, {u'\u2510', {S, _, _, S}},
    {u'\u2514', {_, S, S, _}}, {u'\u2518', {S, _, S, _}}, {u'\u251C', {_, S, S, S}}, {u'\u2524', {S, _, S, S}},
    {u'\u252C', {S, S, _, S}}, {u'\u2534', {S, S, S, _}}, {u'\u253C', {S, S, S, S}}, {u'\u2550', {D, D, _, _}},
    {u'\u2551', {_, _, D, D}}, {u'\u2552', {_, D, _, S}}, {u'\u2553', {_, S, _, D}}, {u'\u2554', {_, D, _, D}},
    {u'\u2555', {D, _, _, S}}, {u'\u2556', {S, _, _, D}}, {u'\u2557', {D, _, _, D}}, {u'\u2558', {_, D, S, _}},
    {u'\u2559', {_, S, D, _}}, {u'\u255A', {_, D, D, _}}, {u'\u255B', {D, _, S, _}}, {u'\u255C', {S, _, D, _}},
    {u'\u255D', {D, _, D, _}}, {u'\u255E', {_, D, S, S}}, {u'\u255F', {_, S, D, D}}, {u'\u2560', {_, D, D, D}},
    {u'\u2561', {D, _, S, S}}, {u'\u2562', {S, _, D, D}}, {u'\u2563', {D, _, D, D}}, {u'\u2564', {D, D, _, S}},
    {u'\u2565', {S, S, _, D}}, {u'\u2566', {D, D, _, D}}, {u'\u2567', {D, D, S, _}}, {u'\u2568', {S, S, D, _}},
    {u'\u2569', {D, D, D, _}}, {u'\u256A', {D, D, S, S}}, {u'\u256B', {S, S, D, D}}, {u'\u256C', {D, D, D, D}},
};

struct OtherGlyph {
    char16_t glyph;
    ShapeSpec shape;
};

constexpr ShapeSpec Block(BlockPart part) { return ShapeSpec{ShapeKind::Block, {}, part, Fill::Solid}; }
constexpr ShapeSpec Shade(Fill fill) { return ShapeSpec{ShapeKind::Shade, {}, BlockPart::Full, fill}; }

constexpr OtherGlyph kOtherGlyphs[] = {
    {u'\u2580', Block(BlockPart::UpperHalf)}, {u'\u2584', Block(BlockPart::LowerHalf)},
    {u'\u2588', Block(BlockPart::Full)},      {u'\u258C', Block(BlockPart::LeftHalf)},
    {u'\u2590', Block(BlockPart::RightHalf)}, {u'\u25A0', Block(BlockPart::Square)},
    {u'\u2591', Shade(Fill::Light)},          {u'\u2592', Shade(Fill::Medium)},
    {u'\u2593', Shade(Fill::Dark)},
};

constexpr std::size_t kTableSize = 0x25A0 - 0x2500 + 1;

// Indexed by glyph - U+2500, so the painter's look-up is one load.
constexpr auto kShapes = [] {
    std::array<std::optional<ShapeSpec>, kTableSize> table{};
    for (const BoxGlyph& box : kBoxGlyphs) table[box.glyph - 0x2500] = ShapeSpec{ShapeKind::Box, box.arms};
    for (const OtherGlyph& other : kOtherGlyphs) table[other.glyph - 0x2500] = other.shape;
    return table;
}();

// Where the strokes stand across one axis of the cell: a single line fills [nearHi, farLo), a
// double line's two strokes [nearLo, nearHi) and [farLo, farHi), with a gap as wide as a stroke.
struct Bands {
    int nearLo;
    int nearHi;
    int farLo;
    int farHi;
};

Bands BandsOf(int extent, int thickness) {
    int t = thickness;
    while (t > 1 && 3 * t > extent) --t;  // a double line must fit with its gap
    const int s = (extent - t) / 2;
    const auto inside = [extent](int v) { return std::clamp(v, 0, std::max(extent, 0)); };
    return Bands{inside(s - t), inside(s), inside(s + t), inside(s + 2 * t)};
}

// How far an arm runs from its edge: to the centre (through a single perpendicular line, or
// across the gap of a double one it crosses), to the near stroke of a double perpendicular line,
// or across both of its strokes (the outer stroke of a double corner, or a single line that a
// double one turns into).
enum class Reach { Centre, Near, Far };

struct Extent {
    int lo;
    int hi;
};

Extent AlongArm(Reach reach, bool fromStart, const Bands& b, int extent) {
    if (fromStart) {
        switch (reach) {
        case Reach::Centre: return {0, b.farLo};
        case Reach::Near: return {0, b.nearHi};
        case Reach::Far: return {0, b.farHi};
        }
    }
    switch (reach) {
    case Reach::Centre: return {b.nearHi, extent};
    case Reach::Near: return {b.farLo, extent};
    case Reach::Far: return {b.nearLo, extent};
    }
    return {0, 0};
}

void Push(CellShape& out, int left, int top, int right, int bottom, Fill fill = Fill::Solid) {
    if (left >= right || top >= bottom || out.count == CellShape::kMaxRects) return;
    out.rects[out.count++] = ShapeRect{left, top, right, bottom, fill};
}

// One arm of a box character. `perpBefore`/`perpAfter` are the arms across it (up and down for a
// horizontal arm, left and right for a vertical one); `opposite` is the arm it lines up with.
struct Arm {
    Stroke stroke;
    bool fromStart;  // the left or top edge
    Stroke opposite;
    Stroke perpBefore;
    Stroke perpAfter;
};

void AddArm(CellShape& out, const Arm& arm, bool horizontal, const Bands& along, int alongExtent, const Bands& across) {
    if (arm.stroke == Stroke::None) return;
    const auto put = [&](Extent band, Reach reach) {
        const Extent a = AlongArm(reach, arm.fromStart, along, alongExtent);
        if (horizontal)
            Push(out, a.lo, band.lo, a.hi, band.hi);
        else
            Push(out, band.lo, a.lo, band.hi, a.hi);
    };
    const Stroke perpendicular = std::max(arm.perpBefore, arm.perpAfter);
    const bool perpendicularGoesOn = arm.perpBefore != Stroke::None && arm.perpAfter != Stroke::None;
    const Extent single{across.nearHi, across.farLo};
    const Extent nearStroke{across.nearLo, across.nearHi};
    const Extent farStroke{across.farLo, across.farHi};
    if (arm.stroke == Stroke::Single) {
        Reach reach = Reach::Centre;
        if (perpendicular == Stroke::Double)  // crossing a double line, ending at it, or turning into it
            reach = perpendicularGoesOn ? (arm.opposite == Stroke::Single ? Reach::Centre : Reach::Near) : Reach::Far;
        put(single, reach);
        return;
    }
    if (perpendicular != Stroke::Double) {
        put(nearStroke, Reach::Centre);
        put(farStroke, Reach::Centre);
    } else if (perpendicularGoesOn) {  // a double T from the side, or a double cross: each stroke turns
        put(nearStroke, Reach::Near);
        put(farStroke, Reach::Near);
    } else {  // a double corner or T: the stroke on the perpendicular's side is the inner one
        const bool farIsInner = arm.perpAfter != Stroke::None;
        put(nearStroke, farIsInner ? Reach::Far : Reach::Near);
        put(farStroke, farIsInner ? Reach::Near : Reach::Far);
    }
}

CellShape LayOutBox(const BoxArms& arms, CellBox cell) {
    CellShape out;
    const int t = StrokeWidth(cell);
    const Bands xs = BandsOf(cell.width, t);
    const Bands ys = BandsOf(cell.height, t);
    AddArm(out, {arms.left, true, arms.right, arms.up, arms.down}, true, xs, cell.width, ys);
    AddArm(out, {arms.right, false, arms.left, arms.up, arms.down}, true, xs, cell.width, ys);
    AddArm(out, {arms.up, true, arms.down, arms.left, arms.right}, false, ys, cell.height, xs);
    AddArm(out, {arms.down, false, arms.up, arms.left, arms.right}, false, ys, cell.height, xs);
    return out;
}

CellShape LayOutBlock(BlockPart part, CellBox cell) {
    CellShape out;
    const int w = cell.width;
    const int h = cell.height;
    switch (part) {
    case BlockPart::Full: Push(out, 0, 0, w, h); break;
    case BlockPart::UpperHalf: Push(out, 0, 0, w, h / 2); break;
    case BlockPart::LowerHalf: Push(out, 0, h / 2, w, h); break;
    case BlockPart::LeftHalf: Push(out, 0, 0, w / 2, h); break;
    case BlockPart::RightHalf: Push(out, w / 2, 0, w, h); break;
    // As the VGA font draws it in its 8 x 16 cell: columns 1-5, rows 4-10.
    case BlockPart::Square: Push(out, (w + 4) / 8, (h + 2) / 4, (w * 6 + 4) / 8, (h * 11 + 8) / 16); break;
    }
    return out;
}

long long FloorDiv(long long value, int by) {
    const long long q = value / by;
    return (value % by != 0 && value < 0) ? q - 1 : q;
}

// Reaching from `c`'s edge to `r`'s, without a gap, in the other direction's band.
bool ExtendsAcross(const ShapeRect& c, const ShapeRect& r) {
    return c.top == r.top && c.bottom == r.bottom && c.left <= r.left && r.left <= c.right;
}
bool ExtendsDown(const ShapeRect& c, const ShapeRect& r) {
    return c.left == r.left && c.right == r.right && c.top <= r.top && r.top <= c.bottom;
}

}  // namespace

std::optional<ShapeSpec> ShapeOf(char16_t glyph) {
    if (!MayBeShape(glyph)) return std::nullopt;
    return kShapes[glyph - 0x2500];
}

int StrokeWidth(CellBox cell) { return std::max(1, (cell.height + 15) / 16); }

CellShape LayOutShape(const ShapeSpec& shape, CellBox cell) {
    if (cell.width <= 0 || cell.height <= 0) return CellShape{};
    switch (shape.kind) {
    case ShapeKind::Box: return LayOutBox(shape.arms, cell);
    case ShapeKind::Block: return LayOutBlock(shape.part, cell);
    case ShapeKind::Shade: {
        CellShape out;
        Push(out, 0, 0, cell.width, cell.height, shape.fill);
        return out;
    }
    }
    return CellShape{};
}

// The dots of the VGA font's shades: 0x22/0x88, 0x55/0xAA and 0xDD/0x77 on alternate rows.
bool ShadeInked(Fill fill, long long x, long long y, int dot) {
    const int size = std::max(dot, 1);
    const long long dx = FloorDiv(x, size);
    const long long dy = FloorDiv(y, size);
    const bool light = ((dx + 2 * (dy & 1)) & 3) == 2;
    switch (fill) {
    case Fill::Solid: return true;
    case Fill::Light: return light;
    case Fill::Medium: return ((dx + dy) & 1) == 1;
    case Fill::Dark: return !light;
    }
    return false;
}

void ShapeStrip::Clear() {
    rects_.clear();
    previous_.clear();
    current_.clear();
}

void ShapeStrip::Add(const ShapeSpec& shape, CellBox cell, int left, int top) {
    const CellShape laid = LayOutShape(shape, cell);
    current_.clear();
    for (int i = 0; i < laid.count; ++i) {
        const ShapeRect& at = laid.rects[i];
        const ShapeRect r{at.left + left, at.top + top, at.right + left, at.bottom + top, at.fill};
        const std::optional<std::size_t> into = MergeTarget(r);
        if (!into) {
            current_.push_back(rects_.size());
            rects_.push_back(r);
            continue;
        }
        ShapeRect& c = rects_[*into];
        if (ExtendsAcross(c, r))
            c.right = std::max(c.right, r.right);
        else
            c.bottom = std::max(c.bottom, r.bottom);
        if (std::find(current_.begin(), current_.end(), *into) == current_.end()) current_.push_back(*into);
    }
    previous_.swap(current_);
}

// Only this cell's rectangles and those the cell to its left ended in can touch a new one.
std::optional<std::size_t> ShapeStrip::MergeTarget(const ShapeRect& r) const {
    for (const auto* list : {&current_, &previous_})
        for (const std::size_t index : *list) {
            const ShapeRect& c = rects_[index];
            if (c.fill == r.fill && (ExtendsAcross(c, r) || ExtendsDown(c, r))) return index;
        }
    return std::nullopt;
}

}  // namespace core
