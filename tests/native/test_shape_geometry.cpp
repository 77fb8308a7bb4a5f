#include "core/shape_geometry.hpp"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <sstream>
#include <string>
#include <vector>

#include "core/cp437.hpp"

namespace {

using core::CellBox;
using core::Stroke;

// Cell sizes of every parity, from a tiny face to a 48-point cell at 144 dpi.
const CellBox kSizes[] = {{3, 5}, {4, 8}, {5, 9}, {7, 12}, {8, 16}, {9, 18}, {10, 19},
                          {11, 24}, {12, 25}, {16, 32}, {10, 37}, {24, 48}, {29, 72}};

// Pixels of a strip of cells, inked or not.
class Raster {
public:
    Raster(int width, int height) : width_(width), height_(height), ink_(static_cast<std::size_t>(width * height)) {}
    void Fill(core::ShapeRect r, int dx = 0, int dy = 0) {
        r.left += dx, r.right += dx, r.top += dy, r.bottom += dy;
        ASSERT_GE(r.left, 0);
        ASSERT_GE(r.top, 0);
        ASSERT_LE(r.right, width_);
        ASSERT_LE(r.bottom, height_);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) ink_[Index(x, y)] = true;
    }
    void Fill(const core::CellShape& shape) {
        for (int i = 0; i < shape.count; ++i) Fill(shape.rects[i]);
    }
    bool At(int x, int y) const { return ink_[Index(x, y)]; }
    bool operator==(const Raster&) const = default;
    // The inked stretches along a column or a row, as a text: "3-4 7-8".
    std::string Column(int x) const { return Runs(height_, [&](int i) { return At(x, i); }); }
    std::string Row(int y) const { return Runs(width_, [&](int i) { return At(i, y); }); }
    int Count() const {
        int n = 0;
        for (const bool b : ink_) n += b;
        return n;
    }
    // The inked areas that do not touch one another (4-neighbourhood).
    int Components() const {
        std::vector<bool> seen(ink_.size());
        int count = 0;
        for (int start = 0; start < width_ * height_; ++start) {
            if (!ink_[static_cast<std::size_t>(start)] || seen[static_cast<std::size_t>(start)]) continue;
            ++count;
            std::vector<int> todo{start};
            seen[static_cast<std::size_t>(start)] = true;
            while (!todo.empty()) {
                const int at = todo.back();
                todo.pop_back();
                const int x = at % width_, y = at / width_;
                const int next[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
                for (const auto& n : next) {
                    if (n[0] < 0 || n[1] < 0 || n[0] >= width_ || n[1] >= height_) continue;
                    const auto i = Index(n[0], n[1]);
                    if (ink_[i] && !seen[i]) {
                        seen[i] = true;
                        todo.push_back(static_cast<int>(i));
                    }
                }
            }
        }
        return count;
    }

private:
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y * width_ + x); }
    template <typename F>
    static std::string Runs(int n, F inked) {
        std::ostringstream out;
        for (int i = 0; i < n;) {
            if (!inked(i)) { ++i; continue; }
            int j = i;
            while (j < n && inked(j)) ++j;
            out << (out.tellp() > 0 ? " " : "") << i << '-' << j - 1;
            i = j;
        }
        return out.str();
    }
    int width_, height_;
    std::vector<bool> ink_;
};

Raster Draw(char16_t glyph, CellBox cell) {
    Raster raster(cell.width, cell.height);
    if (const auto shape = core::ShapeOf(glyph)) raster.Fill(core::LayOutShape(*shape, cell));
    return raster;
}

int Segments(const std::string& runs) {
    if (runs.empty()) return 0;
    return 1 + static_cast<int>(std::count(runs.begin(), runs.end(), ' '));
}

