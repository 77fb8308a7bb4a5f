// The main window as created: layout figures, tool bar, context menu, error box, close sequence.
#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/dpi.hpp"
#include "platform/files.hpp"
#include "platform/status_bar.hpp"
#include "tests/win32/support.hpp"

using namespace testing_support;
using forms::TFrmMain;

namespace {

RECT ClientRect(HWND wnd) {
    RECT rect{};
    ::GetClientRect(wnd, &rect);
    return rect;
}

// Resizes the window so that its client area has the given size.
void SetClientSize(HWND wnd, int width, int height) {
    RECT frame{0, 0, width, height};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongA(wnd, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongA(wnd, GWL_EXSTYLE)));
    ::SetWindowPos(wnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::vector<int> PanelEdges(HWND bar) {
    int edges[8] = {};
    const int count = static_cast<int>(::SendMessageA(bar, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)));
    return std::vector<int>(edges, edges + count);
}

std::string MenuCaption(HMENU menu, int position) {
    char text[64] = {};
    ::GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

std::string ToolTipText(HWND toolBar, int id) {
    HWND tips = reinterpret_cast<HWND>(::SendMessageA(toolBar, TB_GETTOOLTIPS, 0, 0));
    char text[80] = {};
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = toolBar;
    tool.uId = static_cast<UINT_PTR>(id);
    tool.lpszText = text;
    ::SendMessageA(tips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    if (tool.lpszText == LPSTR_TEXTCALLBACKA || text[0] == '\0') {
        // The tool bar asks its owner for the text when the tip shows; ask the same way.
        NMTTDISPINFOA info{};
        info.hdr.hwndFrom = tips;
        info.hdr.idFrom = static_cast<UINT_PTR>(id);
        info.hdr.code = TTN_GETDISPINFOA;
        ::SendMessageA(::GetParent(toolBar), WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&info));
        return info.lpszText ? info.lpszText : "";
    }
    return text;
}

using MainWindow = MainWindowTest;

}  // namespace

TEST_F(MainWindow, HasItsCaptionDesignedClientSizeAndStartsEmpty) {
    Start();
    char caption[64] = {};
    ::GetWindowTextA(Frm().Handle(), caption, sizeof caption);
    EXPECT_STREQ(caption, "Corvale");
    const LONG style = ::GetWindowLongA(Frm().Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_EQ(Memo().Text(), "");
    for (int panel = 0; panel < 6; ++panel) EXPECT_EQ(Frm().StatusText(panel), "") << panel;
    EXPECT_EQ(::GetFocus(), Memo().Handle());
    const LONG memoStyle = ::GetWindowLongA(Memo().Handle(), GWL_STYLE);
    EXPECT_TRUE(memoStyle & ES_READONLY);
    EXPECT_TRUE(memoStyle & ES_NOHIDESEL);
    EXPECT_TRUE(memoStyle & WS_HSCROLL);
    EXPECT_TRUE(memoStyle & WS_VSCROLL);
}

TEST_F(MainWindow, PanelZeroTakesWhatTheFixedPanelsLeave) {
    Start();
    HWND wnd = Frm().Handle();
    SetClientSize(wnd, TFrmMain::kDesignedClientWidth, TFrmMain::kDesignedClientHeight);
    Pump();
    EXPECT_EQ(ClientRect(wnd).right, 692);
    // The encoding panel is as wide as its longest name, at least as designed.
    auto widths = Frm().PanelWidths();
    const int encoding = widths[5];
    EXPECT_GE(encoding, 100);
    EXPECT_EQ(widths, (std::array<int, 6>{464 - encoding, 4, 110, 4, 110, encoding}));
    const int w0 = 464 - encoding;
    EXPECT_EQ(PanelEdges(Frm().StatusBar()), (std::vector<int>{w0, w0 + 4, w0 + 114, w0 + 118, w0 + 228, -1}));

    SetClientSize(wnd, 692 + 137, 511);
    Pump();
    EXPECT_EQ(Frm().PanelWidths()[0], w0 + 137);
    EXPECT_EQ(PanelEdges(Frm().StatusBar()),
              (std::vector<int>{w0 + 137, w0 + 141, w0 + 251, w0 + 255, w0 + 365, -1}));

    SetClientSize(wnd, 200, 300);  // narrower than the five fixed panels: applied as computed
    Pump();
    EXPECT_EQ(Frm().PanelWidths()[0], ClientRect(wnd).right - 228 - encoding);
    EXPECT_LT(Frm().PanelWidths()[0], 0);
}

// A window that was never sized, as an overlapped window is before it is first shown: its bar has
// the six panels already, and keeps texts written into them now.
TEST(StatusBar, HasItsSixPanelsBeforeItsParentIsFirstSized) {
    HWND parent = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 500, 300,
                                    nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    {
        platform::StatusBar bar(parent, 7, platform::SystemDpi());
        EXPECT_EQ(PanelEdges(bar.Handle()).size(), 6u);
        const std::string texts[] = {"C:\\\u65E5\u672C.nfo", "", "1,234 bytes", "", "1/1/1975 12:00 PM", "UTF-8"};
        for (int panel : {0, 2, 4, 5}) bar.SetText(panel, texts[panel]);
        bar.Layout();
        for (int panel : {0, 2, 4, 5}) EXPECT_EQ(bar.Text(panel), texts[panel]) << panel;
    }
    ::DestroyWindow(parent);
}

TEST_F(MainWindow, ViewFillsTheAreaBetweenToolBarAndStatusBar) {
    Start();
    HWND wnd = Frm().Handle();
    SetClientSize(wnd, 692, 511);
    Pump();
    RECT memo{}, bar{};
    ::GetWindowRect(Memo().Handle(), &memo);
    ::GetWindowRect(Frm().StatusBar(), &bar);
    ::MapWindowPoints(HWND_DESKTOP, wnd, reinterpret_cast<POINT*>(&memo), 2);
    ::MapWindowPoints(HWND_DESKTOP, wnd, reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(Frm().Commands().Height(), 43);
    EXPECT_EQ(memo.top, 43);
    EXPECT_EQ(memo.left, 0);
    EXPECT_EQ(memo.right, 692);
    EXPECT_EQ(memo.bottom, bar.top);
    EXPECT_EQ(bar.bottom, 511);

    SetClientSize(wnd, 150, 400);  // the buttons wrap onto more rows and the bar grows
    Pump();
    EXPECT_GT(Frm().Commands().Height(), 43 + 30);
    ::GetWindowRect(Memo().Handle(), &memo);
    ::MapWindowPoints(HWND_DESKTOP, wnd, reinterpret_cast<POINT*>(&memo), 2);
    EXPECT_EQ(memo.top, Frm().Commands().Height());
}

TEST_F(MainWindow, ToolBarHoldsTheButtonsInOrderWithCaptionsAndHints) {
    Start();
    HWND bar = Frm().Commands().ToolBar();
    struct Expected { int id; const char* caption; const char* hint; int left; } expected[] = {
        {forms::kBtnOpen, "Open", "Ctrl+O", 0},       {0, "", "", 46},
        {forms::kBtnExport, "Export", "Ctrl+E", 54},  {0, "", "", 100},
        {forms::kBtnCopy, "Copy", "Ctrl+C", 108},     {0, "", "", 154},
        {forms::kBtnWrap, "Wrap", "Ctrl+W", 162},     {0, "", "", 208},
        {forms::kBtnFind, "Find", "Ctrl+F", 216},     {0, "", "", 262},
        {forms::kBtnSettings, "Settings", "Ctrl+S", 270}, {0, "", "", 316},
        {forms::kBtnAbout, "About", "F1", 324},
    };
    ASSERT_EQ(::SendMessageA(bar, TB_BUTTONCOUNT, 0, 0), 13);
    RECT first{};
    ::SendMessageA(bar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    for (int index = 0; index < 13; ++index) {
        const Expected& e = expected[index];
        TBBUTTON button{};
        ::SendMessageA(bar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button));
        RECT item{};
        ::SendMessageA(bar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(item.left - first.left, e.left) << index;
        if (!e.id) {
            EXPECT_TRUE(button.fsStyle & BTNS_SEP) << index;
            EXPECT_EQ(item.right - item.left, 8) << index;
            continue;
        }
        EXPECT_EQ(button.idCommand, e.id);
        EXPECT_EQ(item.right - item.left, 46) << e.caption;
        EXPECT_EQ(item.bottom - item.top, 37) << e.caption;
        char caption[32] = {};
        ::SendMessageA(bar, TB_GETBUTTONTEXTA, e.id, reinterpret_cast<LPARAM>(caption));
        EXPECT_STREQ(caption, e.caption);
        EXPECT_EQ(ToolTipText(bar, e.id), e.hint) << e.caption;
        EXPECT_EQ((button.fsStyle & BTNS_CHECK) != 0, e.id == forms::kBtnWrap) << e.caption;
    }
    const LONG style = ::GetWindowLongA(bar, GWL_STYLE);
    EXPECT_TRUE(style & TBSTYLE_FLAT);
    EXPECT_TRUE(style & TBSTYLE_WRAPABLE);
    EXPECT_TRUE(style & TBSTYLE_TOOLTIPS);
}

TEST_F(MainWindow, WrapButtonStaysDownUntilClickedAgain) {
    Start();
    HWND bar = Frm().Commands().ToolBar();
    RECT item{};
    ::SendMessageA(bar, TB_GETRECT, forms::kBtnWrap, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    auto click = [&] {
        ::SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageA(bar, WM_LBUTTONUP, 0, at);
        Pump();
    };
    EXPECT_FALSE(::SendMessageA(bar, TB_ISBUTTONCHECKED, forms::kBtnWrap, 0));
    click();
    EXPECT_TRUE(::SendMessageA(bar, TB_ISBUTTONCHECKED, forms::kBtnWrap, 0));
    EXPECT_TRUE(Memo().Wrap());
    EXPECT_FALSE(::GetWindowLongA(Memo().Handle(), GWL_STYLE) & WS_HSCROLL);
    click();
    EXPECT_FALSE(::SendMessageA(bar, TB_ISBUTTONCHECKED, forms::kBtnWrap, 0));
    EXPECT_FALSE(Memo().Wrap());
    EXPECT_TRUE(::GetWindowLongA(Memo().Handle(), GWL_STYLE) & WS_HSCROLL);
}

// The five items of old with the two picture commands, the folder's steps and Reload among them,
// then the three submenus: zoom, the colour pairs and the encodings.
TEST_F(MainWindow, ContextMenuHasItsItemsSubmenusAndStartStates) {
    Start();
    HMENU menu = Frm().Commands().Menu();
    const std::vector<std::string> items = {"&Copy\tCtrl+C", "Copy as &Picture\tCtrl+Shift+C", "&Select All\tCtrl+A",
                                            "-", "Ne&xt File\tAlt+Right", "&Previous File\tAlt+Left",
                                            "&Reload\tF5", "-", "Save as P&icture...\tCtrl+Shift+E", "-",
                                            "Stay on &Top\tCtrl+T", "Copy o&n Select", "-", "&Zoom", "C&olours",
                                            "&Encoding"};
    ASSERT_EQ(::GetMenuItemCount(menu), static_cast<int>(items.size()));
    for (std::size_t i = 0; i < items.size(); ++i) {
        const UINT at = static_cast<UINT>(i);
        if (items[i] == "-")
            EXPECT_TRUE(::GetMenuState(menu, at, MF_BYPOSITION) & MF_SEPARATOR) << i;
        else
            EXPECT_EQ(MenuCaption(menu, static_cast<int>(i)), items[i]);
    }
    HMENU zoom = ::GetSubMenu(menu, 13);
    ASSERT_TRUE(zoom);
    ASSERT_EQ(::GetMenuItemCount(zoom), 4);
    EXPECT_EQ(MenuCaption(zoom, 0), "Zoom &In\tCtrl++");
    EXPECT_EQ(MenuCaption(zoom, 1), "Zoom &Out\tCtrl+-");
    EXPECT_TRUE(::GetMenuState(zoom, 2, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(MenuCaption(zoom, 3), "&Normal Size\tCtrl+0");
    HMENU colours = ::GetSubMenu(menu, 14);
    ASSERT_TRUE(colours);
    ASSERT_EQ(::GetMenuItemCount(colours), 5);
    EXPECT_EQ(MenuCaption(colours, 0), "&Black on White");
    EXPECT_EQ(MenuCaption(colours, 1), "Light &Grey on Black (DOS)");
    EXPECT_EQ(MenuCaption(colours, 2), "&White on Navy");
    EXPECT_EQ(MenuCaption(colours, 3), "&Yellow on Black");
    EXPECT_EQ(MenuCaption(colours, 4), "&Lime on Black");
    EXPECT_TRUE(::GetMenuState(menu, forms::kCmdCopySelection, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(::GetMenuState(menu, forms::kCmdSelectAll, MF_BYCOMMAND) & MF_GRAYED);
    for (int id : {forms::kCmdNextFile, forms::kCmdPreviousFile, forms::kCmdReload})
        EXPECT_TRUE(::GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND) & MF_GRAYED) << id;
    EXPECT_TRUE(::GetMenuState(menu, forms::kCmdCopyAsPicture, MF_BYCOMMAND) & MF_GRAYED);
    for (int id : {forms::kCmdStayonTop, forms::kCmdCopyonSelect}) {
        const UINT state = ::GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND);
        EXPECT_FALSE(state & MF_GRAYED) << id;
        EXPECT_FALSE(state & MF_CHECKED) << id;
    }
}

TEST_F(MainWindow, AnErrorInFormCreateEndsItThereButTheWindowIsShown) {
    // A settings key without X: the error box, then neither the command-line file nor drops.
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\corvalex", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                nullptr), ERROR_SUCCESS);
    for (const char* name : {"FontColor", "BackColor", "Font", "FontSize", "Wrap", "COS", "SOT"}) {
        DWORD zero = 0;
        ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), 4);
    }
    ::RegCloseKey(key);
    const std::string file = scratch_.Write("shown.nfo", "text\r\n");
    Start("corvalex.exe \"" + file + "\"");
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text, "Failed to get data for 'X'");
    EXPECT_EQ(prompts_.messages[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_TRUE(::IsWindowVisible(Frm().Handle()));
    EXPECT_EQ(Memo().Text(), "");  // the command-line step never ran
    EXPECT_FALSE(::GetWindowLongA(Frm().Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

TEST_F(MainWindow, ErrorBoxAddsAFullStopAfterAWord) {
    Start();
    const std::string file = scratch_.Write("shown.nfo", "x\r\n");
    // No temp folder to make the cleaning copy in: an error leaves the handler.
    const std::string missing = scratch_.Path() + "\\missing\\";
    {
        TempDirOverride temp(missing);
        prompts_.openAnswers.push_back({file, 1});
        ::SendMessageA(Frm().Handle(), WM_COMMAND, forms::kBtnOpen, 0);
    }
    ASSERT_EQ(prompts_.messages.size(), 1u);
    const std::string& text = prompts_.messages[0].text;
    EXPECT_EQ(text.rfind("Cannot create file \"" + missing, 0), 0u) << text;
    EXPECT_EQ(text.back(), '.');
    EXPECT_NE(text.substr(text.size() - 2), "..");
    EXPECT_EQ(prompts_.messages[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_TRUE(WindowAlive());  // the program goes on
}

TEST_F(MainWindow, ClosingRemovesTheTemporaryFileAndIgnoresAnAbsentOne) {
    Start();
    const std::string temp = platform::TempFilePath();
    { std::ofstream(temp) << "left over"; }
    ASSERT_TRUE(platform::FileExists(temp));
    ::SendMessageA(Frm().Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(WindowAlive());
    EXPECT_FALSE(platform::FileExists(temp));
    EXPECT_TRUE(prompts_.messages.empty());

    Start();  // nothing to delete: nothing is shown
    ::SendMessageA(Frm().Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(WindowAlive());
    EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(MainWindow, EscInTheViewClosesTheWindowThroughFormClose) {
    Start();
    const std::string temp = platform::TempFilePath();
    { std::ofstream(temp) << "left over"; }
    PressKey(VK_ESCAPE);
    EXPECT_FALSE(WindowAlive());
    EXPECT_FALSE(platform::FileExists(temp));
    HKEY key = nullptr;
    EXPECT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\corvalex", 0, KEY_READ, &key), ERROR_SUCCESS);
    if (key) ::RegCloseKey(key);
}
