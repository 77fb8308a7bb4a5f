#include "core/view_navigation.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

// "alpha beta" 0-10, CR LF 10-12, "gamma-delta" 12-23, CR LF 23-25, "" 25, CR LF 25-27, "last" 27-31.
const std::string kText = "alpha beta\r\ngamma-delta\r\n\r\nlast";
constexpr core::CellGrid kGrid{7, 14, 3};

// A text with its index and rows, wrapped at `wrapPixels` (0: no wrap).
struct Laid {
    explicit Laid(std::string bytes, long long wrapPixels = 0) : text(std::move(bytes)) {
        index.Build(text);
        rows.Reset(index, core::WrapWidth{wrapPixels, kGrid.cell});
    }
    std::string text;
    core::LineIndex index;
    core::RowLayout rows;
};

core::Frame FrameOf(long long width, long long height) { return core::Frame{width, height, kGrid}; }

}  // namespace

TEST(ViewNavigation, CharacterAndWordMovesCrossALineBreakInOneStep) {
    struct Case { const char* name; std::string text; std::size_t from; bool right, word; std::size_t to; } cases[] = {
        {"right", kText, 0, true, false, 1},
        {"right from the CR", kText, 10, true, false, 12},
        {"right from between CR and LF", kText, 11, true, false, 12},
        {"left from a line start", kText, 12, false, false, 10},
        {"left from between CR and LF", kText, 11, false, false, 10},
        {"left onto an empty line", kText, 27, false, false, 25},
        {"left off an empty line", kText, 25, false, false, 23},
        {"right off an empty line", kText, 25, true, false, 27},
        {"left at the start holds", kText, 0, false, false, 0},
        {"right at the end of a last line without break holds", kText, 31, true, false, 31},
        {"word right", kText, 0, true, true, 6},
        {"word right to the line's end", kText, 6, true, true, 10},
        {"word right over the break", kText, 10, true, true, 12},
        {"word right stops after a hyphen", kText, 12, true, true, 18},
        {"word left to after a hyphen", kText, 20, false, true, 18},
        {"word left to the line start", kText, 18, false, true, 12},
        {"word left over the break", kText, 12, false, true, 10},
        {"empty text, right", "", 0, true, false, 0},
        {"empty text, word left", "", 0, false, true, 0},
        {"onto the empty last line", "a\r\n", 1, true, false, 3},
        {"the empty last line holds", "a\r\n", 3, true, true, 3},
        {"a lone CR is a character", "a\rb", 1, true, false, 2},
        {"a tab is one step", "a\tb", 1, true, false, 2},
        {"word right stops after a tab", "a\tb c", 0, true, true, 2},
    };
    for (const auto& c : cases) {
        const Laid laid(c.text);
        EXPECT_EQ(c.right ? core::MoveRight(laid.index, c.from, c.word) : core::MoveLeft(laid.index, c.from, c.word), c.to)
            << c.name;
    }
}

TEST(ViewNavigation, DoubleClickSelectsTheWordWithItsBlanks) {
    struct Case { std::string text; std::size_t at; core::Span word; } cases[] = {
        {kText, 7, {6, 10}},   // "beta"
        {kText, 1, {0, 6}},    // "alpha " takes its blank
        {kText, 5, {0, 6}},    // on the blank itself
        {kText, 10, {6, 10}},  // on the line break: the word before it, never the break
        {kText, 14, {12, 18}}, // "gamma-"
        {kText, 25, {25, 25}}, // an empty line
        {kText, 31, {27, 31}}, // the end of the text
        {"", 0, {0, 0}},
        {"a\tb", 0, {0, 2}},   // a tab ends a word like a blank
    };
    for (const auto& c : cases) {
        const Laid laid(c.text);
        EXPECT_EQ(core::WordAround(laid.index, c.at), c.word) << c.text << " at " << c.at;
    }
}

