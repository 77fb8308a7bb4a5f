// The command table against the window made from it: every row's tool button, menu item, tool tip
// and keys, read back from the real controls and driven through the message loop.
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "core/shortcuts.hpp"
#include "forms/commands.hpp"
#include "platform/unicode.hpp"
#include "tests/win32/support.hpp"

using namespace testing_support;

namespace {

constexpr UINT_PTR kRecorderId = 0xC0DE;

// Takes the commands that keys send to the main window, so that none of them runs, and counts
// the key presses that reach the view.
class Recorder {
public:
    Recorder(HWND main, HWND view) : main_(main), view_(view) {
        ::SetWindowSubclass(main_, &MainProc, kRecorderId, reinterpret_cast<DWORD_PTR>(this));
        ::SetWindowSubclass(view_, &ViewProc, kRecorderId, reinterpret_cast<DWORD_PTR>(this));
    }
    ~Recorder() {
        if (::IsWindow(main_)) ::RemoveWindowSubclass(main_, &MainProc, kRecorderId);
        if (::IsWindow(view_)) ::RemoveWindowSubclass(view_, &ViewProc, kRecorderId);
    }
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    std::vector<int> commands;
    int viewKeys = 0;

private:
    static LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
        if (msg != WM_COMMAND || HIWORD(wp) != forms::kKeyNotification) return ::DefSubclassProc(wnd, msg, wp, lp);
        reinterpret_cast<Recorder*>(self)->commands.push_back(LOWORD(wp));
        return 0;
    }
    static LRESULT CALLBACK ViewProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
        if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) ++reinterpret_cast<Recorder*>(self)->viewKeys;
        return ::DefSubclassProc(wnd, msg, wp, lp);
    }

    HWND main_;
    HWND view_;
};

std::string ButtonText(HWND bar, int id) {
    char text[64] = {};
    ::SendMessageA(bar, TB_GETBUTTONTEXTA, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(text));
    return text;
}

// The tool bar asks its owner for a tip when it shows, in ANSI or in Unicode as the system has it;
// ask the same ways. Both answers must agree to count.
template <typename Info>
std::string AskForHint(HWND bar, int id, UINT code) {
    Info info{};
    info.hdr.hwndFrom = reinterpret_cast<HWND>(::SendMessageW(bar, TB_GETTOOLTIPS, 0, 0));
    info.hdr.idFrom = static_cast<UINT_PTR>(id);
    info.hdr.code = code;
    ::SendMessageW(::GetParent(bar), WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&info));
    if constexpr (std::is_same_v<Info, NMTTDISPINFOW>)
        return info.lpszText ? platform::Narrow(info.lpszText) : "";
    else
        return info.lpszText ? info.lpszText : "";
}

std::string HintOf(HWND bar, int id) {
    const std::string ansi = AskForHint<NMTTDISPINFOA>(bar, id, TTN_GETDISPINFOA);
    const std::string unicode = AskForHint<NMTTDISPINFOW>(bar, id, TTN_GETDISPINFOW);
    return ansi == unicode ? ansi : ansi + " / " + unicode;
}

std::string MenuText(HMENU menu, int position) {
    char text[64] = {};
    ::GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

// Where a submenu stands in its menu.
int PositionIn(HMENU menu, HMENU sub) {
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i)
        if (::GetSubMenu(menu, i) == sub) return i;
    return -1;
}

std::string ShownShortcut(const std::string& menuText) {
    const auto tab = menuText.find('\t');
    return tab == std::string::npos ? std::string() : menuText.substr(tab + 1);
}

bool Has(const forms::Command& command, unsigned flag) { return (command.flags & flag) != 0; }

class CommandTable : public MainWindowTest {
protected:
    // The shortcut's key with modifiers it takes, but never the bare value of a menu shortcut
    // unless it is one: Ctrl+Alt for "Ctrl held" (Ctrl+Shift+E and Ctrl+Shift+C are menu keys of
    // their own), Shift for "any modifiers" and "Ctrl without Alt".
    void Press(const core::Shortcut& shortcut) {
        const core::Keys& keys = shortcut.keys;
        const bool exact = shortcut.match == core::KeyMatch::Exact;
        const bool ctrlHeld = shortcut.match == core::KeyMatch::CtrlHeld;
        std::vector<int> held;
        if (keys.ctrl) held.push_back(VK_CONTROL);
        if ((!exact && !ctrlHeld) || keys.shift) held.push_back(VK_SHIFT);
        if ((exact && keys.alt) || ctrlHeld) held.push_back(VK_MENU);
        SetKeyboard(held);
        const bool sys = exact && keys.alt && !keys.ctrl;  // Alt without Ctrl gives the SYS messages
        ::PostMessageA(Memo().Handle(), sys ? WM_SYSKEYDOWN : WM_KEYDOWN, keys.key, 1);
        Pump();
        SetKeys({});
    }
    static void SetKeyboard(const std::vector<int>& held) {
        BYTE state[256] = {};
        for (int key : held) state[key] = 0x80;
        ::SetKeyboardState(state);
    }
    // Makes a menu item's key able to act, or not: a selection for Copy, the item's state for the others.
    void MakeAvailable(const forms::Command& command, bool available) {
        if (Has(command, forms::kNeedsSelection))
            Memo().SetSelection(0, available ? 4 : 0);
        else
            ::EnableMenuItem(Frm().Commands().Menu(), command.id, MF_BYCOMMAND | (available ? MF_ENABLED : MF_GRAYED));
    }
};

}  // namespace

