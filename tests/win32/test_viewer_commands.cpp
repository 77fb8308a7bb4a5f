// The viewer's commands as a user reaches them: the key table, copying, the find dialog driven
// through its own window, word wrap, stay on top, and Esc.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "platform/files.hpp"
#include "tests/win32/support.hpp"

using namespace testing_support;

namespace {

using Range = std::pair<std::size_t, std::size_t>;
constexpr LPARAM kFirstPress = 1;
constexpr LPARAM kRepeatedPress = 1 | (1 << 30);  // the key was already down: auto-repeat
constexpr LPARAM kAltDown = 1 << 29;

// Counts the key presses and characters that reach the view, on top of the view's own subclass.
class ViewRecorder {
public:
    explicit ViewRecorder(HWND view) : view_(view) { ::SetWindowSubclass(view_, &Proc, 0x5EE, reinterpret_cast<DWORD_PTR>(this)); }
    ~ViewRecorder() { if (::IsWindow(view_)) ::RemoveWindowSubclass(view_, &Proc, 0x5EE); }
    ViewRecorder(const ViewRecorder&) = delete;
    ViewRecorder& operator=(const ViewRecorder&) = delete;
    int keyMessages = 0;

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
        if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN || msg == WM_CHAR || msg == WM_SYSCHAR)
            ++reinterpret_cast<ViewRecorder*>(self)->keyMessages;
        return ::DefSubclassProc(wnd, msg, wp, lp);
    }
    HWND view_;
};

