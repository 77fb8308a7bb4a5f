#include "platform/picture_dialog.hpp"

#include <commdlg.h>

#include "platform/unicode.hpp"
#include "resources/resource.h"

namespace platform {

const wchar_t kPictureDialogTitle[] = L"Save as Picture";

namespace {

constexpr wchar_t kPictureFilter[] = L"PNG image (*.png)\0*.png\0SVG picture (*.svg)\0*.svg\0";
constexpr int kScales[] = {1, 2, core::kPictureMaxScale};

PictureRequest* RequestOf(HWND hook) {
    return reinterpret_cast<PictureRequest*>(::GetWindowLongPtrW(hook, DWLP_USER));
}

void FillScales(HWND hook, const PictureOptions& options) {
    HWND combo = ::GetDlgItem(hook, IDC_PICTURE_SCALE);
    for (const int scale : kScales) {
        const std::wstring text = std::to_wstring(scale) + L"\u00D7";
        const LRESULT item = ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        ::SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(item), scale);
        if (scale == options.scale) ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    }
    if (::SendMessageW(combo, CB_GETCURSEL, 0, 0) == CB_ERR) ::SendMessageW(combo, CB_SETCURSEL, 0, 0);
    ::CheckDlgButton(hook, IDC_PICTURE_TRANSPARENT, options.transparent ? BST_CHECKED : BST_UNCHECKED);
}

// The options as the controls hold them: read when the name is accepted.
void ReadOptions(HWND hook, PictureOptions& options) {
    HWND combo = ::GetDlgItem(hook, IDC_PICTURE_SCALE);
    const LRESULT item = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (item != CB_ERR) options.scale = static_cast<int>(::SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(item), 0));
    options.transparent = ::IsDlgButtonChecked(hook, IDC_PICTURE_TRANSPARENT) == BST_CHECKED;
}

UINT_PTR CALLBACK OptionsHook(HWND hook, UINT msg, WPARAM, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        const auto* request = reinterpret_cast<const OPENFILENAMEW*>(lp);
        auto* picture = reinterpret_cast<PictureRequest*>(request->lCustData);
        ::SetWindowLongPtrW(hook, DWLP_USER, reinterpret_cast<LONG_PTR>(picture));
        if (picture) FillScales(hook, picture->options);
        return FALSE;  // the focus stays where the dialog puts it: in the name box, not on our options
    }
    if (msg == WM_NOTIFY) {
        const auto* notify = reinterpret_cast<const OFNOTIFYW*>(lp);
        PictureRequest* picture = RequestOf(hook);
        if (notify->hdr.code == CDN_FILEOK && picture) ReadOptions(hook, picture->options);
    }
    return FALSE;
}

}  // namespace

std::optional<FileChoice> AskPictureFile(Prompts& prompts, HWND owner, std::string_view offeredName,
                                         PictureRequest& request) {
    FileDialog dialog;
    dialog.kind = FileDialog::Kind::Save;
    dialog.owner = owner;
    dialog.title = kPictureDialogTitle;
    dialog.filter = kPictureFilter;
    dialog.startName = Widen(offeredName);
    // As the export: the command asks about overwriting itself, with No the default, and adds
    // the chosen type's extension to a name typed without one.
    dialog.flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_ENABLESIZING | OFN_EXPLORER | OFN_ENABLETEMPLATE |
                   OFN_ENABLEHOOK;
    dialog.templateName = MAKEINTRESOURCEW(IDD_PICTURE_OPTIONS);
    dialog.hook = &OptionsHook;
    dialog.hookData = reinterpret_cast<LPARAM>(&request);
    return AskFileName(prompts, dialog);
}

}  // namespace platform