// The arms of a box character read from its Unicode name, so the shapes are checked against a
// source other than their own table.
core::BoxArms ArmsFromName(const std::string& name) {
    std::istringstream words(name);
    std::string word;
    core::BoxArms arms;
    Stroke fallback = Stroke::Single;
    std::vector<Stroke*> pending;
    const auto settle = [&](Stroke stroke) {
        for (Stroke* arm : pending) *arm = stroke;
        pending.clear();
    };
    while (words >> word) {
        if (word == "LIGHT") fallback = Stroke::Single;
        else if (word == "DOUBLE" && pending.empty()) fallback = Stroke::Double;
        else if (word == "SINGLE" || word == "DOUBLE") settle(word == "SINGLE" ? Stroke::Single : Stroke::Double);
        else if (word == "AND") settle(fallback);
        else if (word == "UP") pending.push_back(&arms.up);
        else if (word == "DOWN") pending.push_back(&arms.down);
        else if (word == "LEFT") pending.push_back(&arms.left);
        else if (word == "RIGHT") pending.push_back(&arms.right);
        else if (word == "VERTICAL") pending.insert(pending.end(), {&arms.up, &arms.down});
        else if (word == "HORIZONTAL") pending.insert(pending.end(), {&arms.left, &arms.right});
    }
    settle(fallback);
    return arms;
}

const std::map<unsigned char, std::string> kBoxNames = {
    {0xB3, "LIGHT VERTICAL"}, {0xB4, "LIGHT VERTICAL AND LEFT"}, {0xB5, "VERTICAL SINGLE AND LEFT DOUBLE"},
    {0xB6, "VERTICAL DOUBLE AND LEFT SINGLE"}, {0xB7, "DOWN DOUBLE AND LEFT SINGLE"},
    {0xB8, "DOWN SINGLE AND LEFT DOUBLE"}, {0xB9, "DOUBLE VERTICAL AND LEFT"}, {0xBA, "DOUBLE VERTICAL"},
    {0xBB, "DOUBLE DOWN AND LEFT"}, {0xBC, "DOUBLE UP AND LEFT"}, {0xBD, "UP DOUBLE AND LEFT SINGLE"},
    {0xBE, "UP SINGLE AND LEFT DOUBLE"}, {0xBF, "LIGHT DOWN AND LEFT"}, {0xC0, "LIGHT UP AND RIGHT"},
    {0xC1, "LIGHT UP AND HORIZONTAL"}, {0xC2, "LIGHT DOWN AND HORIZONTAL"}, {0xC3, "LIGHT VERTICAL AND RIGHT"},
    {0xC4, "LIGHT HORIZONTAL"}, {0xC5, "LIGHT VERTICAL AND HORIZONTAL"}, {0xC6, "VERTICAL SINGLE AND RIGHT DOUBLE"},
    {0xC7, "VERTICAL DOUBLE AND RIGHT SINGLE"}, {0xC8, "DOUBLE UP AND RIGHT"}, {0xC9, "DOUBLE DOWN AND RIGHT"},
    {0xCA, "DOUBLE UP AND HORIZONTAL"}, {0xCB, "DOUBLE DOWN AND HORIZONTAL"}, {0xCC, "DOUBLE VERTICAL AND RIGHT"},
    {0xCD, "DOUBLE HORIZONTAL"}, {0xCE, "DOUBLE VERTICAL AND HORIZONTAL"},
    {0xCF, "UP SINGLE AND HORIZONTAL DOUBLE"}, {0xD0, "UP DOUBLE AND HORIZONTAL SINGLE"},
    {0xD1, "DOWN SINGLE AND HORIZONTAL DOUBLE"}, {0xD2, "DOWN DOUBLE AND HORIZONTAL SINGLE"},
    {0xD3, "UP DOUBLE AND RIGHT SINGLE"}, {0xD4, "UP SINGLE AND RIGHT DOUBLE"}, {0xD5, "DOWN SINGLE AND RIGHT DOUBLE"},
    {0xD6, "DOWN DOUBLE AND RIGHT SINGLE"}, {0xD7, "VERTICAL DOUBLE AND HORIZONTAL SINGLE"},
    {0xD8, "VERTICAL SINGLE AND HORIZONTAL DOUBLE"}, {0xD9, "LIGHT UP AND LEFT"}, {0xDA, "LIGHT DOWN AND RIGHT"},
};

std::vector<char16_t> BoxGlyphs() {
    std::vector<char16_t> glyphs;
    for (int byte = 0xB3; byte <= 0xDA; ++byte) glyphs.push_back(core::Cp437Glyph(static_cast<unsigned char>(byte)));
    return glyphs;
}

core::BoxArms ArmsOf(char16_t glyph) { return core::ShapeOf(glyph)->arms; }

