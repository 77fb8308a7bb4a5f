#include "forms/selection_copy.hpp"

#include <string_view>

#include "core/app_error.hpp"
#include "forms/commands.hpp"
#include "platform/clipboard.hpp"
#include "platform/text_view.hpp"

namespace forms {
namespace {

bool CopySelectionOf(platform::TextView& view, HWND owner) {
    const platform::Selection selection = view.GetSelection();
    if (selection.length() == 0) return true;
    return platform::CopyBytesToClipboard(owner, std::string_view(view.Text()).substr(selection.start, selection.length()));
}

}  // namespace

void CopySelectionAsked(platform::TextView& view, HWND owner) {
    if (!CopySelectionOf(view, owner)) throw core::AppError("Cannot copy the selection to the clipboard");
}

void CopyOnSelect(const CommandBar& commands, platform::TextView& view, HWND owner) {
    if (commands.Checked(kCmdCopyonSelect)) CopySelectionOf(view, owner);
}

}  // namespace forms
