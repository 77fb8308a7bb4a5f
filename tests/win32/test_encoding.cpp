// The encodings as a user meets them: UTF-8 files with and without a mark show their art, the
// sixth status bar panel names what is shown, and the Encoding submenu (from the context menu or
// a click on that panel) reads the shown file again another way.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "core/cp437.hpp"
#include "core/text_load.hpp"
#include "forms/commands.hpp"
#include "platform/status_bar.hpp"
#include "platform/unicode.hpp"
#include "tests/win32/support.hpp"

using namespace std::string_literals;
using testing_support::MainWindowTest;

namespace {

constexpr int kEncodingPanel = platform::StatusBar::kEncodingPanel;

// The code page 437 bytes as a Unicode editor saves them in UTF-8: each byte's glyph.
std::string AsUtf8(const std::string& cp437) {
    std::string out;
    for (unsigned char byte : cp437) out += platform::Narrow(std::wstring(1, static_cast<wchar_t>(core::Cp437Glyph(byte))));
    return out;
}

const std::string kArt = "\xC9\xCD\xCD\xCD\xBB\r\n\xBA \xDB\xB0\xB1\xB2 M\x81nchen \xBA\r\n\xC8\xCD\xCD\xCD\xBC\r\n";

// What the popup menu loop showed while it ran: its menu and the items checked in it.
HMENU g_shownMenu = nullptr;
std::vector<UINT> g_checkedIds;

void CALLBACK NoteMenuAndEnd(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    g_shownMenu = nullptr;
    g_checkedIds.clear();
    if (HWND popup = ::FindWindowW(L"#32768", nullptr)) {
        g_shownMenu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
        for (int i = 0; g_shownMenu && i < ::GetMenuItemCount(g_shownMenu); ++i)
            if (::GetMenuState(g_shownMenu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED)
                g_checkedIds.push_back(::GetMenuItemID(g_shownMenu, i));
    }
    ::EndMenu();
}

class Encoding : public MainWindowTest {
protected:
    std::string Show(const std::string& name, const std::string& bytes) {
        const std::string path = scratch_.Write(name, bytes);
        Frm().ShowFile(path);
        Pump();
        return path;
    }
    void Command(int id) { ::SendMessageW(Frm().Handle(), WM_COMMAND, static_cast<WPARAM>(id), 0), Pump(); }
    std::string Panel() { return Frm().StatusText(kEncodingPanel); }
    bool Checked(int id) { return ::GetMenuState(Frm().Commands().Menu(), static_cast<UINT>(id), MF_BYCOMMAND) & MF_CHECKED; }
    LRESULT FirstVisibleLine() { return ::SendMessageW(Memo().Handle(), EM_GETFIRSTVISIBLELINE, 0, 0); }
    void ClickPanel(int panel) {
        NMMOUSE click{};
        click.hdr.hwndFrom = Frm().StatusBar();
        click.hdr.idFrom = forms::kStatusBarId;
        click.hdr.code = NM_CLICK;
        click.dwItemSpec = static_cast<DWORD_PTR>(panel);
        g_shownMenu = nullptr;
        ASSERT_NE(::SetTimer(nullptr, 0, 50, &NoteMenuAndEnd), 0u);
        ::SendMessageW(Frm().Handle(), WM_NOTIFY, forms::kStatusBarId, reinterpret_cast<LPARAM>(&click));
        Pump();
    }
};

}  // namespace

// Each road into the view names what it shows; the art of a UTF-8 file, marked or not, is the
// art of its code page 437 original cell for cell, and panels 0-4 keep their texts.
TEST_F(Encoding, EveryKindOfFileShowsItsArtAndThePanelNamesIt) {
    Start();
    const std::string expected = core::BuildViewText(kArt, true);
    struct Case { std::string name, bytes, text, panel; } cases[] = {
        {"dos.nfo", kArt, expected, "DOS 437"},
        {"plain.nfo", AsUtf8(kArt), expected, "UTF-8"},
        {"marked.nfo", "\xEF\xBB\xBF" + AsUtf8(kArt), expected, "UTF-8 mark"},
        {"le.txt", "\xFF\xFE" "A\0\x50%\r\0\n\0"s, "A\xCD\r\n", "UTF-16 LE"},
        {"be.txt", "\xFE\xFF\0A%\x50"s, "A\xCD\r\n", "UTF-16 BE"},
        {"art.nfo", "\xC4\xB3 \xC4\xB3\r\n", "\xC4\xB3 \xC4\xB3\r\n", "DOS 437"},  // valid UTF-8, but art
    };
    for (const auto& c : cases) {
        const std::string path = Show(c.name, c.bytes);
        EXPECT_EQ(Memo().Text(), c.text) << c.name;
        EXPECT_EQ(Panel(), c.panel) << c.name;
        EXPECT_EQ(Frm().StatusText(0), path);
        EXPECT_EQ(Frm().StatusText(2), testing_support::ExpectedSizeText(static_cast<std::int32_t>(c.bytes.size())));
        EXPECT_EQ(Frm().StatusText(4), testing_support::ExpectedDateText(path));
    }
}

// Read another way, the same file keeps its place; the choice is marked in the menu and holds
// until another file is opened, which is read automatically again.
TEST_F(Encoding, ChoosingRereadsTheFileInPlaceUntilAnotherIsOpened) {
    Start();
    std::string lines;
    for (int i = 0; i < 300; ++i) lines += "\xE2\x95\x90 line " + std::to_string(i) + "\r\n";
    const std::string path = Show("long.nfo", lines);
    ASSERT_EQ(Panel(), "UTF-8");
    ::SendMessageW(Memo().Handle(), EM_LINESCROLL, 0, 120);
    ASSERT_EQ(FirstVisibleLine(), 120);

    Command(forms::kCmdEncodingDos437);
    EXPECT_EQ(Panel(), "DOS 437");
    EXPECT_EQ(Memo().Text().substr(0, 12), "\xE2\x95\x90 line 0\r\n");
    EXPECT_EQ(FirstVisibleLine(), 120);
    EXPECT_EQ(Frm().StatusText(0), path);  // the file's name, not the progress of its reading
    EXPECT_EQ(Frm().StatusText(2), testing_support::ExpectedSizeText(static_cast<std::int32_t>(lines.size())));
    Command(forms::kCmdReload);
    EXPECT_EQ(Panel(), "DOS 437") << "F5 reads the file the way it was chosen";
    EXPECT_EQ(FirstVisibleLine(), 120);

    Command(forms::kCmdEncodingAutomatic);
    EXPECT_EQ(Panel(), "UTF-8");
    EXPECT_EQ(Memo().Text().substr(0, 10), "\xCD line 0\r\n");

    Command(forms::kCmdEncodingWindows1252);
    Show("other.nfo", "caf\xC3\xA9\r\n");
    EXPECT_EQ(Panel(), "UTF-8");
    EXPECT_EQ(Memo().Text(), "caf\x82\r\n");
    Frm().mnuMainPopup();
    EXPECT_TRUE(Checked(forms::kCmdEncodingAutomatic));
    EXPECT_FALSE(Checked(forms::kCmdEncodingWindows1252));
}

// Each choice reads the shown file again its own way, and a file that cannot be read that way
// still shows, '?' where a character breaks. (How each way decodes is the text loader's to test.)
TEST_F(Encoding, EachChoiceRereadsTheShownFileItsWay) {
    Start();
    const struct { const char* file; std::string bytes; int id; std::string text; const char* panel; } steps[] = {
        {"odd.txt", "A\0B\0C"s, forms::kCmdEncodingUtf16Le, "AB?\r\n", "UTF-16 LE"},
        {nullptr, "", forms::kCmdEncodingUtf16Be, "???\r\n", "UTF-16 BE"},  // U+4100, U+4200 lack a glyph; C is cut
        {"prose.txt", "caf\xE9 \x93q\x94 \x96 \x80\r\n", forms::kCmdEncodingWindows1252, "caf\x82 \"q\" - ?\r\n", "Windows-1252"},
        {nullptr, "", forms::kCmdEncodingUtf8, "caf? ?q? ? ?\r\n", "UTF-8"},
    };
    for (const auto& step : steps) {
        if (step.file) Show(step.file, step.bytes);
        Command(step.id);
        EXPECT_EQ(Memo().Text(), step.text) << step.id;
        EXPECT_EQ(Panel(), step.panel) << step.id;
    }
}

// The panel is where a user looks: a click on it opens the Encoding submenu itself, the choice in
// force marked and no other; a click on another panel opens nothing.
TEST_F(Encoding, ClickOnTheEncodingPanelOpensTheSubmenu) {
    Start();
    Show("art.nfo", AsUtf8(kArt));
    ClickPanel(kEncodingPanel);
    HMENU submenu = Frm().Commands().Submenu(forms::kEncodingMenu);
    ASSERT_NE(submenu, nullptr);
    EXPECT_EQ(g_shownMenu, submenu);
    EXPECT_EQ(g_checkedIds, (std::vector<UINT>{forms::kCmdEncodingAutomatic}));

    Command(forms::kCmdEncodingDos437);
    ClickPanel(kEncodingPanel);
    EXPECT_EQ(g_checkedIds, (std::vector<UINT>{forms::kCmdEncodingDos437}));
    ClickPanel(2);
    EXPECT_EQ(g_shownMenu, nullptr);
}

// A file above the cleaning threshold goes the worker's road, decided on its start, and so does
// its reading again.
TEST_F(Encoding, LargeFileIsDecidedOnItsStartAndRereadByTheWorker) {
    Start();
    std::string big = "\xE2\x95\x94\xE2\x95\x97\r\n";
    while (big.size() <= static_cast<std::size_t>(core::kCleanThreshold)) big += std::string(78, 'a') + "\r\n";
    Show("big.nfo", big);
    EXPECT_EQ(Panel(), "UTF-8");
    EXPECT_EQ(Memo().Text().substr(0, 4), "\xC9\xBB\r\n");
    Command(forms::kCmdEncodingDos437);
    EXPECT_EQ(Panel(), "DOS 437");
    EXPECT_EQ(Memo().Text().substr(0, 8), "\xE2\x95\x94\xE2\x95\x97\r\n");
}