// A cell with room beside a double line: in a narrower one its strokes are the cell's edges, so
// an edge column shows them whatever arms leave there.
bool Roomy(CellBox cell) {
    const int t = core::StrokeWidth(cell);
    return cell.width >= 3 * t + 2 && cell.height >= 3 * t + 2;
}

int StrokesOf(Stroke stroke) { return stroke == Stroke::Double ? 2 : stroke == Stroke::Single ? 1 : 0; }

}  // namespace

TEST(ShapeGeometry, OnlyLineAndBlockArtIsDrawnAsShapes) {
    for (int byte = 0; byte < 256; ++byte) {
        const char16_t glyph = core::Cp437Glyph(static_cast<unsigned char>(byte));
        const bool shape = (byte >= 0xB0 && byte <= 0xDF) || byte == 0xFE;
        EXPECT_EQ(core::ShapeOf(glyph).has_value(), shape) << "byte " << byte;
        if (shape) {
            EXPECT_TRUE(core::MayBeShape(glyph));
        }
    }
    // Neighbours in Unicode that code page 437 lacks, and the PC pictures beside the blocks.
    for (const char16_t glyph : {u'\u2501', u'\u2581', u'\u2589', u'\u25A1', u'\u25D9', u'\u25CB', u'\u2302'})
        EXPECT_FALSE(core::ShapeOf(glyph).has_value()) << static_cast<int>(glyph);
}

// Each arm leaves the cell at its edge with as many strokes as the name says, and an edge with no
// arm is clean, at every size.
TEST(ShapeGeometry, EveryBoxCharacterLeavesItsCellWithTheArmsItsNameGives) {
    for (const auto& [byte, name] : kBoxNames) {
        const char16_t glyph = core::Cp437Glyph(byte);
        const auto shape = core::ShapeOf(glyph);
        ASSERT_TRUE(shape && shape->kind == core::ShapeKind::Box) << name;
        const core::BoxArms expected = ArmsFromName(name);
        EXPECT_EQ(shape->arms, expected) << name;
        for (const CellBox cell : kSizes) {
            if (!Roomy(cell)) continue;
            const Raster r = Draw(glyph, cell);
            const std::string where = name + " in " + std::to_string(cell.width) + "x" + std::to_string(cell.height);
            EXPECT_EQ(Segments(r.Column(0)), StrokesOf(expected.left)) << where;
            EXPECT_EQ(Segments(r.Column(cell.width - 1)), StrokesOf(expected.right)) << where;
            EXPECT_EQ(Segments(r.Row(0)), StrokesOf(expected.up)) << where;
            EXPECT_EQ(Segments(r.Row(cell.height - 1)), StrokesOf(expected.down)) << where;
        }
    }
}

// Two neighbours whose facing arms are of one kind meet pixel for pixel: the last column of the
// left cell is inked exactly where the first column of the right cell is, and so up and down.
TEST(ShapeGeometry, FacingArmsOfNeighbouringCellsMeetWithoutAStep) {
    const std::vector<char16_t> glyphs = BoxGlyphs();
    for (const CellBox cell : kSizes) {
        if (!Roomy(cell)) continue;
        for (const char16_t a : glyphs) {
            const Raster ra = Draw(a, cell);
            for (const char16_t b : glyphs) {
                const Raster rb = Draw(b, cell);
                if (ArmsOf(a).right != Stroke::None && ArmsOf(a).right == ArmsOf(b).left) {
                    EXPECT_EQ(ra.Column(cell.width - 1), rb.Column(0)) << int(a) << " beside " << int(b);
                }
                if (ArmsOf(a).down != Stroke::None && ArmsOf(a).down == ArmsOf(b).up) {
                    EXPECT_EQ(ra.Row(cell.height - 1), rb.Row(0)) << int(a) << " above " << int(b);
                }
            }
        }
    }
}