TEST_F(CommandTable, ToolBarMenuHintsAndKeysAgreeWithEveryRow) {
    Start();
    Frm().ShowFile(scratch_.Write("shown.nfo", "some text\r\n"));
    HWND bar = Frm().Commands().ToolBar();
    HMENU root = Frm().Commands().Menu();
    for (const forms::Command& command : forms::CommandTable())  // as the menu is over a link
        if (Has(command, forms::kOverLink)) Frm().Commands().SetShown(command.id, true);
    // Where the next item of each menu stands: the context menu's own, and each submenu's, which
    // stands in the context menu where its first item would.
    std::map<HMENU, int> next{{root, 0}};
    const auto menuOf = [&](const forms::Command& command) {
        if (!command.submenu) return root;
        const int at = next[root];
        HMENU sub = ::GetSubMenu(root, at);
        if (sub && MenuText(root, at) == command.submenu && !next.count(sub)) {
            next[root] = at + 1;  // its first item: the submenu itself is the next item of the menu
            next[sub] = 0;
        }
        for (const auto& [menu, count] : next)
            if (menu != root && MenuText(root, PositionIn(root, menu)) == command.submenu) return menu;
        ADD_FAILURE() << "no submenu " << command.submenu;
        return root;
    };
    int button = 0;
    for (const forms::Command& command : forms::CommandTable()) {
        SCOPED_TRACE(command.id);
        const std::string key = core::ShortcutText(command.shortcuts[0]);
        if (Has(command, forms::kToolButton)) {
            if (button > 0) {  // buttons stand apart, an 8-pixel separator between two
                TBBUTTON separator{};
                ::SendMessageA(bar, TB_GETBUTTON, static_cast<WPARAM>(button++), reinterpret_cast<LPARAM>(&separator));
                EXPECT_TRUE(separator.fsStyle & BTNS_SEP);
            }
            TBBUTTON shown{};
            ::SendMessageA(bar, TB_GETBUTTON, static_cast<WPARAM>(button++), reinterpret_cast<LPARAM>(&shown));
            EXPECT_EQ(shown.idCommand, command.id);
            EXPECT_EQ(shown.iBitmap, command.image);
            EXPECT_EQ((shown.fsStyle & BTNS_CHECK) != 0, Has(command, forms::kCheck));
            EXPECT_EQ(ButtonText(bar, command.id), command.caption);
            EXPECT_EQ(HintOf(bar, command.id), command.hint);
            EXPECT_EQ(key, command.hint);  // the tip names the first key
        }
        if (Has(command, forms::kMenuItem)) {
            HMENU menu = menuOf(command);
            int& item = next[menu];
            EXPECT_EQ(static_cast<int>(::GetMenuItemID(menu, item)), command.id);
            EXPECT_EQ(MenuText(menu, item), command.menuText);
            EXPECT_EQ(ShownShortcut(MenuText(menu, item)), key);
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE | MIIM_STATE;
            ::GetMenuItemInfoW(menu, static_cast<UINT>(item++), TRUE, &info);
            EXPECT_FALSE(info.fState & MFS_CHECKED);
            EXPECT_EQ((info.fType & MFT_RADIOCHECK) != 0, Has(command, forms::kRadio));
            if (Has(command, forms::kSeparatorAfter)) {
                EXPECT_TRUE(::GetMenuState(menu, static_cast<UINT>(item++), MF_BYPOSITION) & MF_SEPARATOR);
            }
        }
    }
    EXPECT_EQ(::SendMessageA(bar, TB_BUTTONCOUNT, 0, 0), button);
    for (const auto& [menu, count] : next) EXPECT_EQ(::GetMenuItemCount(menu), count);
    EXPECT_EQ(next.size(), 4u) << "the context menu, Zoom, Colours and Encoding";

    // Every key runs its own row's command; a menu key is the menu's, used up even when its item
    // cannot act; any other key goes on to the view.
    Recorder recorder(Frm().Handle(), Memo().Handle());
    for (const forms::Command& command : forms::CommandTable()) {
        for (const core::Shortcut& shortcut : command.shortcuts) {
            if (shortcut.match == core::KeyMatch::None) continue;
            SCOPED_TRACE(core::ShortcutText(shortcut) + " of " + std::to_string(command.id));
            const bool menuKey = shortcut.match == core::KeyMatch::Exact;
            for (const bool available : {true, false}) {
                if (!available && !menuKey) continue;
                if (menuKey) MakeAvailable(command, available);
                recorder.commands.clear();
                recorder.viewKeys = 0;
                Press(shortcut);
                EXPECT_EQ(recorder.commands, available ? std::vector<int>{command.id} : std::vector<int>{});
                EXPECT_EQ(recorder.viewKeys, menuKey ? 0 : 1);
            }
        }
    }
}

// The tips as the tool bar's own tip window gets them when it shows one: asked of the tool bar,
// which asks the main window.
TEST_F(CommandTable, ToolTipsShowTheHintsThroughTheToolBar) {
    Start();
    HWND bar = Frm().Commands().ToolBar();
    HWND tips = reinterpret_cast<HWND>(::SendMessageW(bar, TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tips, nullptr);
    for (const forms::Command& command : forms::CommandTable()) {
        if (!Has(command, forms::kToolButton)) continue;
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = bar;
        tool.uId = static_cast<UINT_PTR>(command.id);
        ::SendMessageW(tips, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
        wchar_t shown[80] = {};
        ::SendMessageW(tips, WM_GETTEXT, 80, reinterpret_cast<LPARAM>(shown));
        ::SendMessageW(tips, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
        EXPECT_EQ(platform::Narrow(shown), command.hint);
    }
}
