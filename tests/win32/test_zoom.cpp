// Zoom as a user reaches it: the keys of both keyboards, Ctrl with the wheel, the context menu's
// Zoom and Colours submenus, and the size carried over a close into the next start.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "core/settings_dialog.hpp"
#include "core/settings_values.hpp"
#include "forms/commands.hpp"
#include "platform/dpi.hpp"
#include "tests/win32/support.hpp"

using namespace testing_support;

namespace {

using Cell = std::pair<long, long>;  // width, height

// Where a character stands, as automation asks the view.
POINT PosOf(HWND view, std::size_t offset) {
    const LRESULT at = ::SendMessageW(view, EM_POSFROMCHAR, offset, 0);
    return POINT{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
}

std::string Lines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "line " + std::to_string(i) + " \xDB\xDB\xCD\xCD\r\n";
    return text;
}

DWORD StoredDword(const char* name) {
    DWORD value = 0, size = sizeof value, type = 0;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\corvalex", 0, KEY_READ, &key) != ERROR_SUCCESS) return 0xDEADBEEF;
    const LONG read = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    ::RegCloseKey(key);
    return read == ERROR_SUCCESS && type == REG_DWORD ? value : 0xDEADBEEF;
}

class Zoom : public MainWindowTest {
protected:
    // The cell of the view's font, measured between the first two characters and the first two lines.
    Cell CellNow() {
        HWND view = Memo().Handle();
        const POINT a = PosOf(view, 0), b = PosOf(view, 1);
        const POINT c = PosOf(view, static_cast<std::size_t>(::SendMessageW(view, EM_LINEINDEX, 1, 0)));
        return Cell{b.x - a.x, c.y - a.y};
    }
    int Points() { return Frm().Zoom().Points(); }
    // The caret's character lies within the view's client area.
    bool CaretShown() {
        RECT client{};
        ::GetClientRect(Memo().Handle(), &client);
        const POINT at = PosOf(Memo().Handle(), Memo().GetSelection().end);
        return at.y >= 0 && at.y < client.bottom && at.x >= 0 && at.x < client.right;
    }
    void Wheel(short delta, WPARAM keys) {
        RECT r{};
        ::GetWindowRect(Memo().Handle(), &r);
        ::SendMessageW(Memo().Handle(), WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(delta)),
                       MAKELPARAM(r.left + 20, r.top + 20));
        Pump();
    }
    void Close() { ::SendMessageW(Frm().Handle(), WM_CLOSE, 0, 0), Pump(); }
};

}  // namespace

