// Links in the shown text as a user meets them: a click opens the exact address through the shell,
// a drag selects, the hand cursor and the tip show over a link, the context menu copies its
// address, a wrapped link opens from any of its rows, and a failed launch says why. The real
// shell hand-off is checked against a handler of the test's own.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "forms/commands.hpp"
#include "platform/shell.hpp"
#include "platform/unicode.hpp"
#include "tests/win32/support.hpp"

using namespace testing_support;

namespace {

class RecordedShell final : public platform::Shell {
public:
    std::vector<std::string> opened;
    platform::Launch answer;  // started, unless a test says otherwise
    platform::Launch Open(const std::string& target) override {
        opened.push_back(target);
        return answer;
    }
};

// Ends the context menu's modal loop from inside it, first noting its items as they were shown.
std::vector<std::string> g_shownItems;
HMENU g_trackedMenu = nullptr;

void CALLBACK NoteItemsAndEndMenu(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    g_shownItems.clear();
    const int count = ::GetMenuItemCount(g_trackedMenu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[80] = {};
        ::GetMenuStringW(g_trackedMenu, static_cast<UINT>(i), text, 80, MF_BYPOSITION);
        g_shownItems.push_back(text[0] ? platform::Narrow(text) : "-");
    }
    ::EndMenu();
}

class Links : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        shell_ = &shell;
    }
    void StartWith(const std::string& bytes) {
        Start();
        Frm().ShowFile(scratch_.Write("links.nfo", bytes));
        Pump();
    }
    HWND View() { return Memo().Handle(); }
    // A client point inside the cell of byte `offset`, as the view places it.
    POINT At(std::size_t offset) {
        const auto packed = static_cast<DWORD>(::SendMessageW(View(), EM_POSFROMCHAR, offset, 0));
        return POINT{static_cast<short>(LOWORD(packed)) + 2, static_cast<short>(HIWORD(packed)) + 3};
    }
    POINT AtText(const std::string& text, std::size_t plus = 0) { return At(Memo().Text().find(text) + plus); }
    void Mouse(UINT msg, POINT at, WPARAM keys = 0) {
        ::SendMessageW(View(), msg, keys, MAKELPARAM(at.x, at.y));
    }
    void Click(POINT at, WPARAM keys = 0) {
        Mouse(WM_LBUTTONDOWN, at, MK_LBUTTON | keys);
        Mouse(WM_LBUTTONUP, at, keys);
        Pump();
    }
    POINT OnScreen(POINT client) {
        ::ClientToScreen(View(), &client);
        return client;
    }
    // Opens the real context menu at a client point (-1, -1: from the keyboard) and notes its items.
    std::vector<std::string> ContextMenuAt(POINT client) {
        g_trackedMenu = Frm().Commands().Menu();
        g_shownItems.clear();
        EXPECT_NE(::SetTimer(nullptr, 0, 50, &NoteItemsAndEndMenu), 0u);
        const POINT screen = client.x == -1 && client.y == -1 ? client : OnScreen(client);
        ::SendMessageW(View(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(View()), MAKELPARAM(screen.x, screen.y));
        Pump();
        return g_shownItems;
    }
    void Command(int id) {
        ::SendMessageW(Frm().Handle(), WM_COMMAND, static_cast<WPARAM>(id), 0);
        Pump();
    }

    RecordedShell shell;
};

const std::string kFramed =
    "\xDA\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xBF\r\n"
    "\xB3 www.example.org  \xB3\r\n"
    "\xB3 group@example.org \xB3\r\n"
    " irc://irc.example.net/#grp (join)\r\n"
    "Some.Movie.2009.DVDRip.XviD-GRP file_id.diz\r\n";

}  // namespace

TEST_F(Links, AClickOpensTheExactAddressAndNothingElseOpensOne) {
    StartWith(kFramed);
    // Shown, scrolled, selected, copied, hovered and menu-opened over: nothing opens by itself.
    ::UpdateWindow(View());
    Mouse(WM_MOUSEMOVE, AtText("www"));
    ::SendMessageW(Frm().Handle(), WM_COMMAND, forms::kCmdSelectAll, 0);
    ::SendMessageW(Frm().Handle(), WM_COMMAND, forms::kBtnCopy, 0);
    ContextMenuAt(AtText("www"));
    Pump();
    EXPECT_TRUE(shell.opened.empty());

    Click(AtText("www"));
    Click(AtText("example.org ", 4));  // anywhere on it
    Click(AtText("group@"));
    Click(AtText("#grp"));
    EXPECT_EQ(shell.opened, (std::vector<std::string>{"http://www.example.org", "http://www.example.org",
                                                      "mailto:group@example.org", "irc://irc.example.net/#grp"}));
    const std::size_t opened = shell.opened.size();
    for (const char* plain : {"Some.Movie", "DVDRip", "file_id.diz", "(join)", " www"})  // and the blank before
        Click(AtText(plain));
    Click(POINT{At(0).x, At(0).y});  // the frame's corner
    EXPECT_EQ(shell.opened.size(), opened);
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(Memo().GetSelection().length(), 0u) << "a click leaves a caret, as in the text";

    // A double click opens once, with its first click, and its second selects the word as ever.
    Click(AtText("group@"));
    Mouse(WM_LBUTTONDBLCLK, AtText("group@"), MK_LBUTTON);
    Mouse(WM_LBUTTONUP, AtText("group@"));
    Pump();
    EXPECT_EQ(shell.opened.size(), opened + 1);
    EXPECT_GT(Memo().GetSelection().length(), 0u);
}