TEST(ViewNavigation, PixelsAndOffsetsMapBothWays) {
    const Laid laid("a\tb\r\nxyz\r\n");
    struct Case { const char* name; std::size_t offset; core::Scroll scroll; core::Pixel pixel; } cases[] = {
        {"start", 0, {}, {3, 0}},
        {"after a tab: its stop", 2, {}, {3 + 8 * 7, 0}},
        {"in the line break: the row's end", 4, {}, {3 + 9 * 7, 0}},
        {"second row", 6, {}, {3 + 7, 14}},
        {"scrolled down and left", 6, {1, 10}, {3 + 7 - 10, 0}},
        {"above the top row", 0, {1, 0}, {3, -14}},
        {"empty last line", 10, {}, {3, 28}},
    };
    for (const auto& c : cases) EXPECT_EQ(core::PixelOf(laid.rows, kGrid, c.scroll, c.offset), c.pixel) << c.name;
    struct Hit { const char* name; core::Scroll scroll; core::Pixel at; std::size_t offset; } hits[] = {
        {"left half of a cell: before", {}, {3 + 2, 5}, 0},
        {"right half of a cell: after", {}, {3 + 4, 5}, 1},
        {"left half of a tab", {}, {3 + 7 + 23, 5}, 1},
        {"right half of a tab", {}, {3 + 7 + 25, 5}, 2},
        {"past the line's end", {}, {900, 5}, 3},
        {"left of the margin", {}, {-50, 20}, 5},
        {"above the view: the row above", {1, 0}, {3, -1}, 0},
        {"far above the text: the first row", {0, 0}, {3, -500}, 0},
        {"below the text: the last row", {}, {3, 5000}, 10},
        {"scrolled left", {0, 70}, {3 + 7, 20}, 8},
    };
    for (const auto& h : hits) EXPECT_EQ(core::OffsetAt(laid.rows, kGrid, h.scroll, h.at), h.offset) << h.name;
}

// Positions far beyond 32 bits of pixels stay exact: 400-pixel cells over ten million characters.
TEST(ViewNavigation, PixelsOfATenMillionCharacterLineStayExact) {
    constexpr std::size_t kLong = 10000000;
    const Laid laid(std::string(kLong, 'x') + "\r\n" + std::string(kLong, 'w'));
    const core::CellGrid wide{400, 420, 0};
    const long long end = static_cast<long long>(kLong) * 400;
    ASSERT_GT(end, static_cast<long long>(INT_MAX));
    EXPECT_EQ(core::PixelOf(laid.rows, wide, {}, kLong).x, end);
    EXPECT_EQ(core::PixelOf(laid.rows, wide, {0, end - 800}, kLong - 1).x, 400);
    EXPECT_EQ(core::OffsetAt(laid.rows, wide, {0, end - 800}, {401, 1}), kLong - 1);
    EXPECT_EQ(core::OffsetAt(laid.rows, wide, {0, end - 800}, {401, 421}), kLong + 2 + kLong - 1);
    EXPECT_EQ(core::RowMove(laid.rows, kLong - 3, 1, core::XInRow(laid.rows, kLong - 3, 400), 400), 2 * kLong - 1);
}

