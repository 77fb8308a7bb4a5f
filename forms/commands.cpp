#include "forms/commands.hpp"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "core/settings_values.hpp"
#include "forms/frm_main.hpp"
#include "platform/unicode.hpp"
#include "resources/resource.h"

namespace forms {
namespace {

using core::AltOnly;
using core::AnyModifiers;
using core::CtrlHeld;
using core::CtrlNoAlt;
using core::CtrlOnly;
using core::KeyAlone;

constexpr unsigned kButton = kToolButton | kRefusedWhileBusy;
constexpr unsigned kFileItem = kMenuItem | kNeedsFile | kRefusedWhileBusy;

// Ctrl and Shift and the key, nothing else: a menu shortcut, so it is taken before the tool
// buttons' "Ctrl held" keys (Ctrl+Shift+E is not the export's, Ctrl+Shift+C not Copy's).
constexpr core::Shortcut CtrlShiftOnly(std::uint16_t key) { return {{key, true, true, false}, core::KeyMatch::Exact}; }
constexpr const char* kZoomMenu = "&Zoom";
constexpr const char* kColoursMenu = "C&olours";
constexpr unsigned kEncodingItem = kMenuItem | kRadio | kRefusedWhileBusy;

// In tool bar order, then menu order. Copy's Ctrl+C and Select All's Ctrl+A are the menu's; Ctrl+C
// with Shift or Alt, Ctrl+Ins and Ctrl+A with Shift or Alt are what the view itself answers as an
// edit control does, and they copy or select whatever the menu shows.
constexpr Command kCommands[] = {
    {kBtnOpen, "Open", nullptr, "Ctrl+O", TBIMG_OPEN, {CtrlHeld('O')}, kButton, &TFrmMain::BtnOpenClick},
    {kBtnExport, "Export", nullptr, "Ctrl+E", TBIMG_EXPORT, {CtrlHeld('E')}, kButton, &TFrmMain::BtnExportClick},
    {kBtnCopy, "Copy", nullptr, "Ctrl+C", TBIMG_COPY, {CtrlHeld('C'), CtrlHeld(core::kKeyInsert)}, kToolButton,
     &TFrmMain::BtnCopyClick},
    {kBtnWrap, "Wrap", nullptr, "Ctrl+W", TBIMG_WRAP, {CtrlHeld('W')}, kToolButton | kCheck, &TFrmMain::BtnWrapClick},
    {kBtnFind, "Find", nullptr, "Ctrl+F", TBIMG_FIND, {CtrlHeld('F')}, kToolButton, &TFrmMain::BtnFindClick},
    {kBtnSettings, "Settings", nullptr, "Ctrl+S", TBIMG_SETTINGS, {CtrlHeld('S')}, kButton,
     &TFrmMain::BtnSettingsClick},
    {kBtnAbout, "About", nullptr, "F1", TBIMG_ABOUT, {AnyModifiers(core::kKeyF1)}, kButton, &TFrmMain::BtnAboutClick},
    {kCmdCopyLinkAddress, nullptr, "Copy &Link Address", nullptr, 0, {}, kMenuItem | kOverLink | kSeparatorAfter,
     &TFrmMain::cmdCopyLinkAddressClick},
    {kCmdCopySelection, nullptr, "&Copy\tCtrl+C", nullptr, 0, {CtrlOnly('C')}, kMenuItem | kNeedsSelection,
     &TFrmMain::cmdCopySelectionClick},
    {kCmdCopyAsPicture, nullptr, "Copy as &Picture\tCtrl+Shift+C", nullptr, 0, {CtrlShiftOnly('C')},
     kMenuItem | kNeedsText | kRefusedWhileBusy, &TFrmMain::cmdCopyAsPictureClick},
    {kCmdSelectAll, nullptr, "&Select All\tCtrl+A", nullptr, 0, {CtrlOnly('A'), CtrlHeld('A')},
     kMenuItem | kNeedsText | kSeparatorAfter, &TFrmMain::cmdSelectAllClick},
    {kCmdNextFile, nullptr, "Ne&xt File\tAlt+Right", nullptr, 0, {AltOnly(core::kKeyRight), CtrlOnly(core::kKeyPageDown)},
     kFileItem, &TFrmMain::cmdNextFileClick},
    {kCmdPreviousFile, nullptr, "&Previous File\tAlt+Left", nullptr, 0,
     {AltOnly(core::kKeyLeft), CtrlOnly(core::kKeyPageUp)}, kFileItem, &TFrmMain::cmdPreviousFileClick},
    {kCmdReload, nullptr, "&Reload\tF5", nullptr, 0, {KeyAlone(core::kKeyF5)}, kFileItem | kSeparatorAfter,
     &TFrmMain::cmdReloadClick},
    {kCmdSaveAsPicture, nullptr, "Save as P&icture...\tCtrl+Shift+E", nullptr, 0, {CtrlShiftOnly('E')},
     kMenuItem | kRefusedWhileBusy | kSeparatorAfter, &TFrmMain::cmdSaveAsPictureClick},
    {kCmdStayonTop, nullptr, "Stay on &Top\tCtrl+T", nullptr, 0, {CtrlOnly('T')}, kMenuItem | kCheck,
     &TFrmMain::cmdStayonTopClick},
    {kCmdCopyonSelect, nullptr, "Copy o&n Select", nullptr, 0, {}, kMenuItem | kCheck | kSeparatorAfter,
     &TFrmMain::cmdCopyonSelectClick},
    {kCmdZoomIn, nullptr, "Zoom &In\tCtrl++", nullptr, 0, {CtrlNoAlt(core::kKeyOemPlus), CtrlNoAlt(core::kKeyAdd)},
     kMenuItem, &TFrmMain::cmdZoomInClick, kZoomMenu},
    {kCmdZoomOut, nullptr, "Zoom &Out\tCtrl+-", nullptr, 0,
     {CtrlNoAlt(core::kKeyOemMinus), CtrlNoAlt(core::kKeySubtract)}, kMenuItem | kSeparatorAfter,
     &TFrmMain::cmdZoomOutClick, kZoomMenu},
    {kCmdZoomReset, nullptr, "&Normal Size\tCtrl+0", nullptr, 0, {CtrlNoAlt('0'), CtrlNoAlt(core::kKeyNumpad0)},
     kMenuItem, &TFrmMain::cmdZoomResetClick, kZoomMenu},
    {kCmdColoursBlackOnWhite, nullptr, "&Black on White", nullptr, 0, {}, kMenuItem | kRadio,
     &TFrmMain::cmdColoursBlackOnWhiteClick, kColoursMenu},
    {kCmdColoursDos, nullptr, "Light &Grey on Black (DOS)", nullptr, 0, {}, kMenuItem | kRadio,
     &TFrmMain::cmdColoursDosClick, kColoursMenu},
    {kCmdColoursWhiteOnNavy, nullptr, "&White on Navy", nullptr, 0, {}, kMenuItem | kRadio,
     &TFrmMain::cmdColoursWhiteOnNavyClick, kColoursMenu},
    {kCmdColoursYellowOnBlack, nullptr, "&Yellow on Black", nullptr, 0, {}, kMenuItem | kRadio,
     &TFrmMain::cmdColoursYellowOnBlackClick, kColoursMenu},
    {kCmdColoursLimeOnBlack, nullptr, "&Lime on Black", nullptr, 0, {}, kMenuItem | kRadio,
     &TFrmMain::cmdColoursLimeOnBlackClick, kColoursMenu},
    {kCmdEncodingAutomatic, nullptr, "&Automatic", nullptr, 0, {}, kEncodingItem | kSeparatorAfter,
     &TFrmMain::cmdEncodingAutomaticClick, kEncodingMenu},
    {kCmdEncodingDos437, nullptr, "&DOS 437", nullptr, 0, {}, kEncodingItem, &TFrmMain::cmdEncodingDos437Click,
     kEncodingMenu},
    {kCmdEncodingUtf8, nullptr, "UTF-&8", nullptr, 0, {}, kEncodingItem, &TFrmMain::cmdEncodingUtf8Click,
     kEncodingMenu},
    {kCmdEncodingUtf16Le, nullptr, "UTF-16 &LE", nullptr, 0, {}, kEncodingItem, &TFrmMain::cmdEncodingUtf16LeClick,
     kEncodingMenu},
    {kCmdEncodingUtf16Be, nullptr, "UTF-16 &BE", nullptr, 0, {}, kEncodingItem, &TFrmMain::cmdEncodingUtf16BeClick,
     kEncodingMenu},
    {kCmdEncodingWindows1252, nullptr, "&Windows-1252", nullptr, 0, {}, kEncodingItem,
     &TFrmMain::cmdEncodingWindows1252Click, kEncodingMenu},
};

constexpr int kButtonWidth = 46;
constexpr int kButtonHeight = 37;
constexpr int kSeparatorWidth = 8;
constexpr int kBottomMargin = 4;  // between the lowest row of buttons and the line

LRESULT SendTo(HWND wnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return ::SendMessageW(wnd, msg, wp, lp); }

bool Has(const Command& command, unsigned flag) { return (command.flags & flag) != 0; }

const Command* FindShortcut(const core::Keys& pressed, bool menuShortcuts) {
    for (const Command& command : kCommands)
        for (const core::Shortcut& shortcut : command.shortcuts)
            if ((shortcut.match == core::KeyMatch::Exact) == menuShortcuts && core::Matches(shortcut, pressed))
                return &command;
    return nullptr;
}

// The caption is copied by the tool bar when the button is added.
TBBUTTON ButtonOf(const Command& command, const std::wstring& caption) {
    TBBUTTON button{};
    button.iBitmap = command.image;
    button.idCommand = command.id;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = static_cast<BYTE>(Has(command, kCheck) ? BTNS_CHECK : BTNS_BUTTON);
    button.iString = reinterpret_cast<INT_PTR>(caption.c_str());
    return button;
}

TBBUTTON Separator(int width) {
    TBBUTTON separator{};
    separator.iBitmap = width;  // a separator's image index is its width
    separator.fsStyle = BTNS_SEP;
    return separator;
}

// A strip of images, each pixel made a square of `times` pixels, its magenta the mask.
platform::UniqueImageList MakeImageList(const ToolBarImages& images) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const int id = images.strip == TOOLBAR_LARGE_IMAGE_SIZE ? IDB_TOOLBAR24 : IDB_TOOLBAR;
    platform::UniqueGdi strip(::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!strip) return {};
    const int size = images.Size();
    platform::UniqueImageList list(ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, TOOLBAR_IMAGE_COUNT, 0));
    if (!list) return {};
    if (images.times == 1) {
        ImageList_AddMasked(list.get(), static_cast<HBITMAP>(strip.get()), TOOLBAR_MASK_RGB);
        return list;
    }
    platform::WindowDC screen(nullptr);
    platform::UniqueMemoryDC from(::CreateCompatibleDC(screen.get()));
    platform::UniqueMemoryDC to(::CreateCompatibleDC(screen.get()));
    const int width = images.strip * TOOLBAR_IMAGE_COUNT;
    platform::UniqueGdi large(::CreateCompatibleBitmap(screen.get(), width * images.times, size));
    if (!from || !to || !large) return {};
    {
        platform::SelectedObject source(from.get(), strip.get());
        platform::SelectedObject target(to.get(), large.get());
        ::SetStretchBltMode(to.get(), COLORONCOLOR);  // whole pixels, nothing blended
        ::StretchBlt(to.get(), 0, 0, width * images.times, size, from.get(), 0, 0, width, images.strip, SRCCOPY);
    }
    ImageList_AddMasked(list.get(), static_cast<HBITMAP>(large.get()), TOOLBAR_MASK_RGB);
    return list;
}