TEST_F(Links, ADragThatStartsOnALinkSelectsAndOpensNothing) {
    StartWith(kFramed);
    Frm().RunCommand(forms::kCmdCopyonSelect, forms::CommandSource::Click);
    SetClipboardMarker("marker");
    const POINT press = AtText("www", 1);
    Mouse(WM_LBUTTONDOWN, press, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, POINT{press.x + 60, press.y}, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, POINT{press.x + 60, press.y});
    Pump();
    EXPECT_TRUE(shell.opened.empty());
    const platform::Selection selected = Memo().GetSelection();
    EXPECT_EQ(selected.start, Memo().Text().find("www") + 1);
    EXPECT_GT(selected.length(), 5u);
    EXPECT_EQ(ClipboardText(CF_TEXT), Memo().Text().substr(selected.start, selected.length())) << "copy on select";

    // Dragged off the link and back onto it: still a drag.
    Mouse(WM_LBUTTONDOWN, press, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, POINT{press.x, press.y + 40}, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, press, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, press);
    // Pressed on one link, released on another; Shift+click extends the selection.
    Mouse(WM_LBUTTONDOWN, AtText("www"), MK_LBUTTON);
    Mouse(WM_LBUTTONUP, AtText("group@"));
    Click(AtText("www"), MK_SHIFT);
    Pump();
    EXPECT_TRUE(shell.opened.empty());

    // A hand's tremor within the system's drag distance is still a click, and selects nothing.
    SetClipboardMarker("marker");
    Mouse(WM_LBUTTONDOWN, press, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, POINT{press.x + 1, press.y + 1}, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, POINT{press.x + 1, press.y + 1});
    Pump();
    EXPECT_EQ(shell.opened, std::vector<std::string>{"http://www.example.org"});
    EXPECT_EQ(Memo().GetSelection().length(), 0u);
    EXPECT_EQ(ClipboardText(CF_TEXT), "marker");
}

TEST_F(Links, TheHandCursorAndTheAddressTipShowOverALink) {
    StartWith(kFramed);
    ASSERT_TRUE(::SetForegroundWindow(Frm().Handle()));
    const auto cursorAt = [&](POINT client) {
        const POINT screen = OnScreen(client);
        ::SetCursorPos(screen.x, screen.y);
        ::SendMessageW(View(), WM_SETCURSOR, reinterpret_cast<WPARAM>(View()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return ::GetCursor();
    };
    const HCURSOR hand = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));
    const HCURSOR beam = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32513));
    const std::pair<const char*, HCURSOR> cases[] = {{"www", hand}, {"group@", hand}, {"DVDRip", beam}, {" www", beam}};
    for (const auto& [text, cursor] : cases) EXPECT_EQ(cursorAt(AtText(text)), cursor) << text;

    HWND tip = Memo().LinkTipWindow();
    ASSERT_NE(tip, nullptr);
    wchar_t className[32] = {};
    ::GetClassNameW(tip, className, 32);
    EXPECT_STREQ(className, TOOLTIPS_CLASSW);
    const auto hoverUntilTip = [&](POINT client) {
        const POINT screen = OnScreen(client);
        ::SetCursorPos(screen.x, screen.y);
        Mouse(WM_MOUSEMOVE, client);
        for (int waited = 0; waited < 3000 && !::IsWindowVisible(tip); waited += 20) {
            Pump();
            ::Sleep(20);
        }
        wchar_t text[300] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V1_SIZE;
        tool.lpszText = text;
        ::SendMessageW(tip, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        return ::IsWindowVisible(tip) ? platform::Narrow(text) : std::string("(no tip)");
    };
    EXPECT_EQ(hoverUntilTip(AtText("www", 5)), "http://www.example.org");
    EXPECT_EQ(hoverUntilTip(AtText("group@", 2)), "mailto:group@example.org");
    Mouse(WM_MOUSEMOVE, AtText("DVDRip"));
    Pump();
    EXPECT_FALSE(::IsWindowVisible(tip)) << "off the link, the tip goes";
    EXPECT_TRUE(shell.opened.empty());
}

