#pragma once
// The main window's commands, one row each: its tool button, its context-menu item, its tool tip,
// its keys, the rules it runs under and its handler. The tool bar, the context menu, the tool tips,
// the keys and the enabled states are all made from the table, so a new command is one row and
// one handler.
#include <windows.h>

#include <array>
#include <span>

#include "core/shortcuts.hpp"
#include "platform/win_handles.hpp"

namespace forms {

class TFrmMain;

// Tool buttons and menu items share the one WM_COMMAND table.
enum CommandId : int {
    kBtnOpen = 1001, kBtnExport, kBtnCopy, kBtnWrap, kBtnFind, kBtnSettings, kBtnAbout,
    kCmdCopySelection = 2001, kCmdSelectAll, kCmdStayonTop, kCmdCopyonSelect, kCmdCopyLinkAddress,
    kCmdCopyAsPicture, kCmdSaveAsPicture,
    kCmdZoomIn = 2101, kCmdZoomOut, kCmdZoomReset,
    kCmdColoursBlackOnWhite = 2201, kCmdColoursDos, kCmdColoursWhiteOnNavy, kCmdColoursYellowOnBlack,
    kCmdColoursLimeOnBlack,
    kCmdEncodingAutomatic = 2301, kCmdEncodingDos437, kCmdEncodingUtf8, kCmdEncodingUtf16Le, kCmdEncodingUtf16Be,
    kCmdEncodingWindows1252,
    kCmdNextFile = 2401, kCmdPreviousFile, kCmdReload,
};

enum CommandFlag : unsigned {
    kToolButton = 1u << 0,        // a button of the tool bar
    kMenuItem = 1u << 1,          // an item of the context menu
    kCheck = 1u << 2,             // a state that is on or off: the button's down state, else the item's mark
    kRefusedWhileBusy = 1u << 3,  // while a load or an export runs, a beep instead
    kNeedsSelection = 1u << 4,    // enabled when the menu opens if text is selected; its menu key copies
                                  // only a selection, whatever the menu last found
    kNeedsText = 1u << 5,         // enabled after each load if the view holds text
    kSeparatorAfter = 1u << 6,    // a separator line follows its menu item
    kOverLink = 1u << 7,          // in the menu only while it opens over a link, as context menus do
                                  // (such rows stand before any row of a submenu)
    kRadio = 1u << 8,             // a menu item whose mark is a bullet: one of a set, such as its submenu
    kNeedsFile = 1u << 9,         // enabled once a file is shown
};

struct Command {
    CommandId id;
    const char* caption;   // the tool button's
    const char* menuText;  // the menu item's, its access letter and shown shortcut included
    const char* hint;      // the tool button's tool tip: it names the first key
    int image;             // index in the tool bar strip
    // A menu shortcut (an exact value) is the menu's: used up even while its item is disabled. Any
    // other key runs the command and goes on to the view.
    std::array<core::Shortcut, 2> shortcuts;
    unsigned flags;
    void (TFrmMain::*handler)();
    // The caption of the submenu its item stands in (the context menu itself when null). A submenu
    // stands where its first item would, and holds every item that names it, in table order.
    const char* submenu = nullptr;
};

// The caption of the submenu that holds the encodings; the status bar's encoding panel opens it too.
inline constexpr const char* kEncodingMenu = "&Encoding";

std::span<const Command> CommandTable();
const Command* FindCommand(int id);

// The command that a key pressed in the view runs (a menu shortcut before any other key), or none.
struct KeyRoute {
    const Command* command = nullptr;
    bool menuShortcut = false;
};
KeyRoute RouteKey(const core::Keys& pressed);
// The key with the modifiers held as the thread's keyboard state has them now.
core::Keys HeldWith(WORD key);

// How a command arrives: a click on its button or item (a check button has flipped itself), or a
// key, which is also how the settings loader runs one (it flips a check button first).
enum class CommandSource { Click, Key };
// WM_COMMAND's notification code for a key, as an accelerator sends it.
constexpr WORD kKeyNotification = 1;

// The moments at which enabled states are looked at again, each for its own commands.
enum class CommandMoment { MenuOpens, FileShown };

// The tool bar and the context menu made from the table. Check and enabled states are kept in the
// controls themselves, nowhere else.
class CommandBar {
public:
    // Sized for `dpi`: buttons, separators and captions at 96 dpi scaled, images from the strip
    // that fits (see ToolBarImageSize).
    CommandBar(HWND parent, int toolBarId, int width, int dpi);
    CommandBar(const CommandBar&) = delete;
    CommandBar& operator=(const CommandBar&) = delete;

    HWND ToolBar() const { return toolBar_; }
    HMENU Menu() const { return static_cast<HMENU>(menu_.get()); }
    // The submenu of that caption (as the table names it), or null.
    HMENU Submenu(const char* caption) const;
    // The tool bar area's height, the etched line under the buttons included.
    int Height() const { return height_; }
    // Fits the bar to the width: when narrow, the buttons wrap onto more rows and the bar grows.
    int Layout(int width);
    // The window moved to a screen of another DPI: captions, images and buttons follow.
    void ApplyDpi(int dpi);
    // The etched line under the buttons, across the given width.
    RECT Edge(int width) const { return RECT{0, height_ - kEdge, width, height_}; }
    void PaintEdge(HDC dc, int width) const;
    // Answers the tool bar's request for a tool tip, in Unicode or ANSI; false when it was something else.
    bool AnswerHint(NMHDR& header) const;

    bool Checked(CommandId id) const;
    void SetChecked(CommandId id, bool checked);
    bool Enabled(CommandId id) const;
    void SetEnabled(CommandId id, bool enabled);
    // A menu item in the menu at its place in the table, or out of it (with its separator).
    bool Shown(CommandId id) const;
    void SetShown(CommandId id, bool shown);

private:
    static constexpr int kEdge = 2;

    void CreateToolBar(HWND parent, int id, int width);
    void CreateMenu();
    void InsertItem(const Command& command, HMENU into, UINT position);
    HMENU SubmenuFor(const Command& command);
    int Scaled(int designed) const { return ::MulDiv(designed, dpi_, 96); }

    HWND toolBar_ = nullptr;
    int dpi_;
    platform::UniqueGdi font_;
    platform::UniqueImageList images_;
    platform::UniqueMenu menu_;
    int height_ = 43;
};

// The tool bar's images at `dpi`: the 16 or the 24-pixel strip scaled by a whole multiple, the
// largest that is no larger than 16 pixels scaled to the DPI; so every image pixel stays a square.
struct ToolBarImages {
    int strip;  // TOOLBAR_IMAGE_SIZE or TOOLBAR_LARGE_IMAGE_SIZE
    int times;
    int Size() const { return strip * times; }
};
ToolBarImages ToolBarImagesFor(int dpi);

}  // namespace forms