platform::UniqueGdi MakeWindowFont(int dpi) {
    const int height = core::FontHeightFromPoints(core::kWindowFont.points, dpi);
    return platform::UniqueGdi(::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, OEM_CHARSET,
                                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                             DEFAULT_PITCH | FF_DONTCARE,
                                             platform::Widen(core::kWindowFont.face).c_str()));
}

}  // namespace

std::span<const Command> CommandTable() { return kCommands; }

const Command* FindCommand(int id) {
    const auto found = std::find_if(std::begin(kCommands), std::end(kCommands),
                                    [id](const Command& command) { return command.id == id; });
    return found == std::end(kCommands) ? nullptr : found;
}

KeyRoute RouteKey(const core::Keys& pressed) {
    if (const Command* command = FindShortcut(pressed, true)) return {command, true};
    return {FindShortcut(pressed, false), false};
}

core::Keys HeldWith(WORD key) {
    const auto held = [](int modifier) { return ::GetKeyState(modifier) < 0; };
    return {key, held(VK_CONTROL), held(VK_SHIFT), held(VK_MENU)};
}

ToolBarImages ToolBarImagesFor(int dpi) {
    const int target = ::MulDiv(TOOLBAR_IMAGE_SIZE, dpi, 96);
    ToolBarImages best{TOOLBAR_IMAGE_SIZE, 1};
    for (const int strip : {TOOLBAR_IMAGE_SIZE, TOOLBAR_LARGE_IMAGE_SIZE}) {
        const ToolBarImages fitting{strip, std::max(1, target / strip)};
        if (fitting.Size() <= std::max(target, TOOLBAR_IMAGE_SIZE) && fitting.Size() > best.Size()) best = fitting;
    }
    return best;
}