// Lines join inside the cell: a single line meets whatever it touches, a double line's strokes
// turn their corners, and only the double crossings and corners leave separate pieces.
TEST(ShapeGeometry, StrokesJoinInsideTheCellAsTheGlyphsDraw) {
    const std::map<unsigned char, int> pieces = {
        {0xCD, 2}, {0xBA, 2},                          // ═ ║: two strokes
        {0xC9, 2}, {0xBB, 2}, {0xC8, 2}, {0xBC, 2},    // ╔ ╗ ╚ ╝: an outer and an inner corner
        {0xCC, 3}, {0xB9, 3}, {0xCB, 3}, {0xCA, 3},    // ╠ ╣ ╦ ╩: the straight stroke and two corners
        {0xCE, 4},                                     // ╬: four corners
        {0xB6, 2}, {0xC7, 2}, {0xD1, 2}, {0xCF, 2},    // ╢ ╟ ╤ ╧: a single line ends at the near stroke
    };
    for (int byte = 0xB3; byte <= 0xDA; ++byte) {
        const auto found = pieces.find(static_cast<unsigned char>(byte));
        const int expected = found == pieces.end() ? 1 : found->second;
        for (const CellBox cell : kSizes)
            EXPECT_EQ(Draw(core::Cp437Glyph(static_cast<unsigned char>(byte)), cell).Components(), expected)
                << kBoxNames.at(static_cast<unsigned char>(byte)) << " in " << cell.width << "x" << cell.height;
    }
}

TEST(ShapeGeometry, StrokesThickenWithTheCell) {
    struct Case { int height; int stroke; } cases[] = {
        {1, 1}, {8, 1}, {16, 1}, {17, 2}, {32, 2}, {33, 3}, {72, 5},
    };
    for (const auto& c : cases) EXPECT_EQ(core::StrokeWidth({8, c.height}), c.stroke) << c.height;
}

TEST(ShapeGeometry, BlocksFillTheirPartsAndHalvesCompleteEachOther) {
    for (const CellBox cell : kSizes) {
        const int all = cell.width * cell.height;
        // ▀ ▄ and ▌ ▐: together a full block, and neither overlapping the other.
        for (const auto& [one, other] : {std::pair{u'\u2580', u'\u2584'}, std::pair{u'\u258C', u'\u2590'}}) {
            Raster both(cell.width, cell.height);
            both.Fill(core::LayOutShape(*core::ShapeOf(one), cell));
            both.Fill(core::LayOutShape(*core::ShapeOf(other), cell));
            EXPECT_EQ(both.Count(), all) << int(one);
            EXPECT_EQ(Draw(one, cell).Count() + Draw(other, cell).Count(), all) << int(one);
        }
    }
    // ■ where the VGA font has it in its 8 x 16 cell.
    const Raster square = Draw(u'\u25A0', {8, 16});
    for (int y = 0; y < 16; ++y) EXPECT_EQ(square.Row(y), y >= 4 && y <= 10 ? "1-5" : "") << y;
}

TEST(ShapeGeometry, ShadesAreTheDosDotPatternsAnchoredToTheText) {
    // The rows at one pixel per dot are the VGA font's.
    const auto row = [](core::Fill fill, int y) {
        int bits = 0;
        for (int x = 0; x < 8; ++x) bits = bits << 1 | (core::ShadeInked(fill, x, y, 1) ? 1 : 0);
        return bits;
    };
    struct Level { core::Fill fill; int quarters, even, odd; } levels[] = {
        {core::Fill::Light, 1, 0x22, 0x88}, {core::Fill::Medium, 2, 0x55, 0xAA}, {core::Fill::Dark, 3, 0xDD, 0x77}};
    for (const Level& level : levels) {
        EXPECT_EQ(row(level.fill, 0), level.even);
        EXPECT_EQ(row(level.fill, 1), level.odd);
        for (const int dot : {1, 2, 3}) {
            const int w = core::kShadeTileDots[0] * dot, h = core::kShadeTileDots[1] * dot;
            int inked = 0;
            for (long long y = -h; y < h; ++y)
                for (long long x = -w; x < w; ++x) {
                    const bool here = core::ShadeInked(level.fill, x, y, dot);
                    inked += here;
                    // One tile repeats everywhere, negative coordinates (text scrolled up) included.
                    EXPECT_EQ(here, core::ShadeInked(level.fill, x + w, y, dot));
                    EXPECT_EQ(here, core::ShadeInked(level.fill, x, y + h, dot));
                    EXPECT_EQ(here, core::ShadeInked(level.fill, x + 1000 * w, y - 1000 * h, dot));
                }
            EXPECT_EQ(inked * 4, level.quarters * 4 * w * h) << "dot " << dot;
        }
    }
    // The whole cell is one rectangle with the shade's fill; the pattern is the painter's to lay.
    const core::CellShape shade = core::LayOutShape(*core::ShapeOf(u'\u2592'), {7, 13});
    ASSERT_EQ(shade.count, 1);
    EXPECT_EQ(shade.rects[0], (core::ShapeRect{0, 0, 7, 13, core::Fill::Medium}));
}