// Over a link, and only there, the menu starts with Copy Link Address; the other items keep their
// order. From the keyboard it opens at the caret.
TEST_F(Links, CopyLinkAddressIsOfferedOverALinkAndCopiesItsAddress) {
    StartWith(kFramed);
    const std::vector<std::string> plainMenu = ContextMenuAt(AtText("DVDRip"));
    ASSERT_FALSE(plainMenu.empty());
    EXPECT_EQ(plainMenu[0], "&Copy\tCtrl+C");
    std::vector<std::string> linkMenu = plainMenu;
    linkMenu.insert(linkMenu.begin(), {"Copy &Link Address", "-"});
    const std::size_t irc = Memo().Text().find("irc") + 2;
    struct Case { POINT at; std::size_t caret; const char* copied; } cases[] = {
        {AtText("www", 3), 0, "http://www.example.org"},
        {AtText("group@"), 0, "group@example.org"},  // a mail address without its scheme
        {POINT{-1, -1}, irc, "irc://irc.example.net/#grp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.copied);
        if (c.caret) Memo().SetSelection(c.caret, c.caret);
        SetClipboardMarker("marker");
        EXPECT_EQ(ContextMenuAt(c.at), linkMenu);
        Command(forms::kCmdCopyLinkAddress);
        EXPECT_EQ(ClipboardText(CF_TEXT), c.copied);
        const std::string unicode = ClipboardText(CF_UNICODETEXT);
        EXPECT_EQ(platform::Narrow(std::wstring(reinterpret_cast<const wchar_t*>(unicode.data()), unicode.size() / 2)),
                  c.copied);
    }
    EXPECT_EQ(ContextMenuAt(AtText("(join)")), plainMenu);
    EXPECT_FALSE(Frm().Commands().Shown(forms::kCmdCopyLinkAddress));
    EXPECT_TRUE(shell.opened.empty());
}

// A narrow view with wrap on: the address breaks after a slash onto the next rows, and is one link
// on each of them.
TEST_F(Links, AWrappedLinkOpensWholeFromItsLaterRows) {
    const std::string address = "http://www.example.org/releases/2024/group/index.html";
    StartWith("Site: " + address + " - come by\r\n");
    Frm().RunCommand(forms::kBtnWrap, forms::CommandSource::Key);
    ASSERT_TRUE(Memo().Wrap());
    ::SetWindowPos(Frm().Handle(), nullptr, 0, 0, 260, 400, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    const std::size_t start = Memo().Text().find("http");
    const auto rowOf = [&](std::size_t offset) {
        return ::SendMessageW(View(), EM_LINEFROMCHAR, offset, 0);
    };
    const std::size_t last = start + address.size() - 1;
    ASSERT_GT(rowOf(last), rowOf(start)) << "the address must wrap for this test";
    Click(At(last));
    Click(At(start + address.find("group")));
    EXPECT_EQ(shell.opened, (std::vector<std::string>{address, address}));
}

TEST_F(Links, AFailedLaunchSaysSoWithTheSystemsReason) {
    StartWith(kFramed);
    shell.answer = platform::Launch{false, "No application is associated with the specified file for this operation"};
    Click(AtText("#grp"));
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text,
              "Unable to open the link 'irc://irc.example.net/#grp'. No application is associated with the "
              "specified file for this operation.");
    EXPECT_EQ(prompts_.messages[0].flags, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_TRUE(WindowAlive());
}

// The real hand-off: a handler of the test's own for the irc scheme writes what it was given; with
// none, the launch reports the system's reason rather than succeeding.
TEST(SystemShell, HandsTheExactAddressToTheSchemesHandlerAndReportsAMissingOne) {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string out = std::string(temp) + "corvale-link-handler.txt";
    ::DeleteFileA(out.c_str());
    const auto deleteScheme = [] {
        for (const char* key : {"irc\\shell\\open\\command", "irc\\shell\\open", "irc\\shell", "irc"})
            ::RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
    };
    HKEY existing = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, "irc", 0, KEY_READ, &existing) == ERROR_SUCCESS) {
        ::RegCloseKey(existing);
        GTEST_SKIP() << "the prefix has a handler for irc links of its own";
    }

    platform::SystemShell system;
    const platform::Launch missing = system.Open("irc://irc.example.net/#grp");
    EXPECT_FALSE(missing.started);
    EXPECT_FALSE(missing.reason.empty());

    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CLASSES_ROOT, "irc\\shell\\open\\command", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                nullptr), ERROR_SUCCESS);
    const std::string command = "cmd.exe /c echo %1>>\"" + out + "\"";
    ::RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                     static_cast<DWORD>(command.size() + 1));
    ::RegCloseKey(key);
    HKEY scheme = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, "irc", 0, KEY_WRITE, &scheme) == ERROR_SUCCESS) {
        ::RegSetValueExA(scheme, "URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
        ::RegCloseKey(scheme);
    }

    const platform::Launch launched = system.Open("irc://irc.example.net/#grp");
    EXPECT_TRUE(launched.started) << launched.reason;
    std::string written;
    for (int waited = 0; waited < 10000 && written.empty(); waited += 50) {
        ::Sleep(50);
        std::ifstream in(out);
        std::getline(in, written);
    }
    EXPECT_EQ(written.substr(0, written.find_last_not_of(" \r") + 1), "irc://irc.example.net/#grp");
    deleteScheme();
    ::DeleteFileA(out.c_str());
}