std::u16string ControlText(HWND wnd) {
    const int length = ::GetWindowTextLengthW(wnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::GetWindowTextW(wnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return std::u16string(text.begin(), text.end());
}

// Ends the context menu's modal loop from inside it.
void CALLBACK EndMenuSoon(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    ::EndMenu();
}

RECT WindowRect(HWND wnd) {
    RECT rect{};
    ::GetWindowRect(wnd, &rect);
    return rect;
}

BOOL CALLBACK CountVisibleDialog(HWND wnd, LPARAM count) {
    char name[16] = {};
    ::GetClassNameA(wnd, name, sizeof name);
    if (std::string(name) == "#32770" && ::IsWindowVisible(wnd)) ++*reinterpret_cast<int*>(count);
    return TRUE;
}

std::string NumberedLines(int count, int marked, const std::string& mark) {
    std::string text;
    for (int line = 0; line < count; ++line)
        text += "line " + std::to_string(line) + (line == marked ? " " + mark : std::string()) + "\r\n";
    return text;
}

int FirstVisibleLine(HWND view) { return static_cast<int>(::SendMessageW(view, EM_GETFIRSTVISIBLELINE, 0, 0)); }

class ViewerTest : public MainWindowTest {
protected:
    void StartWith(const std::string& bytes) {
        Start();
        Frm().ShowFile(scratch_.Write("shown.nfo", bytes));
        Pump();
    }

    // A key press in the view as the system delivers it: Alt without Ctrl gives the SYS messages.
    void Press(WORD key, std::initializer_list<int> modifiers, LPARAM repeat = kFirstPress) {
        SetKeys(modifiers);
        const auto held = [&](int key) { return std::find(modifiers.begin(), modifiers.end(), key) != modifiers.end(); };
        const bool alt = held(VK_MENU), sys = alt && !held(VK_CONTROL);
        const LPARAM altBit = alt ? kAltDown : 0;
        ::PostMessageA(Memo().Handle(), sys ? WM_SYSKEYDOWN : WM_KEYDOWN, key, repeat | altBit);
        Pump();
        if (WindowAlive())
            ::PostMessageA(Memo().Handle(), sys ? WM_SYSKEYUP : WM_KEYUP, key, 0xC0000001 | altBit);
        Pump();
        SetKeys({});
    }

    bool WrapButtonDown() { return ::SendMessageA(Frm().Commands().ToolBar(), TB_ISBUTTONCHECKED, forms::kBtnWrap, 0) != 0; }
    void Command(int id) { ::SendMessageA(Frm().Handle(), WM_COMMAND, static_cast<WPARAM>(id), 0); }
    void Select(std::size_t start, std::size_t end) { Memo().SetSelection(start, end); }
    Range Selected() {
        const platform::Selection selection = Memo().GetSelection();
        return {selection.start, selection.end};
    }
    bool MenuChecked(int id) {
        return (::GetMenuState(Frm().Commands().Menu(), static_cast<UINT>(id), MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
    bool Topmost() { return (::GetWindowLongA(Frm().Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
    // Ctrl+C with the marker on the clipboard beforehand; returns what the clipboard holds after.
    std::string CtrlCOverMarker() {
        SetClipboardMarker("marker");
        Press('C', {VK_CONTROL});
        return ClipboardText(CF_TEXT);
    }

    HWND OpenFind() {
        Frm().BtnFindClick();
        Pump();
        return Frm().FindDialog();
    }
    // Types the text into the find box, as Unicode as the user types it, and presses Find Next.
    void FindNext(HWND dialog, const std::u16string& text) {
        const std::wstring typed(text.begin(), text.end());
        ::SendMessageW(::GetDlgItem(dialog, edt1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
        ::SendMessageA(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        Pump();
    }
    void CancelFind(HWND dialog) {
        ::SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        Pump();
    }
};

using Keyboard = ViewerTest;
using Clipboard = ViewerTest;
using FindDialog = ViewerTest;
using ViewModes = ViewerTest;

}  // namespace

// ---- the key table --------------------------------------------------------------------------------

TEST_F(Keyboard, LetterCommandsNeedCtrlAndF1TakesAnyModifiers) {
    StartWith("some text\r\nmore\r\n");
    struct Modifiers { const char* name; std::initializer_list<int> keys; bool acts; };
    const Modifiers table[] = {
        {"none", {}, false},
        {"Ctrl", {VK_CONTROL}, true},
        {"Ctrl+Shift", {VK_CONTROL, VK_SHIFT}, true},
        {"Ctrl+Alt", {VK_CONTROL, VK_MENU}, true},
        {"Alt", {VK_MENU}, false},
        {"Shift", {VK_SHIFT}, false},
    };
    for (const Modifiers& mods : table) {
        SCOPED_TRACE(mods.name);
        const std::size_t opened = prompts_.openRequests.size();
        Press('O', mods.keys);
        EXPECT_EQ(prompts_.openRequests.size(), opened + (mods.acts ? 1 : 0));

        const bool wrapped = Memo().Wrap();
        Press('W', mods.keys);
        EXPECT_EQ(Memo().Wrap(), mods.acts ? !wrapped : wrapped);
        EXPECT_EQ(WrapButtonDown(), Memo().Wrap());

        ASSERT_EQ(Frm().FindDialog(), nullptr);
        Press('F', mods.keys);
        EXPECT_EQ(Frm().FindDialog() != nullptr, mods.acts);
        if (Frm().FindDialog()) CancelFind(Frm().FindDialog());

        for (WORD key : {WORD{'E'}, WORD{'S'}, WORD{VK_F1}}) Press(key, mods.keys);
        ASSERT_TRUE(WindowAlive());
        EXPECT_TRUE(prompts_.messages.empty());
        EXPECT_EQ(Memo().Text(), "some text\r\nmore\r\n");  // read-only: no key typed into it
    }
}

TEST_F(Keyboard, HeldCtrlWRepeatsAndSwitchesWrapBackAndForth) {
    StartWith("text\r\n");
    SetKeys({VK_CONTROL});
    for (const LPARAM press : {kFirstPress, kRepeatedPress}) {
        // The focus moves with the recreated view, so the repetition arrives there.
        ::PostMessageA(Memo().Handle(), WM_KEYDOWN, 'W', press);
        Pump();
        EXPECT_EQ(Memo().Wrap(), press == kFirstPress);
        EXPECT_EQ(WrapButtonDown(), press == kFirstPress);
    }
    ::PostMessageA(Memo().Handle(), WM_KEYUP, 'W', 0xC0000001);
    Pump();
    SetKeys({});
    EXPECT_EQ(::GetFocus(), Memo().Handle());
}

// Ctrl+T and the menu item alike; the view never sees the key, the window never moves.
TEST_F(Keyboard, CtrlTSwitchesStayOnTop) {
    Start();
    const RECT before = WindowRect(Frm().Handle());
    ViewRecorder recorder(Memo().Handle());
    for (const bool on : {true, false, true, false}) {
        if (on) Press('T', {VK_CONTROL});
        else Frm().cmdStayonTopClick();
        Pump();
        EXPECT_EQ(MenuChecked(forms::kCmdStayonTop), on);
        EXPECT_EQ(Topmost(), on);
        const RECT now = WindowRect(Frm().Handle());
        EXPECT_TRUE(::EqualRect(&now, &before));
        EXPECT_EQ(::GetFocus(), Memo().Handle());
    }
    EXPECT_EQ(recorder.keyMessages, 0);
}

TEST_F(Keyboard, CtrlAIsTakenByTheMenuAndSelectsOnlyOnceAFileIsShown) {
    Start();
    {
        ViewRecorder recorder(Memo().Handle());
        Press('A', {VK_CONTROL});
        EXPECT_EQ(recorder.keyMessages, 0);  // used up although Select All is disabled
    }
    EXPECT_EQ(Selected(), (Range{0, 0}));

    Frm().ShowFile(scratch_.Write("a.nfo", "first\r\nsecond\r\n"));
    Pump();
    Press('A', {VK_CONTROL});
    EXPECT_EQ(Selected(), (Range{0, 15}));

    Frm().ShowFile(scratch_.Write("empty.nfo", ""));  // an empty load disables it again
    Pump();
    EXPECT_TRUE(::GetMenuState(Frm().Commands().Menu(), forms::kCmdSelectAll, MF_BYCOMMAND) & MF_GRAYED);
}

// Only the ordinary close removes the temporary file.
TEST_F(Keyboard, EscClosesThroughFormCloseFromTheViewAndFromTheWindow) {
    for (const bool fromWindow : {false, true}) {
        SCOPED_TRACE(fromWindow ? "window focused" : "view focused");
        StartWith("x\r\n");
        { std::ofstream(platform::TempFilePath()) << "left by an older version"; }
        HWND find = OpenFind();  // an open find dialog goes with the window
        ASSERT_NE(find, nullptr);
        if (fromWindow) {
            ::SetFocus(Frm().Handle());
            ASSERT_EQ(::GetFocus(), Frm().Handle());
            for (WPARAM ch : {WPARAM{13}, WPARAM{'q'}, WPARAM{3}}) ::PostMessageA(Frm().Handle(), WM_CHAR, ch, 1);
            Pump();
            ASSERT_TRUE(WindowAlive()) << "only Esc closes";
            ::PostMessageA(Frm().Handle(), WM_CHAR, 27, 1);
            Pump();
        } else {
            Press(VK_ESCAPE, {});
        }
        EXPECT_FALSE(WindowAlive());
        EXPECT_FALSE(::IsWindow(find));
        EXPECT_FALSE(platform::FileExists(platform::TempFilePath()));
        EXPECT_TRUE(prompts_.messages.empty());
    }
}

// ---- copying --------------------------------------------------------------------------------------

// Ctrl+C follows the selection from the start, as the Copy button does; the view never sees it.
TEST_F(Clipboard, CtrlCCopiesTheSelectionInBothFormatsRightAfterStartUp) {
    StartWith("hello \xC9\xCD\xBB\r\n");
    ViewRecorder recorder(Memo().Handle());
    Press('A', {VK_CONTROL});
    EXPECT_EQ(CtrlCOverMarker(), "hello \xC9\xCD\xBB\r\n");
    const std::string unicode = ClipboardText(CF_UNICODETEXT);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(unicode.data()), unicode.size() / 2),
              u"hello \u2554\u2550\u2557\r\n");
    Select(2, 2);  // an empty selection leaves the clipboard alone
    EXPECT_EQ(CtrlCOverMarker(), "marker");
    EXPECT_EQ(recorder.keyMessages, 0);
    Select(0, 5);
    Command(forms::kBtnCopy);
    EXPECT_EQ(ClipboardText(CF_TEXT), "hello");
}

// The real context menu, closed from a timer while its loop runs, sets the Copy item from the
// selection; Ctrl+C does not depend on what the menu last found.
TEST_F(Clipboard, CopyItemFollowsTheSelectionWhenTheMenuOpensAndCtrlCDoesNotWaitForIt) {
    StartWith("hello world\r\n");
    const auto copyEnabled = [&] {
        return !(::GetMenuState(Frm().Commands().Menu(), forms::kCmdCopySelection, MF_BYCOMMAND) & MF_GRAYED);
    };
    EXPECT_FALSE(copyEnabled());
    Select(6, 11);
    ASSERT_NE(::SetTimer(nullptr, 0, 50, &EndMenuSoon), 0u);
    ::SendMessageA(Memo().Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Memo().Handle()), MAKELPARAM(-1, -1));
    Pump();
    EXPECT_TRUE(copyEnabled());
    EXPECT_EQ(CtrlCOverMarker(), "world");

    Select(2, 2);  // the item is still enabled, but an empty selection copies nothing
    EXPECT_EQ(CtrlCOverMarker(), "marker");

    Frm().mnuMainPopup();  // opened with nothing selected: the item is disabled ...
    EXPECT_FALSE(copyEnabled());
    Select(0, 5);
    EXPECT_EQ(CtrlCOverMarker(), "hello");  // ... and the key still copies the new selection
}

TEST_F(Clipboard, CopyOnSelectCopiesAfterADragAndAfterSelectAll) {
    StartWith("first line of text\r\nsecond line\r\n");
    Command(forms::kCmdCopyonSelect);
    ASSERT_TRUE(MenuChecked(forms::kCmdCopyonSelect));
    HWND view = Memo().Handle();

    SetClipboardMarker("marker");
    ::SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::SendMessageW(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 4));
    ::SendMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(60, 4));
    Pump();
    const platform::Selection dragged = Memo().GetSelection();
    ASSERT_GT(dragged.length(), 0u);
    EXPECT_EQ(ClipboardText(CF_TEXT), Memo().Text().substr(dragged.start, dragged.length()));

    SetClipboardMarker("marker");
    Press('A', {VK_CONTROL});  // the menu takes the press, the release reaches the view
    EXPECT_EQ(ClipboardText(CF_TEXT), "first line of text\r\nsecond line\r\n");

    // Any button release copies, the right one too, once the menu that its release opens is closed.
    SetClipboardMarker("marker");
    ASSERT_NE(::SetTimer(nullptr, 0, 50, &EndMenuSoon), 0u);
    ::SendMessageW(view, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(ClipboardText(CF_TEXT), "first line of text\r\nsecond line\r\n");
}

TEST_F(Clipboard, CopyOnSelectItemOnlyFlipsItsMarkAndNeverCopiesNothing) {
    StartWith("some text\r\n");
    HWND view = Memo().Handle();
    Select(0, 2);
    SetClipboardMarker("marker");
    Command(forms::kCmdCopyonSelect);  // switching it on copies nothing by itself
    ASSERT_TRUE(MenuChecked(forms::kCmdCopyonSelect));
    EXPECT_EQ(Selected(), (Range{0, 2}));

    Select(4, 4);
    ::SendMessageW(view, WM_LBUTTONUP, 0, 0);
    Press(VK_RIGHT, {});
    EXPECT_EQ(ClipboardText(CF_TEXT), "marker");

    Command(forms::kCmdCopyonSelect);
    ASSERT_FALSE(MenuChecked(forms::kCmdCopyonSelect));
    Select(0, 4);
    ::SendMessageW(view, WM_LBUTTONUP, 0, 0);
    Press(VK_SHIFT, {VK_SHIFT});
    EXPECT_EQ(ClipboardText(CF_TEXT), "marker");
}

TEST_F(Clipboard, HoldsTheBytesAsTextAndTheirShapesAsUnicode) {
    StartWith("x\r\n\xC9\xCD\xBB\xB0\xDB art\r\nend\r\n");
    Select(3, 16);
    Command(forms::kBtnCopy);
    EXPECT_EQ(ClipboardText(CF_TEXT), "\xC9\xCD\xBB\xB0\xDB art\r\nen");
    const std::string unicode = ClipboardText(CF_UNICODETEXT);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(unicode.data()), unicode.size() / 2),
              u"\u2554\u2550\u2557\u2591\u2588 art\r\nen");
}

// ---- the find dialog ------------------------------------------------------------------------------

// The typed text is looked for as the bytes whose glyphs the view shows; the search itself is
// tested natively.
TEST_F(FindDialog, FindNextStepsThroughWhatIsShownThenSaysSoAndKeepsTheSelection) {
    StartWith("AAAA \xC9 Caf\x82 in M\x81nchen\r\n");
    HWND dialog = OpenFind();
    ASSERT_NE(dialog, nullptr);
    struct Step { std::u16string find; Range from, selected; std::size_t messages; } steps[] = {
        {u"aa", {0, 0}, {0, 2}, 0},
        {u"aa", {0, 2}, {2, 4}, 0},
        {u"aa", {2, 4}, {2, 4}, 1},               // nothing after the selection: it stays
        {u"\u2554", {2, 4}, {5, 6}, 1},           // the box corner shown for byte 0xC9
        {u"\u00C9", {0, 0}, {0, 0}, 2},           // \u00C9 is 0x90 in code page 437, not the corner
        {u"m\u00FCnchen", {0, 0}, {15, 22}, 2},   // \u00FC is byte 0x81; a-z still fold
        {u"\u20AC", {0, 0}, {0, 0}, 3},           // code page 437 has no euro sign: nothing can match
    };
    for (const Step& step : steps) {
        Select(step.from.first, step.from.second);
        FindNext(dialog, step.find);
        EXPECT_EQ(Selected(), step.selected) << testing::PrintToString(step.find);
        EXPECT_EQ(prompts_.messages.size(), step.messages) << testing::PrintToString(step.find);
    }
    for (const Shown& shown : prompts_.messages) {
        EXPECT_EQ(shown.text, "Cannot find specified text.");
        EXPECT_EQ(shown.flags, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    }
    EXPECT_EQ(Frm().FindDialog(), dialog);  // a search never closes it
    EXPECT_TRUE(::IsWindowVisible(dialog));
}

// The box is a real one here, closed with Enter. Owned by the main window, it would give the
// activation back to the main window when it closes, which then covers the dialog; owned by the
// dialog, it hands it back to the dialog.
TEST_F(FindDialog, StaysActiveAboveTheMainWindowAfterItsNotFoundBox) {
    for (const bool onTop : {false, true}) {
        SCOPED_TRACE(onTop ? "stay on top" : "normal");
        StartWith("text\r\n");
        if (onTop) Press('T', {VK_CONTROL});
        ASSERT_EQ(Topmost(), onTop);
        HWND dialog = OpenFind();
        ASSERT_NE(dialog, nullptr);
        ASSERT_EQ(::GetWindow(dialog, GW_OWNER), Frm().Handle());
        prompts_.messages.clear();
        prompts_.realBoxes = true;
        FindNext(dialog, u"absent");
        prompts_.realBoxes = false;
        ASSERT_EQ(prompts_.messages.size(), 1u);
        EXPECT_EQ(prompts_.messages[0].text, "Cannot find specified text.");
        EXPECT_EQ(prompts_.messages[0].owner, dialog);
        EXPECT_EQ(::GetActiveWindow(), dialog);
        EXPECT_TRUE(::IsWindowVisible(dialog) && ::IsWindowEnabled(dialog));
        EXPECT_TRUE(::IsWindowEnabled(Frm().Handle()));
        bool dialogAbove = false;  // the dialog comes before the main window in the z-order
        for (HWND above = ::GetWindow(Frm().Handle(), GW_HWNDPREV); above && !dialogAbove;
             above = ::GetWindow(above, GW_HWNDPREV))
            dialogAbove = above == dialog;
        EXPECT_TRUE(dialogAbove);
        CancelFind(dialog);
        frm_.reset();
    }
}

TEST_F(FindDialog, ShowsTheFindBoxAloneOnceAndReopensWithTheLastTextWhereItWasClosed) {
    StartWith("text text\r\n");
    HWND dialog = OpenFind();
    ASSERT_NE(dialog, nullptr);
    for (int id : {edt1, IDOK, IDCANCEL}) EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dialog, id))) << id;
    for (int id : {chx1, chx2, rad1, rad2, grp1}) {
        HWND control = ::GetDlgItem(dialog, id);
        EXPECT_TRUE(control == nullptr || !::IsWindowVisible(control)) << id;
    }
    EXPECT_EQ(ControlText(::GetDlgItem(dialog, edt1)), u"");

    // First placement: centred across, a third of the free height down.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoA(::MonitorFromWindow(Frm().Handle(), MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT first = WindowRect(dialog);
    const RECT& area = monitor.rcMonitor;
    EXPECT_EQ(first.left, area.left + (area.right - area.left - (first.right - first.left)) / 2);
    EXPECT_EQ(first.top, area.top + (area.bottom - area.top - (first.bottom - first.top)) / 3);

    EXPECT_EQ(OpenFind(), dialog);  // brought forward, not a second one
    int dialogs = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CountVisibleDialog, reinterpret_cast<LPARAM>(&dialogs));
    EXPECT_EQ(dialogs, 1);

    FindNext(dialog, u"tex");
    ::SetWindowPos(dialog, nullptr, 37, 41, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    CancelFind(dialog);
    EXPECT_EQ(Frm().FindDialog(), nullptr);
    EXPECT_FALSE(::IsWindow(dialog));

    HWND again = OpenFind();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(ControlText(::GetDlgItem(again, edt1)), u"tex");
    const RECT reopened = WindowRect(again);
    EXPECT_EQ(reopened.left, 37);
    EXPECT_EQ(reopened.top, 41);


    // The loop routes the dialog's keys to it: Enter is Find Next, Esc closes the dialog alone.
    HWND box = ::GetDlgItem(again, edt1);
    ::SetFocus(box);
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        ::PostMessageA(box, WM_KEYDOWN, key, 1);
        ::PostMessageA(box, WM_KEYUP, key, 0xC0000001);
        Pump();
    }
    EXPECT_EQ(Selected(), (Range{5, 8}));
    EXPECT_EQ(Frm().FindDialog(), nullptr);
    EXPECT_TRUE(WindowAlive());
    EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(FindDialog, AMatchFarDownIsScrolledIntoViewWithWrapOnOrOff) {
    const std::string text = NumberedLines(400, 350, "needle");
    const std::size_t at = text.find("needle");
    for (const bool wrap : {false, true}) {
        SCOPED_TRACE(wrap ? "wrap on" : "wrap off");
        StartWith(text);
        if (wrap) Press('W', {VK_CONTROL});
        ASSERT_EQ(Memo().Wrap(), wrap);
        ASSERT_EQ(FirstVisibleLine(Memo().Handle()), 0);
        HWND dialog = OpenFind();
        ASSERT_NE(dialog, nullptr);
        FindNext(dialog, u"NEEDLE");
        EXPECT_EQ(Selected(), (Range{at, at + 6}));
        const int first = FirstVisibleLine(Memo().Handle());
        EXPECT_GT(first, 300);
        EXPECT_LE(first, 350);
        CancelFind(dialog);
    }
}

// ---- word wrap ------------------------------------------------------------------------------------

TEST_F(ViewModes, WrapBothWaysKeepsTextSelectionFontAndFocus) {
    std::string text = std::string(300, 'w') + "\r\n\xB0\xB1\xB2 shade\r\n" + NumberedLines(300, -1, "");
    StartWith(text);
    const std::u16string shown = ControlText(Memo().Handle());
    const int unwrappedLines = Memo().LineCount();
    const std::size_t start = text.size() - 30, end = text.size() - 20;
    Select(start, end);
    ASSERT_EQ(::GetFocus(), Memo().Handle());

    for (const bool wrap : {true, false}) {
        SCOPED_TRACE(wrap ? "on" : "off");
        Command(forms::kBtnWrap);  // nothing changes while the button's state is unchanged
        EXPECT_EQ(Memo().Wrap(), !wrap);
        ::SendMessageA(Frm().Commands().ToolBar(), TB_CHECKBUTTON, forms::kBtnWrap, MAKELPARAM(wrap, 0));
        Command(forms::kBtnWrap);
        Pump();
        HWND view = Memo().Handle();
        EXPECT_EQ(Memo().Wrap(), wrap);
        const LONG style = ::GetWindowLongA(view, GWL_STYLE);
        EXPECT_EQ((style & WS_HSCROLL) != 0, !wrap);
        EXPECT_EQ((style & ES_AUTOHSCROLL) != 0, !wrap);
        EXPECT_TRUE(style & WS_VSCROLL);
        EXPECT_EQ(Memo().LineCount() > unwrappedLines, wrap);  // the long line broken for display only
        EXPECT_EQ(Memo().Text(), text);
        EXPECT_EQ(ControlText(view), shown);
        EXPECT_EQ(Selected(), (Range{start, end}));
        EXPECT_EQ(::GetFocus(), view);
        EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(view, WM_GETFONT, 0, 0)), Memo().Font());
        EXPECT_GT(FirstVisibleLine(view), 200);  // the caret far down stays in view
        EXPECT_EQ(::GetDlgCtrlID(view), forms::kMemoId);
    }
}
