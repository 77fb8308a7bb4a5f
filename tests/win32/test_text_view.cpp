// The text view as a user and an automation tool meet it: caret and selection by keyboard and
// mouse, scrolling, word wrap against the display lines, and the edit messages it answers.
#include <windows.h>

#include <string>
#include <vector>

#include "tests/win32/support.hpp"

using namespace testing_support;

namespace {

constexpr char kText[] = "alpha beta\r\ngamma-delta\r\n\r\nlast";

class TextView : public MainWindowTest {
protected:
    void StartWith(const std::string& text) {
        Start();
        ASSERT_TRUE(Memo().SetText(text));
        Memo().Focus();
        Pump();
    }
    HWND View() { return Memo().Handle(); }
    POINT At(std::size_t offset) {
        const LRESULT at = ::SendMessageW(View(), EM_POSFROMCHAR, offset, 0);
        return POINT{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    }
    void Mouse(UINT msg, POINT at, WPARAM keys = 0) {
        ::PostMessageW(View(), msg, keys, MAKELPARAM(at.x + 1, at.y + 1));  // inside the character's cell
        Pump();
    }
    std::pair<std::size_t, std::size_t> Selected() {
        const platform::Selection selection = Memo().GetSelection();
        return {selection.start, selection.end};
    }
    int FirstVisible() { return static_cast<int>(::SendMessageW(View(), EM_GETFIRSTVISIBLELINE, 0, 0)); }
};

enum Held { kNone = 0, kShift = 1, kCtrl = 2 };

SCROLLINFO ScrollInfo(HWND view, int bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ::GetScrollInfo(view, bar, &info);
    return info;
}

struct Keys {
    WORD key;
    int held;
};

void Hold(int held) {
    if (held == (kShift | kCtrl)) SetKeys({VK_SHIFT, VK_CONTROL});
    else if (held == kShift) SetKeys({VK_SHIFT});
    else if (held == kCtrl) SetKeys({VK_CONTROL});
    else SetKeys({});
}

}  // namespace

TEST_F(TextView, KeysMoveTheCaretAndShiftSelects) {
    StartWith(kText);
    const std::size_t size = Memo().Text().size();
    struct Case {
        const char* name;
        std::size_t from;
        std::vector<Keys> keys;
        std::pair<std::size_t, std::size_t> selected;
    } cases[] = {
        {"right", 0, {{VK_RIGHT, kNone}}, {1, 1}},
        {"shift+right x3", 0, {{VK_RIGHT, kShift}, {VK_RIGHT, kShift}, {VK_RIGHT, kShift}}, {0, 3}},
        {"ctrl+right to the next word", 0, {{VK_RIGHT, kCtrl}}, {6, 6}},
        {"ctrl+right to the line end", 6, {{VK_RIGHT, kCtrl}}, {10, 10}},
        {"ctrl+right over the break", 10, {{VK_RIGHT, kCtrl}}, {12, 12}},
        {"ctrl+right after a hyphen", 12, {{VK_RIGHT, kCtrl}}, {18, 18}},
        {"ctrl+left", 18, {{VK_LEFT, kCtrl}}, {12, 12}},
        {"left over the break", 12, {{VK_LEFT, kNone}}, {10, 10}},
        {"right over the break", 10, {{VK_RIGHT, kNone}}, {12, 12}},
        {"shift+end", 2, {{VK_END, kShift}}, {2, 10}},
        {"home", 8, {{VK_HOME, kNone}}, {0, 0}},
        {"down keeps the column", 3, {{VK_DOWN, kNone}}, {15, 15}},
        {"down to a shorter line", 20, {{VK_DOWN, kNone}}, {25, 25}},
        {"up", 15, {{VK_UP, kNone}}, {3, 3}},
        {"ctrl+end", 0, {{VK_END, kCtrl}}, {size, size}},
        {"ctrl+shift+home", size, {{VK_HOME, kShift | kCtrl}}, {0, size}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Memo().SetSelection(c.from, c.from);
        for (const Keys& k : c.keys) {
            Hold(k.held);
            ::PostMessageW(View(), WM_KEYDOWN, k.key, 1);
            Pump();
            SetKeys({});
        }
        EXPECT_EQ(Selected(), c.selected);
    }
}

TEST_F(TextView, PageKeysAndCtrlEndScrollAndKeepTheCaretInView) {
    std::string text;
    for (int i = 0; i < 500; ++i) text += "line " + std::to_string(i) + "\r\n";
    StartWith(text);
    const SCROLLINFO info = ScrollInfo(View(), SB_VERT);
    const int page = static_cast<int>(info.nPage);
    ASSERT_GT(page, 5);
    PressKey(VK_NEXT);
    EXPECT_GT(FirstVisible(), 0);
    const int row = static_cast<int>(::SendMessageW(View(), EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0));
    EXPECT_GE(row, FirstVisible());
    EXPECT_LE(row, FirstVisible() + page);
    PressKey(VK_PRIOR);
    EXPECT_EQ(FirstVisible(), 0);
    PressKey(VK_END, {VK_CONTROL});
    EXPECT_GT(FirstVisible(), 400);
    EXPECT_EQ(Selected(), std::make_pair(text.size(), text.size()));
}

TEST_F(TextView, MouseClickDragShiftClickAndDoubleClickSelect) {
    StartWith(kText);
    Mouse(WM_LBUTTONDOWN, At(2), MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, At(15), MK_LBUTTON);
    Mouse(WM_LBUTTONUP, At(15));
    EXPECT_EQ(Selected(), std::make_pair(std::size_t{2}, std::size_t{15}));
    EXPECT_EQ(::GetFocus(), View());

    Mouse(WM_LBUTTONDOWN, At(20), MK_LBUTTON | MK_SHIFT);
    Mouse(WM_LBUTTONUP, At(20));
    EXPECT_EQ(Selected(), std::make_pair(std::size_t{2}, std::size_t{20}));

    Mouse(WM_LBUTTONDOWN, At(7), MK_LBUTTON);
    Mouse(WM_LBUTTONUP, At(7));
    EXPECT_EQ(Selected(), std::make_pair(std::size_t{7}, std::size_t{7}));
    Mouse(WM_LBUTTONDBLCLK, At(7), MK_LBUTTON);
    Mouse(WM_LBUTTONUP, At(7));
    EXPECT_EQ(Selected(), std::make_pair(std::size_t{6}, std::size_t{10}));  // "beta"
    Mouse(WM_LBUTTONDBLCLK, At(1), MK_LBUTTON);
    EXPECT_EQ(Selected(), std::make_pair(std::size_t{0}, std::size_t{6}));  // a word takes its blank
}

TEST_F(TextView, DraggingBelowTheViewScrollsAndExtends) {
    std::string text;
    for (int i = 0; i < 300; ++i) text += "row " + std::to_string(i) + "\r\n";
    StartWith(text);
    RECT client;
    ::GetClientRect(View(), &client);
    POINT below{20, client.bottom + 30};
    ::ClientToScreen(View(), &below);
    ::SetCursorPos(below.x, below.y);  // where the auto-scroll's timer looks for the mouse
    Mouse(WM_LBUTTONDOWN, At(0), MK_LBUTTON);
    for (int step = 0; step < 25; ++step) Mouse(WM_MOUSEMOVE, POINT{20, client.bottom + 30}, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, POINT{20, client.bottom + 30});
    EXPECT_GE(FirstVisible(), 20);
    const auto [start, end] = Selected();
    EXPECT_EQ(start, 0u);
    EXPECT_GT(::SendMessageW(View(), EM_LINEFROMCHAR, end, 0), FirstVisible());
    EXPECT_NE(::GetCapture(), View());
}

TEST_F(TextView, WrappedRowsAreTheDisplayLinesEverywhere) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += std::string(static_cast<std::size_t>(i * 7), 'w') + " end of " + std::to_string(i) + "\r\n";
    StartWith(text);
    EXPECT_EQ(Memo().LineCount(), 41);  // the empty last line counts, as in the edit control
    PressKey('W', {VK_CONTROL});
    ASSERT_TRUE(Memo().Wrap());
    const int rows = Memo().LineCount();
    EXPECT_GT(rows, 41);
    EXPECT_EQ(::SendMessageW(View(), EM_GETLINECOUNT, 0, 0), rows);
    RECT format;
    ::SendMessageW(View(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    const auto cell = static_cast<std::size_t>(At(1).x - At(0).x);
    ASSERT_GT(cell, 0u);
    std::string joined;
    for (int i = 0; i < rows; ++i) {
        const std::string_view line = Memo().Line(i);
        const auto start = static_cast<std::size_t>(::SendMessageW(View(), EM_LINEINDEX, static_cast<WPARAM>(i), 0));
        ASSERT_EQ(std::string_view(Memo().Text()).substr(start, line.size()), line) << i;
        ASSERT_EQ(static_cast<std::size_t>(::SendMessageW(View(), EM_LINELENGTH, start, 0)), line.size()) << i;
        ASSERT_LE(line.size() * cell, static_cast<std::size_t>(format.right - format.left)) << i;
        if (Memo().Text().compare(start + line.size(), 2, "\r\n") == 0) {
            joined.append(line).append("\r\n");
        } else {
            joined.append(line);
        }
    }
    EXPECT_EQ(joined, text);
    PressKey('W', {VK_CONTROL});
    EXPECT_EQ(Memo().LineCount(), 41);
}

TEST_F(TextView, AnswersTheEditMessagesWithTheGlyphText) {
    StartWith("\xC9\xCD\xBB x\r\nsecond\r\n");
    HWND view = View();
    EXPECT_EQ(::SendMessageW(view, WM_GETTEXTLENGTH, 0, 0), 15);
    wchar_t text[8] = {};
    EXPECT_EQ(::SendMessageW(view, WM_GETTEXT, 6, reinterpret_cast<LPARAM>(text)), 5);
    EXPECT_STREQ(text, L"\u2554\u2550\u2557 x");
    char ansi[32] = {};
    ::SendMessageA(view, WM_GETTEXT, sizeof ansi, reinterpret_cast<LPARAM>(ansi));
    EXPECT_STREQ(ansi + 3, " x\r\nsecond\r\n");

    ::SendMessageW(view, EM_SETSEL, 7, 3);
    DWORD start = 0, end = 0;
    EXPECT_EQ(::SendMessageW(view, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end)),
              MAKELRESULT(3, 7));
    EXPECT_EQ(start, 3u);
    EXPECT_EQ(end, 7u);
    EXPECT_EQ(::SendMessageW(view, EM_LINEINDEX, static_cast<WPARAM>(-1), 0), 0);  // the caret's row: 3 is on row 0
    ::SendMessageW(view, EM_SETSEL, 0, -1);
    EXPECT_EQ(Memo().GetSelection().length(), 15u);
    ::SendMessageW(view, EM_SETSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(Memo().GetSelection().length(), 0u);

    EXPECT_EQ(::SendMessageW(view, EM_GETLINECOUNT, 0, 0), 3);
    EXPECT_EQ(::SendMessageW(view, EM_LINEINDEX, 1, 0), 7);
    EXPECT_EQ(::SendMessageW(view, EM_LINEINDEX, 3, 0), -1);
    EXPECT_EQ(::SendMessageW(view, EM_LINELENGTH, 8, 0), 6);
    EXPECT_EQ(::SendMessageW(view, EM_LINEFROMCHAR, 9, 0), 1);
    wchar_t line[16] = {};
    *reinterpret_cast<WORD*>(line) = 15;
    EXPECT_EQ(::SendMessageW(view, EM_GETLINE, 0, reinterpret_cast<LPARAM>(line)), 5);
    EXPECT_EQ(std::wstring(line, 5), L"\u2554\u2550\u2557 x");
    EXPECT_EQ(::SendMessageW(view, EM_GETFIRSTVISIBLELINE, 0, 0), 0);

    ::SendMessageW(view, EM_SETSEL, 0, 3);
    SetClipboardMarker("marker");
    ::SendMessageW(view, WM_COPY, 0, 0);
    EXPECT_EQ(ClipboardText(CF_TEXT), "\xC9\xCD\xBB");
    const std::string unicode = ClipboardText(CF_UNICODETEXT);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(unicode.data()), unicode.size() / 2), u"\u2554\u2550\u2557");
}

TEST_F(TextView, KeepsItsHandleFocusAndSelectionAcrossWrapAndFollowsItsScrollBars) {
    std::string text;
    for (int i = 0; i < 200; ++i) text += std::string(120, static_cast<char>('a' + i % 26)) + "\r\n";
    StartWith(text);
    HWND view = View();
    Memo().SetSelection(5, 9);
    PressKey('W', {VK_CONTROL});
    EXPECT_EQ(View(), view);
    EXPECT_EQ(::GetFocus(), view);
    EXPECT_EQ(Selected(), std::make_pair(std::size_t{5}, std::size_t{9}));
    SCROLLINFO info = ScrollInfo(view, SB_VERT);
    EXPECT_EQ(info.nMax, Memo().LineCount() - 1);
    ::SendMessageW(view, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(FirstVisible(), static_cast<int>(info.nPage));
    ::SendMessageW(view, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(FirstVisible(), static_cast<int>(info.nPage) - 3);
    PressKey('W', {VK_CONTROL});
    info = ScrollInfo(view, SB_HORZ);
    EXPECT_GT(info.nMax, static_cast<int>(info.nPage));
    ::SendMessageW(view, WM_HSCROLL, SB_LINEDOWN, 0);
    EXPECT_NE(::SendMessageW(view, EM_POSFROMCHAR, 0, 0) & 0xFFFF, 3);  // moved left by a cell
}
