// The command table against the window made from it: every row's tool button, menu item, tool tip
// and keys, read back from the real controls and driven through the message loop.
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>
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

// The tip as the tool bar's own tip window gets it when it shows: asked of the tool bar, which
// asks the main window in Unicode (the main window's tool bar test asks it in ANSI).
std::string TipShown(HWND bar, int id) {
    HWND tips = reinterpret_cast<HWND>(::SendMessageW(bar, TB_GETTOOLTIPS, 0, 0));
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = bar;
    tool.uId = static_cast<UINT_PTR>(id);
    ::SendMessageW(tips, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    wchar_t shown[80] = {};
    ::SendMessageW(tips, WM_GETTEXT, 80, reinterpret_cast<LPARAM>(shown));
    ::SendMessageW(tips, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    return platform::Narrow(shown);
}

std::string MenuText(HMENU menu, int position) {
    char text[64] = {};
    ::GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
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
        BYTE held[256] = {};
        if (keys.ctrl) held[VK_CONTROL] = 0x80;
        if ((!exact && !ctrlHeld) || keys.shift) held[VK_SHIFT] = 0x80;
        if ((exact && keys.alt) || ctrlHeld) held[VK_MENU] = 0x80;
        ::SetKeyboardState(held);
        const bool sys = exact && keys.alt && !keys.ctrl;  // Alt without Ctrl gives the SYS messages
        ::PostMessageA(Memo().Handle(), sys ? WM_SYSKEYDOWN : WM_KEYDOWN, keys.key, 1);
        Pump();
        SetKeys({});
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
    // Where the next item of each menu stands: the context menu's own, and each submenu's.
    std::map<HMENU, int> next{{root, 0}};
    const auto menuOf = [&](const forms::Command& command) {
        if (!command.submenu) return root;
        HMENU sub = Frm().Commands().Submenu(command.submenu);
        if (!next.count(sub)) {  // it stands in the context menu where its first item would
            EXPECT_EQ(::GetSubMenu(root, next[root]++), sub) << command.submenu;
            next[sub] = 0;
        }
        return sub;
    };
    // Captions, ids, order and styles of the buttons are the main window's tool bar test's.
    for (const forms::Command& command : forms::CommandTable()) {
        SCOPED_TRACE(command.id);
        const std::string key = core::ShortcutText(command.shortcuts[0]);
        if (Has(command, forms::kToolButton)) {
            TBBUTTON shown{};
            const LRESULT index = ::SendMessageA(bar, TB_COMMANDTOINDEX, static_cast<WPARAM>(command.id), 0);
            ::SendMessageA(bar, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&shown));
            EXPECT_EQ(shown.iBitmap, command.image);
            EXPECT_EQ(TipShown(bar, command.id), command.hint);
            EXPECT_EQ(key, command.hint);  // the tip names the first key
        }
        if (Has(command, forms::kMenuItem)) {
            HMENU menu = menuOf(command);
            int& item = next[menu];
            EXPECT_EQ(static_cast<int>(::GetMenuItemID(menu, item)), command.id);
            const std::string text = MenuText(menu, item);
            EXPECT_EQ(text, command.menuText);
            const auto tab = text.find('\t');
            EXPECT_EQ(tab == std::string::npos ? "" : text.substr(tab + 1), key);
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