CommandBar::CommandBar(HWND parent, int toolBarId, int width, int dpi) : dpi_(dpi) {
    CreateToolBar(parent, toolBarId, width);
    CreateMenu();
}

void CommandBar::CreateToolBar(HWND parent, int id, int width) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    toolBar_ = ::CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TRANSPARENT |
                                     TBSTYLE_WRAPABLE | TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NOPARENTALIGN |
                                     CCS_NODIVIDER,
                                 0, 0, width, height_ - kEdge, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendTo(toolBar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    const auto add = [this](const TBBUTTON& button) {
        SendTo(toolBar_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    };
    bool first = true;
    for (const Command& command : kCommands) {
        if (!Has(command, kToolButton)) continue;
        if (!first) add(Separator(Scaled(kSeparatorWidth)));
        add(ButtonOf(command, platform::Widen(command.caption)));
        first = false;
    }
    ApplyDpi(dpi_);
}

// The old font and images are let go only once the tool bar holds the new ones.
void CommandBar::ApplyDpi(int dpi) {
    dpi_ = dpi;
    platform::UniqueGdi font = MakeWindowFont(dpi);
    SendTo(toolBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    font_ = std::move(font);
    const ToolBarImages images = ToolBarImagesFor(dpi);
    platform::UniqueImageList list = MakeImageList(images);
    SendTo(toolBar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list.get()));
    images_ = std::move(list);
    SendTo(toolBar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(images.Size(), images.Size()));
    const int count = static_cast<int>(SendTo(toolBar_, TB_BUTTONCOUNT));
    for (int index = 0; index < count; ++index) {
        TBBUTTON button{};
        SendTo(toolBar_, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button));
        if (!(button.fsStyle & BTNS_SEP)) continue;
        TBBUTTONINFOW info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_SIZE | TBIF_BYINDEX;
        info.cx = static_cast<WORD>(Scaled(kSeparatorWidth));
        SendTo(toolBar_, TB_SETBUTTONINFOW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info));
    }
    SendTo(toolBar_, TB_SETBUTTONSIZE, 0, MAKELPARAM(Scaled(kButtonWidth), Scaled(kButtonHeight)));
}

