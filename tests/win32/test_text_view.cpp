// The text view as a user and an automation tool meet it: caret and selection by keyboard and
// mouse, scrolling, word wrap against the display lines, and the edit messages it answers.
#include <windows.h>

#include <climits>
#include <string>
#include <utility>

#include "tests/win32/support.hpp"

using namespace testing_support;

namespace {

using Range = std::pair<std::size_t, std::size_t>;

class TextView : public MainWindowTest {
protected:
    void StartWith(const std::string& text) {
        Start();
        ASSERT_TRUE(Memo().SetText(text));
        Memo().Focus();
        Pump();
    }
    HWND View() { return Memo().Handle(); }
    LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return ::SendMessageW(View(), msg, wp, lp); }
    POINT At(std::size_t offset) {
        const LRESULT at = Send(EM_POSFROMCHAR, offset);
        return POINT{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    }
    void Mouse(UINT msg, POINT at, WPARAM keys = 0) {
        ::PostMessageW(View(), msg, keys, MAKELPARAM(at.x + 1, at.y + 1));  // inside the character's cell
        Pump();
    }
    void Click(std::size_t offset, WPARAM keys = 0, UINT msg = WM_LBUTTONDOWN) {
        Mouse(msg, At(offset), MK_LBUTTON | keys);
        Mouse(WM_LBUTTONUP, At(offset));
    }
    Range Selected() { return {Memo().GetSelection().start, Memo().GetSelection().end}; }
    int FirstVisible() { return static_cast<int>(Send(EM_GETFIRSTVISIBLELINE)); }
};

std::string Numbered(int count, const std::string& prefix) {
    std::string text;
    for (int i = 0; i < count; ++i) text += prefix + std::to_string(i) + "\r\n";
    return text;
}

}  // namespace