TEST(ShapeGeometry, DegenerateCellsDrawNothingOutsideThemselves) {
    for (const CellBox cell : {CellBox{0, 0}, CellBox{1, 1}, CellBox{2, 2}, CellBox{1, 40}, CellBox{40, 1}, CellBox{-3, 8}}) {
        for (int byte = 0xB0; byte <= 0xDF; ++byte) {
            const core::CellShape shape = core::LayOutShape(*core::ShapeOf(core::Cp437Glyph(static_cast<unsigned char>(byte))), cell);
            for (int i = 0; i < shape.count; ++i) {
                const core::ShapeRect& r = shape.rects[i];
                EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom && r.right <= cell.width &&
                            r.bottom <= cell.height)
                    << byte << " in " << cell.width << "x" << cell.height;
            }
        }
    }
}

// A strip inks exactly the pixels of its cells laid out one by one, in far fewer rectangles.
TEST(ShapeStrip, MergesRunsIntoFewRectanglesWithoutChangingAPixel) {
    const CellBox cell{9, 18};
    const auto strip = [&](const std::u16string& glyphs) {
        core::ShapeStrip s;
        for (std::size_t i = 0; i < glyphs.size(); ++i) s.Add(*core::ShapeOf(glyphs[i]), cell, static_cast<int>(i) * cell.width, 4);
        return s;
    };
    // A run of 100 cells of one glyph is as few rectangles as one cell; │'s two arms are one stroke.
    for (const auto& [glyphs, rects] : {std::pair{std::u16string(100, u'\u2550'), 2u}, {std::u16string(100, u'\u2500'), 1u},
                                        {std::u16string(100, u'\u2588'), 1u}, {std::u16string(100, u'\u2591'), 1u},
                                        {std::u16string(u"\u2502"), 1u}})
        EXPECT_EQ(strip(glyphs).Rects().size(), rects) << int(glyphs[0]);
    const std::vector<core::ShapeRect> run = strip(std::u16string(3, u'\u2550')).Rects();
    ASSERT_EQ(run.size(), 2u);
    EXPECT_EQ(run[0].left, 0);
    EXPECT_EQ(run[0].right, 27);

    const std::u16string art = u"\u2554\u2550\u2566\u2550\u2557\u2588\u2580\u2584\u2591\u2592\u2593\u2593\u256C\u256C"
                               u"\u2502\u2524\u2561\u2562\u2556\u2555\u2563\u2551\u255D\u255C\u255B\u2510\u2514\u2534"
                               u"\u252C\u251C\u2500\u253C\u255E\u255F\u255A\u2569\u2560\u2567\u2568\u2564\u2565\u2559"
                               u"\u2558\u2552\u2553\u256B\u256A\u2518\u250C\u258C\u2590\u25A0\u2550\u2550";
    const core::ShapeStrip merged = strip(art);
    const int width = static_cast<int>(art.size()) * cell.width;
    std::map<core::Fill, Raster> byStrip, byCell;
    for (const core::Fill fill : {core::Fill::Solid, core::Fill::Light, core::Fill::Medium, core::Fill::Dark}) {
        byStrip.emplace(fill, Raster(width, 30));
        byCell.emplace(fill, Raster(width, 30));
    }
    for (const core::ShapeRect& r : merged.Rects()) byStrip.at(r.fill).Fill(r);
    std::size_t separate = 0;
    for (std::size_t i = 0; i < art.size(); ++i) {
        const core::CellShape shape = core::LayOutShape(*core::ShapeOf(art[i]), cell);
        separate += static_cast<std::size_t>(shape.count);
        for (int k = 0; k < shape.count; ++k)
            byCell.at(shape.rects[k].fill).Fill(shape.rects[k], static_cast<int>(i) * cell.width, 4);
    }
    for (const auto& [fill, raster] : byCell) EXPECT_TRUE(byStrip.at(fill) == raster) << static_cast<int>(fill);
    EXPECT_LT(merged.Rects().size(), separate);
}