// Items that need a selection, a text or a file start disabled: nothing is shown and the menu never opened.
// Items for a link come in when the menu opens over one.
void CommandBar::CreateMenu() {
    menu_.reset(::CreatePopupMenu());
    for (const Command& command : kCommands)
        if (Has(command, kMenuItem) && !Has(command, kOverLink)) {
            HMENU into = SubmenuFor(command);
            InsertItem(command, into, static_cast<UINT>(::GetMenuItemCount(into)));
        }
}

void CommandBar::InsertItem(const Command& command, HMENU into, UINT position) {
    const bool disabled = Has(command, kNeedsSelection) || Has(command, kNeedsText) || Has(command, kNeedsFile);
    std::wstring text = platform::Widen(command.menuText);
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
    item.fType = MFT_STRING | (Has(command, kRadio) ? MFT_RADIOCHECK : 0);
    item.fState = disabled ? MFS_GRAYED : MFS_ENABLED;
    item.wID = static_cast<UINT>(command.id);
    item.dwTypeData = text.data();
    ::InsertMenuItemW(into, position, TRUE, &item);
    if (Has(command, kSeparatorAfter)) ::InsertMenuW(into, position + 1, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
}

HMENU CommandBar::Submenu(const char* caption) const {
    const std::wstring wanted = platform::Widen(caption);
    for (int i = 0; i < ::GetMenuItemCount(Menu()); ++i) {
        HMENU sub = ::GetSubMenu(Menu(), i);
        wchar_t text[64] = {};
        if (sub && ::GetMenuStringW(Menu(), static_cast<UINT>(i), text, 64, MF_BYPOSITION) > 0 && wanted == text)
            return sub;
    }
    return nullptr;
}

// The context menu itself, or the submenu the command names: found among the menu's items by its
// caption, or added at the end when this is its first item. The menu owns its submenus.
HMENU CommandBar::SubmenuFor(const Command& command) {
    if (!command.submenu) return Menu();
    if (HMENU sub = Submenu(command.submenu)) return sub;
    HMENU sub = ::CreatePopupMenu();
    ::AppendMenuW(Menu(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub),
                  platform::Widen(command.submenu).c_str());
    return sub;
}

int CommandBar::Layout(int width) {
    ::MoveWindow(toolBar_, 0, 0, width, height_ - kEdge, FALSE);
    SendTo(toolBar_, TB_AUTOSIZE);
    int bottom = Scaled(kButtonHeight);
    const int count = static_cast<int>(SendTo(toolBar_, TB_BUTTONCOUNT));
    for (int index = 0; index < count; ++index) {
        RECT item{};
        if (SendTo(toolBar_, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
            bottom = std::max<int>(bottom, item.bottom);
    }
    height_ = bottom + Scaled(kBottomMargin) + kEdge;
    ::MoveWindow(toolBar_, 0, 0, width, height_ - kEdge, TRUE);
    return height_;
}

void CommandBar::PaintEdge(HDC dc, int width) const {
    RECT edge = Edge(width);
    ::DrawEdge(dc, &edge, EDGE_ETCHED, BF_BOTTOM);
}

// Asked for in Unicode, the tip is copied into the request's own buffer; an ANSI request gets the
// table's text itself.
bool CommandBar::AnswerHint(NMHDR& header) const {
    if (header.code != TTN_GETDISPINFOW && header.code != TTN_GETDISPINFOA) return false;
    const Command* command = FindCommand(static_cast<int>(header.idFrom));
    const char* hint = command && command->hint ? command->hint : "";
    if (header.code == TTN_GETDISPINFOA) {
        reinterpret_cast<NMTTDISPINFOA&>(header).lpszText = const_cast<char*>(hint);
        return true;
    }
    auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
    const std::wstring text = platform::Widen(hint);
    info.szText[text.copy(info.szText, std::size(info.szText) - 1)] = L'\0';
    info.lpszText = info.szText;
    return true;
}

// A check button keeps its state as its down state, a check item as its mark.
bool CommandBar::Checked(CommandId id) const {
    const Command* command = FindCommand(id);
    if (command && Has(*command, kToolButton)) return SendTo(toolBar_, TB_ISBUTTONCHECKED, id) != 0;
    return (::GetMenuState(Menu(), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void CommandBar::SetChecked(CommandId id, bool checked) {
    const Command* command = FindCommand(id);
    if (command && Has(*command, kToolButton))
        SendTo(toolBar_, TB_CHECKBUTTON, id, MAKELPARAM(checked, 0));
    else
        ::CheckMenuItem(Menu(), id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool CommandBar::Enabled(CommandId id) const {
    return (::GetMenuState(Menu(), id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
}

void CommandBar::SetEnabled(CommandId id, bool enabled) {
    ::EnableMenuItem(Menu(), id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool CommandBar::Shown(CommandId id) const { return ::GetMenuState(Menu(), id, MF_BYCOMMAND) != static_cast<UINT>(-1); }

// In at the place the table gives it among the items shown; out with the separator after it.
void CommandBar::SetShown(CommandId id, bool shown) {
    const Command* command = FindCommand(id);
    if (!command || !Has(*command, kMenuItem) || Shown(id) == shown) return;
    UINT position = 0;
    for (const Command& before : kCommands) {
        if (&before == command) break;
        if (Has(before, kMenuItem) && Shown(before.id)) position += Has(before, kSeparatorAfter) ? 2 : 1;
    }
    if (shown) return InsertItem(*command, Menu(), position);
    ::DeleteMenu(Menu(), position, MF_BYPOSITION);
    if (Has(*command, kSeparatorAfter)) ::DeleteMenu(Menu(), position, MF_BYPOSITION);
}

}  // namespace forms