TEST_F(Zoom, CtrlPlusGrowsTheCellCtrlZeroRestoresItAndTheSizeSurvivesARestart) {
    Start();
    Frm().ShowFile(scratch_.Write("art.nfo", Lines(400)));
    const std::size_t deep = static_cast<std::size_t>(::SendMessageW(Memo().Handle(), EM_LINEINDEX, 300, 0));
    Memo().SetSelection(deep, deep);
    Memo().ScrollCaret();
    const Cell start = CellNow();
    ASSERT_EQ(Points(), 9);

    for (int i = 0; i < 3; ++i) PressKey(VK_OEM_PLUS, {VK_CONTROL});
    EXPECT_EQ(Points(), 12);
    const Cell grown = CellNow();
    EXPECT_GT(grown.first, start.first);
    EXPECT_GT(grown.second, start.second);
    EXPECT_TRUE(CaretShown()) << "the caret's line stays in view";
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    ASSERT_TRUE(::GetGUIThreadInfo(0, &thread));
    EXPECT_EQ(thread.hwndCaret, Memo().Handle());
    EXPECT_EQ(thread.rcCaret.bottom - thread.rcCaret.top, grown.second) << "the caret is as tall as the rows";

    // The number pad's keys, and '+' typed with Shift as some layouts need it. AltGr+'+' is a
    // character on many layouts and '+' alone is text: neither zooms.
    const struct { WORD key; std::initializer_list<int> held; int points; } steps[] = {
        {VK_ADD, {VK_CONTROL}, 14},        {VK_OEM_PLUS, {VK_CONTROL, VK_SHIFT}, 16}, {VK_SUBTRACT, {VK_CONTROL}, 14},
        {VK_OEM_MINUS, {VK_CONTROL}, 12},  {VK_OEM_PLUS, {VK_CONTROL, VK_MENU}, 12},  {VK_OEM_PLUS, {}, 12},
        {'0', {VK_CONTROL}, 9},            {VK_ADD, {VK_CONTROL}, 10},                {VK_NUMPAD0, {VK_CONTROL}, 9}};
    for (const auto& step : steps) {
        PressKey(step.key, step.held);
        EXPECT_EQ(Points(), step.points) << "key " << step.key << " with " << step.held.size() << " held";
    }
    EXPECT_EQ(CellNow(), start);

    // The ends of the range.
    for (const auto& [key, end] : {std::pair{VK_OEM_MINUS, core::kSmallestZoomPoints}, std::pair{VK_OEM_PLUS, core::kLargestZoomPoints}}) {
        for (int i = 0; i < 30; ++i) PressKey(static_cast<WORD>(key), {VK_CONTROL});
        EXPECT_EQ(Points(), end);
    }
    EXPECT_TRUE(CaretShown());

    // 24 points: stored as the dialog's sizes are, points - 8, and shown again at the next start.
    PressKey('0', {VK_CONTROL});
    while (Points() < 24) PressKey(VK_OEM_PLUS, {VK_CONTROL});
    const Cell zoomed = CellNow();
    Close();
    EXPECT_EQ(StoredDword("FontSize"), 16u);
    EXPECT_EQ(StoredDword("ChosenFontSize"), 1u);
    Start();
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(Points(), 24);
    Frm().ShowFile(scratch_.Write("again.nfo", Lines(3)));
    EXPECT_EQ(CellNow(), zoomed);

    // The smallest size, below what the dialog lists, survives too.
    PressKey('0', {VK_CONTROL});
    for (int i = 0; i < 5; ++i) PressKey(VK_SUBTRACT, {VK_CONTROL});
    ASSERT_EQ(Points(), 6);
    Close();
    EXPECT_EQ(StoredDword("FontSize"), static_cast<DWORD>(-2));
    Start();
    EXPECT_EQ(Points(), 6);
}

TEST_F(Zoom, CtrlWithTheWheelZoomsAndThePlainWheelScrolls) {
    Start();
    Frm().ShowFile(scratch_.Write("long.nfo", Lines(200)));
    // A fine wheel's small turns add up to a notch.
    const struct { short delta; int points; } turns[] = {
        {WHEEL_DELTA, 10}, {-2 * WHEEL_DELTA, 8}, {WHEEL_DELTA / 2, 8}, {WHEEL_DELTA / 2, 9}};
    for (const auto& turn : turns) {
        Wheel(turn.delta, MK_CONTROL);
        EXPECT_EQ(Points(), turn.points) << turn.delta;
    }
    EXPECT_EQ(::SendMessageW(Memo().Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "zooming scrolled nothing";

    Wheel(-WHEEL_DELTA, 0);
    EXPECT_EQ(Points(), 9);
    EXPECT_GT(::SendMessageW(Memo().Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

// The Zoom items send the ids the keys send, down the same road; the Colours items are their own.
TEST_F(Zoom, TheContextMenusColourPairsSetTheViewAndBulletTheOneShown) {
    Start();
    const auto run = [&](int id) { ::SendMessageW(Frm().Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0), Pump(); };
    HMENU menu = Frm().Commands().Menu();
    const auto bullet = [&](int id) { return (::GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND) & MF_CHECKED) != 0; };
    const int presets[] = {forms::kCmdColoursBlackOnWhite, forms::kCmdColoursDos, forms::kCmdColoursWhiteOnNavy,
                           forms::kCmdColoursYellowOnBlack, forms::kCmdColoursLimeOnBlack};
    for (std::size_t i = 0; i < std::size(presets); ++i) {
        run(presets[i]);
        EXPECT_EQ(Memo().FontColor(), core::kColourPresets[i].text) << i;
        EXPECT_EQ(Memo().BackColor(), core::kColourPresets[i].back) << i;
        Frm().mnuMainPopup();
        for (const int other : presets) EXPECT_EQ(bullet(other), other == presets[i]) << i;
    }
    // Colours of no pair: no bullet anywhere. The pair chosen last is stored at close.
    Memo().SetBackColor(0x123456);
    Frm().mnuMainPopup();
    for (const int other : presets) EXPECT_FALSE(bullet(other));
    run(forms::kCmdColoursDos);
    Close();
    EXPECT_EQ(StoredDword("FontColor"), 0xC0C0C0u);
    EXPECT_EQ(StoredDword("BackColor"), 0u);
}