TEST(ViewNavigation, CaretKeysMoveByRowPageAndEnds) {
    using K = core::CaretKey;
    const Laid laid(kText);
    const core::Frame frame = FrameOf(400, 14 * 2 + 5);  // a page of two whole rows
    struct Case { const char* name; std::size_t from; K key; bool ctrl; core::CaretStep step; } cases[] = {
        {"down keeps the column", 3, K::Down, false, {15, 0}},
        {"down to an empty line", 20, K::Down, false, {25, 0}},
        {"down from an empty line: its own x, the start", 25, K::Down, false, {27, 0}},
        {"down on the last row holds its column", 29, K::Down, false, {29, 0}},
        {"up", 15, K::Up, false, {3, 0}},
        {"up on the first row", 4, K::Up, false, {4, 0}},
        {"up from a long line to a short one", 23, K::Up, true, {10, 0}},
        {"page down: two rows, and the view a page", 3, K::PageDown, false, {25, 2}},
        {"page down past the end: the last row", 15, K::PageDown, false, {30, 2}},
        {"page up", 29, K::PageUp, false, {14, -2}},
        {"home: the row's start", 8, K::Home, false, {0, 0}},
        {"end: the row's end", 2, K::End, false, {10, 0}},
        {"ctrl+home: the text's start", 29, K::Home, true, {0, 0}},
        {"ctrl+end: the text's end", 0, K::End, true, {31, 0}},
        {"left and right by character", 5, K::Right, false, {6, 0}},
        {"ctrl+left by word", 20, K::Left, true, {18, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const core::CaretStep step = core::StepCaret(laid.rows, frame, c.from, c.key, c.ctrl);
        EXPECT_EQ(step.caret, c.step.caret);
        EXPECT_EQ(step.scrollRows, c.step.scrollRows);
    }
}

TEST(ViewNavigation, WrappedRowsAndTabsPlaceTheCaret) {
    using K = core::CaretKey;
    const Laid wrapped("abcd efgh ijkl\r\nz", 10 * 7);  // rows "abcd efgh ", "ijkl", "z"
    ASSERT_EQ(wrapped.rows.Count(), 3u);
    // The offset at a wrapped row's end stands at the start of the next row.
    EXPECT_EQ(core::PixelOf(wrapped.rows, kGrid, {}, 9), (core::Pixel{3 + 9 * 7, 0}));
    EXPECT_EQ(core::PixelOf(wrapped.rows, kGrid, {}, 10), (core::Pixel{3, 14}));
    EXPECT_EQ(core::OffsetAt(wrapped.rows, kGrid, {}, {500, 1}), 10u) << "a click past a wrapped row's end";
    EXPECT_EQ(core::OffsetAt(wrapped.rows, kGrid, {}, {500, 15}), 14u);
    const core::Frame frame = FrameOf(77, 140);
    EXPECT_EQ(core::StepCaret(wrapped.rows, frame, 7, K::End, false).caret, 10u) << "the wrapped row's end";
    EXPECT_EQ(core::StepCaret(wrapped.rows, frame, 12, K::Home, false).caret, 10u) << "the wrapped row's start";
    EXPECT_EQ(core::StepCaret(wrapped.rows, frame, 2, K::Down, false).caret, 12u);
    EXPECT_EQ(core::StepCaret(wrapped.rows, frame, 13, K::Down, false).caret, 17u) << "a shorter row: its end";
    EXPECT_EQ(core::StepCaret(wrapped.rows, frame, 16, K::Up, false).caret, 10u);

    const Laid tabbed("a\tb\r\nabcdefghij\r\n");
    EXPECT_EQ(core::StepCaret(tabbed.rows, frame, 2, K::Down, false).caret, 5u + 8) << "the tab stop's x";
    EXPECT_EQ(core::StepCaret(tabbed.rows, frame, 5 + 5, K::Up, false).caret, 2u) << "the nearer side of the tab";
    EXPECT_EQ(core::StepCaret(tabbed.rows, frame, 5 + 3, K::Up, false).caret, 1u);

    const Laid empty("");
    for (const K key : {K::Left, K::Right, K::Up, K::Down, K::PageUp, K::PageDown, K::Home, K::End})
        for (const bool ctrl : {false, true})
            EXPECT_EQ(core::StepCaret(empty.rows, frame, 0, key, ctrl).caret, 0u) << static_cast<int>(key) << ctrl;
}

TEST(ViewNavigation, ScrollIsHeldInsideTheText) {
    struct Case { long long top, x; core::ScrollLimits limits; core::Scroll held; } cases[] = {
        {5, 20, {100, 10, 300}, {5, 20}},
        {-3, -7, {100, 10, 300}, {0, 0}},
        {95, 301, {100, 10, 300}, {90, 300}},  // the last page is a whole page
        {4, 0, {3, 10, 0}, {0, 0}},            // fewer rows than a page
        {0, 50, {1, 1, -20}, {0, 0}},          // a text narrower than the view
        {LLONG_MAX / 2, LLONG_MAX / 2, {SIZE_MAX / 4, 1, LLONG_MAX / 4}, {SIZE_MAX / 4 - 1, LLONG_MAX / 4}},
    };
    for (const auto& c : cases) EXPECT_EQ(core::ClampScroll(c.top, c.x, c.limits), c.held) << c.top << " " << c.x;
    EXPECT_EQ(core::LastX(1000, 300), 700);
    EXPECT_EQ(core::LastX(200, 300), 0);
}

// A page of 10 rows and a format 300 pixels wide; the caret is brought in by the least move up or
// down, and sideways only when it is outside, then a third of the width in.
TEST(ViewNavigation, TheCaretIsBroughtIntoView) {
    const core::Frame frame = FrameOf(306, 145);
    struct Case { const char* name; core::Scroll now; std::size_t row; long long x; core::ScrollWish wish; } cases[] = {
        {"on the page", {20, 0}, 25, 50, {20, 0}},
        {"on the last row of the page", {20, 0}, 29, 0, {20, 0}},
        {"below: its row becomes the last", {20, 0}, 30, 0, {21, 0}},
        {"above: its row becomes the first", {20, 0}, 7, 0, {7, 0}},
        {"at the right edge: still in", {0, 100}, 0, 400, {0, 100}},
        {"past the right edge: a third in", {0, 100}, 0, 401, {0, 301}},
        {"left of the view", {0, 1000}, 0, 999, {0, 899}},
        {"at the start of a scrolled line", {0, 1000}, 0, 0, {0, -100}},  // the clamp makes it 0
    };
    for (const auto& c : cases) EXPECT_EQ(core::ScrollToShow(c.now, frame, c.row, c.x), c.wish) << c.name;
}

// A client 200 x 100 pixels: 7 whole rows (98 pixels), margins 3.
TEST(ViewNavigation, ADragOutsideStepsTowardsTheMouse) {
    const core::Frame frame = FrameOf(200, 100);
    struct Case { const char* name; core::Pixel at; int rows, cells; core::Pixel inside; } cases[] = {
        {"inside", {50, 50}, 0, 0, {50, 50}},
        {"above", {50, -1}, -1, 0, {50, 0}},
        {"far above", {50, -30000}, -1, 0, {50, 0}},
        {"in the part row below the last whole one", {50, 98}, 1, 0, {50, 97}},
        {"below", {50, 500}, 1, 0, {50, 97}},
        {"in the left margin", {2, 50}, 0, -1, {2, 50}},
        {"left of the view", {-40, 50}, 0, -1, {0, 50}},
        {"in the right margin", {197, 50}, 0, 1, {197, 50}},
        {"right of the view, below", {400, 400}, 1, 1, {199, 97}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const core::DragStep step = core::DragStepAt(c.at, frame);
        EXPECT_EQ(step.rows, c.rows);
        EXPECT_EQ(step.cells, c.cells);
        EXPECT_EQ(step.inside, c.inside);
    }
    const core::DragStep narrow = core::DragStepAt({2, 5}, FrameOf(4, 0));  // both margins at once
    EXPECT_EQ(narrow.cells, 0);
    EXPECT_EQ(narrow.inside, (core::Pixel{2, 5}));
    EXPECT_EQ(FrameOf(4, 0).PageRows(), 1u) << "never less than a row";
}

TEST(ViewNavigation, ScrollBarActionsAndNumbers) {
    using A = core::ScrollAction;
    struct Case { A action; long long to; } cases[] = {
        {A::LineBack, 49}, {A::LineOn, 51}, {A::PageBack, 40}, {A::PageOn, 60}, {A::Start, 0}, {A::End, 500},
    };
    for (const auto& c : cases) EXPECT_EQ(core::ScrollTarget(c.action, 50, 1, 10, 500), c.to) << static_cast<int>(c.action);

    EXPECT_EQ(core::VerticalBar(1, 30, 0), (core::BarInfo{0, 30, 0}));
    EXPECT_EQ(core::VerticalBar(200, 30, 170), (core::BarInfo{199, 30, 170}));
    EXPECT_EQ(core::VerticalBar(SIZE_MAX / 2, 30, SIZE_MAX / 4), (core::BarInfo{INT_MAX, 30, INT_MAX}));

    // Narrower than 32 bits: pixels; the thumb at the end stands at the end.
    EXPECT_EQ(core::HorizontalUnit(70000), 1);
    EXPECT_EQ(core::HorizontalBar(70000, 300, 1234, 69700), (core::BarInfo{69999, 300, 1234}));
    EXPECT_EQ(core::HorizontalBar(70000, 300, 69700, 69700), (core::BarInfo{69999, 300, 69700}));
    EXPECT_EQ(core::HorizontalBar(200, 300, 0, 0), (core::BarInfo{199, 300, 0}));
    EXPECT_EQ(core::XAtThumb(1234, {69999, 300, 0}, 70000), 1234);
    EXPECT_EQ(core::XAtThumb(69700, {69999, 300, 0}, 70000), 70000) << "at the end: the end of the text";

    // Wider: coarser units, and the thumb still reaches the end, and the end only.
    const long long wide = 4000000000LL;
    const long long unit = core::HorizontalUnit(wide);
    ASSERT_EQ(unit, 2);
    const core::BarInfo bar = core::HorizontalBar(wide, 301, wide - 301, wide - 301);
    EXPECT_EQ(bar, (core::BarInfo{1999999999, 150, 1999999850}));
    EXPECT_EQ(core::XAtThumb(bar.pos, bar, wide), wide);
    EXPECT_EQ(core::XAtThumb(bar.pos - 1, bar, wide), (bar.pos - 1) * unit);
}

TEST(ViewNavigation, WheelTurnsAddUpToWholeNotches) {
    struct Case { std::vector<int> deltas; std::vector<int> notches; } cases[] = {
        {{120}, {1}},
        {{-120}, {-1}},
        {{360}, {3}},
        {{60, 60}, {0, 1}},
        {{40, 40, 40, -120}, {0, 0, 1, -1}},
        {{100, -30, 50}, {0, 0, 1}},
        {{200, 200}, {1, 2}},
    };
    for (const auto& c : cases) {
        core::WheelNotches wheel;
        std::vector<int> notches;
        for (const int delta : c.deltas) notches.push_back(wheel.Add(delta));
        EXPECT_EQ(notches, c.notches);
    }
}

TEST(ViewNavigation, PanIsStillNearThePressPointAndFasterTheFartherAway) {
    for (long long d = -core::kPanDeadZone; d <= core::kPanDeadZone; ++d) EXPECT_EQ(core::PanSpeed(d), 0) << d;
    long long before = 0;
    for (long long d = core::kPanDeadZone + 1; d < 3000; ++d) {
        const long long speed = core::PanSpeed(d);
        EXPECT_GE(speed, before) << d;
        EXPECT_EQ(core::PanSpeed(-d), -speed) << d;
        before = speed;
    }
    EXPECT_EQ(core::PanSpeed(1LL << 40), core::kPanFastest);
    EXPECT_EQ(core::PanSpeed(-(1LL << 40)), -core::kPanFastest);
}

TEST(ViewNavigation, PanKeepsWhatIsLessThanARowForTheNextTick) {
    core::PanScroll pan;
    const core::Pixel slow{0, core::kPanDeadZone + 1};  // a pixel or so a tick
    long long rows = 0;
    long long ticks = 0;
    while (rows == 0 && ticks < 100) rows += pan.Tick(slow, 14).rows, ++ticks;
    EXPECT_EQ(rows, 1);
    EXPECT_LE(ticks, 14);
    EXPECT_EQ(core::PanScroll().Tick(core::Pixel{-50, 0}, 14).x, core::PanSpeed(-50));
    EXPECT_EQ(core::PanScroll().Tick(core::Pixel{0, 500}, 0).rows, core::PanSpeed(500));  // no zero division
}