TEST_F(TextView, KeysMoveTheCaretAndShiftSelects) {
    const std::string text = "alpha beta\r\ngamma-delta\r\n\r\nlast";
    StartWith(text);
    const std::size_t size = text.size();
    struct Case { const char* name; std::size_t from; WORD key; bool shift, ctrl; int times; Range selected; } cases[] = {
        {"right", 0, VK_RIGHT, false, false, 1, {1, 1}},
        {"shift+right x3", 0, VK_RIGHT, true, false, 3, {0, 3}},
        {"ctrl+right to the next word", 0, VK_RIGHT, false, true, 1, {6, 6}},
        {"ctrl+right over the break", 10, VK_RIGHT, false, true, 1, {12, 12}},
        {"ctrl+left", 18, VK_LEFT, false, true, 1, {12, 12}},
        {"left over the break", 12, VK_LEFT, false, false, 1, {10, 10}},
        {"right over the break", 10, VK_RIGHT, false, false, 1, {12, 12}},
        {"shift+end", 2, VK_END, true, false, 1, {2, 10}},
        {"home", 8, VK_HOME, false, false, 1, {0, 0}},
        {"down keeps the column", 3, VK_DOWN, false, false, 1, {15, 15}},
        {"down to a shorter line", 20, VK_DOWN, false, false, 1, {25, 25}},
        {"up", 15, VK_UP, false, false, 1, {3, 3}},
        {"ctrl+end", 0, VK_END, false, true, 1, {size, size}},
        {"ctrl+shift+home", size, VK_HOME, true, true, 1, {0, size}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Memo().SetSelection(c.from, c.from);
        for (int i = 0; i < c.times; ++i) PressKey(c.key, {c.shift ? VK_SHIFT : 0, c.ctrl ? VK_CONTROL : 0});
        EXPECT_EQ(Selected(), c.selected);
    }
}

TEST_F(TextView, MouseClickDragShiftClickAndDoubleClickSelect) {
    StartWith("alpha beta\r\ngamma-delta\r\n");
    Mouse(WM_LBUTTONDOWN, At(2), MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, At(15), MK_LBUTTON);
    Mouse(WM_LBUTTONUP, At(15));
    EXPECT_EQ(Selected(), Range(2, 15));
    EXPECT_EQ(::GetFocus(), View());
    Click(20, MK_SHIFT);
    EXPECT_EQ(Selected(), Range(2, 20));
    Click(7);
    EXPECT_EQ(Selected(), Range(7, 7));
    Click(7, 0, WM_LBUTTONDBLCLK);
    EXPECT_EQ(Selected(), Range(6, 10));  // "beta"
    Click(1, 0, WM_LBUTTONDBLCLK);
    EXPECT_EQ(Selected(), Range(0, 6));  // a word takes its blank
}

TEST_F(TextView, DraggingBelowTheViewScrollsAndExtends) {
    StartWith(Numbered(300, "row "));
    RECT client;
    ::GetClientRect(View(), &client);
    const POINT below{20, client.bottom + 30};
    POINT screen = below;
    ::ClientToScreen(View(), &screen);
    ::SetCursorPos(screen.x, screen.y);  // where the auto-scroll's timer looks for the mouse
    Mouse(WM_LBUTTONDOWN, At(0), MK_LBUTTON);
    for (int step = 0; step < 25; ++step) Mouse(WM_MOUSEMOVE, below, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, below);
    EXPECT_GE(FirstVisible(), 20);
    EXPECT_EQ(Selected().first, 0u);
    EXPECT_GT(Send(EM_LINEFROMCHAR, Selected().second), FirstVisible());
    EXPECT_NE(::GetCapture(), View());
}

TEST_F(TextView, WrappedRowsAreTheDisplayLinesEverywhere) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += std::string(std::size_t(i) * 7, 'w') + " end of " + std::to_string(i) + "\r\n";
    StartWith(text);
    EXPECT_EQ(Memo().LineCount(), 41);  // the empty last line counts, as in the edit control
    PressKey('W', {VK_CONTROL});
    ASSERT_TRUE(Memo().Wrap());
    const int rows = Memo().LineCount();
    EXPECT_GT(rows, 41);
    EXPECT_EQ(Send(EM_GETLINECOUNT), rows);
    RECT format;
    Send(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    const auto cell = static_cast<std::size_t>(At(1).x - At(0).x);
    ASSERT_GT(cell, 0u);
    std::string joined;
    for (int i = 0; i < rows; ++i) {
        const std::string_view line = Memo().Line(i);
        const auto start = static_cast<std::size_t>(Send(EM_LINEINDEX, static_cast<WPARAM>(i)));
        ASSERT_EQ(std::string_view(Memo().Text()).substr(start, line.size()), line) << i;
        ASSERT_EQ(static_cast<std::size_t>(Send(EM_LINELENGTH, start)), line.size()) << i;
        ASSERT_LE(line.size() * cell, static_cast<std::size_t>(format.right - format.left)) << i;
        joined.append(line).append(Memo().Text().compare(start + line.size(), 2, "\r\n") == 0 ? "\r\n" : "");
    }
    EXPECT_EQ(joined, text);
    PressKey('W', {VK_CONTROL});
    EXPECT_EQ(Memo().LineCount(), 41);
}

TEST_F(TextView, AnswersTheEditMessagesWithTheGlyphText) {
    StartWith("\xC9\xCD\xBB x\r\nsecond\r\n");
    wchar_t text[8] = {};
    EXPECT_EQ(Send(WM_GETTEXT, 6, reinterpret_cast<LPARAM>(text)), 5);
    EXPECT_STREQ(text, L"\u2554\u2550\u2557 x");
    char ansi[32] = {};
    ::SendMessageA(View(), WM_GETTEXT, sizeof ansi, reinterpret_cast<LPARAM>(ansi));
    EXPECT_STREQ(ansi + 3, " x\r\nsecond\r\n");
    wchar_t line[16] = {};
    *reinterpret_cast<WORD*>(line) = 15;
    EXPECT_EQ(Send(EM_GETLINE, 0, reinterpret_cast<LPARAM>(line)), 5);
    EXPECT_EQ(std::wstring(line, 5), L"\u2554\u2550\u2557 x");

    Send(EM_SETSEL, 7, 3);
    DWORD start = 0, end = 0;
    EXPECT_EQ(Send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end)), MAKELRESULT(3, 7));
    EXPECT_TRUE(start == 3 && end == 7);
    const struct { UINT msg; WPARAM wp; LRESULT result; } answers[] = {
        {WM_GETTEXTLENGTH, 0, 15},
        {EM_LINEINDEX, static_cast<WPARAM>(-1), 0},  // the caret's row: 3 is on row 0
        {EM_GETLINECOUNT, 0, 3},       {EM_LINEINDEX, 1, 7},  {EM_LINEINDEX, 3, -1},
        {EM_LINELENGTH, 8, 6},         {EM_LINEFROMCHAR, 9, 1},
    };
    for (const auto& a : answers) EXPECT_EQ(Send(a.msg, a.wp), a.result) << a.msg << " " << a.wp;
    Send(EM_SETSEL, 0, -1);
    EXPECT_EQ(Memo().GetSelection().length(), 15u);
    Send(EM_SETSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(Memo().GetSelection().length(), 0u);

    Send(EM_SETSEL, 0, 3);
    SetClipboardMarker("marker");
    Send(WM_COPY);
    EXPECT_EQ(ClipboardText(CF_TEXT), "\xC9\xCD\xBB");
    const std::string unicode = ClipboardText(CF_UNICODETEXT);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(unicode.data()), unicode.size() / 2), u"\u2554\u2550\u2557");
}

