#include "forms/encoding_menu.hpp"

#include <commctrl.h>

#include <iterator>

#include "forms/file_opening.hpp"
#include "forms/frm_main.hpp"
#include "platform/status_bar.hpp"

namespace forms {
namespace {

struct EncodingItem {
    CommandId id;
    core::EncodingChoice choice;
};

constexpr EncodingItem kItems[] = {
    {kCmdEncodingAutomatic, core::EncodingChoice::kAutomatic},
    {kCmdEncodingDos437, core::EncodingChoice::kDos437},
    {kCmdEncodingUtf8, core::EncodingChoice::kUtf8},
    {kCmdEncodingUtf16Le, core::EncodingChoice::kUtf16LittleEndian},
    {kCmdEncodingUtf16Be, core::EncodingChoice::kUtf16BigEndian},
    {kCmdEncodingWindows1252, core::EncodingChoice::kWindows1252},
};

}  // namespace

std::optional<core::EncodingChoice> EncodingChoiceOf(CommandId id) {
    for (const EncodingItem& item : kItems)
        if (item.id == id) return item.choice;
    return std::nullopt;
}

CommandId EncodingCommandOf(core::EncodingChoice choice) {
    for (const EncodingItem& item : kItems)
        if (item.choice == choice) return item.id;
    return kCmdEncodingAutomatic;
}

void MarkEncodingChoice(CommandBar& commands, core::EncodingChoice choice) {
    for (const EncodingItem& item : kItems) commands.SetChecked(item.id, item.choice == choice);
}

bool IsEncodingPanelClick(const NMHDR& header, HWND statusBar) {
    if (header.hwndFrom != statusBar || header.code != NM_CLICK) return false;
    return reinterpret_cast<const NMMOUSE&>(header).dwItemSpec == platform::StatusBar::kEncodingPanel;
}

// ---- the main window's side ----

// The same file read another way keeps its place; the choice holds until another file is opened.
void TFrmMain::ChooseEncoding(CommandId id) {
    if (const auto choice = EncodingChoiceOf(id)) opening_->ReloadShownFile(*choice, true);
}

// The submenu alone, under the mouse, as the context menu would show it.
void TFrmMain::ShowEncodingMenu() {
    HMENU menu = commands_->Submenu(kEncodingMenu);
    if (!menu) return;
    MarkEncodingChoice(*commands_, opening_->Choice());
    POINT at{};
    ::GetCursorPos(&at);
    BusyState::NestedLoopScope menuLoop(busy_);
    ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, wnd_, nullptr);
}

}  // namespace forms