TEST_F(TextView, ScrollsByKeysBarsAndWheelAndKeepsHandleFocusAndSelectionAcrossWrap) {
    std::string text;
    for (int i = 0; i < 200; ++i) text += std::string(120, static_cast<char>('a' + i % 26)) + "\r\n";
    StartWith(text);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ::GetScrollInfo(View(), SB_VERT, &info);
    const int page = static_cast<int>(info.nPage);
    ASSERT_GT(page, 5);
    PressKey(VK_NEXT);
    const int caretRow = static_cast<int>(Send(EM_LINEFROMCHAR, static_cast<WPARAM>(-1)));
    EXPECT_GT(FirstVisible(), 0);
    EXPECT_TRUE(caretRow >= FirstVisible() && caretRow <= FirstVisible() + page) << caretRow;
    PressKey(VK_PRIOR);
    EXPECT_EQ(FirstVisible(), 0);
    PressKey(VK_END, {VK_CONTROL});
    EXPECT_GE(FirstVisible(), 200 - page);
    EXPECT_EQ(Selected(), Range(text.size(), text.size()));

    HWND view = View();
    Memo().SetSelection(5, 9);
    PressKey('W', {VK_CONTROL});
    EXPECT_EQ(View(), view);
    EXPECT_EQ(::GetFocus(), view);
    EXPECT_EQ(Selected(), Range(5, 9));
    ::GetScrollInfo(view, SB_VERT, &info);
    EXPECT_EQ(info.nMax, Memo().LineCount() - 1);
    Send(WM_VSCROLL, SB_TOP);
    Send(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(FirstVisible(), static_cast<int>(info.nPage));
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA));
    EXPECT_EQ(FirstVisible(), static_cast<int>(info.nPage) - 3);
    PressKey('W', {VK_CONTROL});
    ::GetScrollInfo(view, SB_HORZ, &info);
    EXPECT_GT(info.nMax, static_cast<int>(info.nPage));
    Send(WM_HSCROLL, SB_LINEDOWN);
    EXPECT_NE(Send(EM_POSFROMCHAR) & 0xFFFF, 3);  // moved left by a cell
}

// Positions stay exact far beyond what 16 bits hold: the caret, the keys, the thumb, the mouse.
TEST_F(TextView, CaretKeysThumbAndMouseStayExactOnATenMillionCharacterLine) {
    constexpr std::size_t kLong = 10000000;
    constexpr std::size_t kSecond = kLong + 2;  // where the second line starts
    StartWith(std::string(kLong, 'x') + "\r\n" + std::string(kLong, 'w') + "\r\n");
    RECT client;
    ::GetClientRect(View(), &client);
    const POINT origin = At(0);
    const long long cell = At(1).x - origin.x;
    ASSERT_GT(cell, 0);
    auto onScreen = [&](std::size_t offset) {
        const POINT at = At(offset);
        return at.x >= 0 && at.x <= client.right && at.y >= 0 && at.y < client.bottom;
    };
    auto horizontal = [&] {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        ::GetScrollInfo(View(), SB_HORZ, &info);
        return info;
    };

    PressKey(VK_END);
    EXPECT_EQ(Selected(), Range(kLong, kLong));
    EXPECT_TRUE(onScreen(kLong));
    POINT caret{};
    ::GetCaretPos(&caret);
    EXPECT_EQ(caret.x, At(kLong).x);
    SCROLLINFO info = horizontal();
    EXPECT_EQ(static_cast<long long>(info.nMax) + 1, static_cast<long long>(kLong) * cell);
    EXPECT_EQ(info.nPos + static_cast<long long>(info.nPage), static_cast<long long>(info.nMax) + 1);
    EXPECT_EQ(info.nPos + At(kLong).x - origin.x, static_cast<long long>(kLong) * cell) << "the thumb disagrees";

    Click(kLong - 3);
    EXPECT_EQ(Selected(), Range(kLong - 3, kLong - 3));
    // A character index past 16 bits comes back as its low word, with the line in the high word.
    const LRESULT hit = Send(EM_CHARFROMPOS, 0, MAKELPARAM(At(kLong - 1).x + 1, At(kLong - 1).y + 1));
    EXPECT_EQ(LOWORD(hit), (kLong - 1) & 0xFFFF);
    EXPECT_EQ(HIWORD(hit), 0);

    PressKey(VK_DOWN);
    EXPECT_EQ(Selected(), Range(kSecond + kLong - 3, kSecond + kLong - 3));
    EXPECT_TRUE(onScreen(kSecond + kLong - 3));
    PressKey(VK_HOME);
    EXPECT_EQ(Selected(), Range(kSecond, kSecond));
    EXPECT_EQ(At(kSecond).x, origin.x);
    EXPECT_EQ(horizontal().nPos, 0);
    // Far off to the right, a position too wide for its 16-bit field says so rather than wrapping
    // round into the window.
    EXPECT_EQ(At(kSecond + kLong).x, 32767);

    PressKey(VK_END);
    PressKey(VK_HOME, {VK_CONTROL});
    EXPECT_EQ(Selected(), Range(0, 0));
    EXPECT_EQ(At(0).x, origin.x);
    EXPECT_EQ(horizontal().nPos, 0);

    // The thumb dragged to the middle: the view follows its 32-bit track position.
    info.fMask = SIF_POS;
    info.nPos = static_cast<int>(kLong / 2 * cell);
    ::SetScrollInfo(View(), SB_HORZ, &info, FALSE);
    Send(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 1234));
    EXPECT_EQ(At(kLong / 2).x, origin.x);
    EXPECT_EQ(horizontal().nPos, info.nPos);

    // Cells so wide that the line outgrows a scroll bar's 32-bit range: the bar counts in coarser
    // units, and its thumb still reaches the end of the line, and the end only.
    Memo().SetFont("Courier New", -400);
    PressKey(VK_HOME, {VK_CONTROL});
    const long long margin = At(0).x;
    const long long wide = At(1).x - margin;
    ASSERT_GT(static_cast<long long>(kLong) * wide, static_cast<long long>(INT_MAX));
    PressKey(VK_END);
    EXPECT_TRUE(onScreen(kLong));
    info = horizontal();
    EXPECT_GT(info.nMax, 0);
    EXPECT_EQ(info.nPos + static_cast<long long>(info.nPage), static_cast<long long>(info.nMax) + 1);
    const long long unit = static_cast<long long>(kLong) * wide / (static_cast<long long>(info.nMax) + 1);
    EXPECT_GE(unit, 2);
    EXPECT_NEAR(static_cast<double>(info.nPos) * unit + (At(kLong).x - margin), static_cast<double>(kLong) * wide,
                static_cast<double>(2 * unit));
    PressKey(VK_HOME);
    info.fMask = SIF_POS;
    info.nPos = info.nMax;
    ::SetScrollInfo(View(), SB_HORZ, &info, FALSE);
    Send(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0));
    EXPECT_TRUE(onScreen(kLong - 1) && onScreen(kLong)) << "the thumb at its end shows the end of the line";
}
