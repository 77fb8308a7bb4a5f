#include "forms/frm_about.hpp"

#include <algorithm>

#include "core/app_error.hpp"
#include "core/dialog_placement.hpp"
#include "platform/dpi.hpp"
#include "platform/unicode.hpp"
#include "platform/win_handles.hpp"
#include "resources/resource.h"

namespace forms {
namespace {

// How a control follows the dialog's edges when the user resizes it.
enum class Anchor {
    Stretch,        // keeps its distance to both side edges
    Grow,           // keeps its distance to all four edges
    StretchBottom,  // both side edges and the bottom edge
    Centre,         // as wide as its text, centred in the dialog's width
};

struct Placement {
    int id;
    int left, top, width, height;  // pixels at 96 dpi
    Anchor anchor;
};

// The rules draw their etched line along the top of their 9-pixel boxes: the controls are the
// line's 2 pixels.
constexpr Placement kLayout[] = {
    {IDC_ABOUT_LABEL1, 8, 8, 271, 13, Anchor::Stretch},
    {IDC_ABOUT_BEVEL2, 8, 43, 271, 2, Anchor::Stretch},
    {IDC_ABOUT_LABEL4, 90, 68, 111, 13, Anchor::Centre},
    {IDC_ABOUT_BEVEL1, 8, 87, 269, 2, Anchor::Stretch},
    {IDC_ABOUT_LABEL5, 8, 97, 271, 13, Anchor::Stretch},
    {IDC_ABOUT_LABEL6, 8, 116, 271, 13, Anchor::Stretch},
    {IDC_ABOUT_LABEL7, 8, 135, 271, 13, Anchor::Stretch},
    {IDC_ABOUT_LABEL8, 8, 154, 271, 13, Anchor::Stretch},
    {IDC_ABOUT_MEMOCHANGES, 8, 178, 273, 65, Anchor::Grow},
    {IDOK, 108, 254, 73, 24, Anchor::StretchBottom},
};

constexpr char kReleaseNotes[] =
    "Changes since version 1.02:\r\n"
    "+ Fixed: the program showed a wrong icon\r\n"
    "+ New: save the shown file as an image\r\n"
    "\r\n"
    "Changes since version 1.01:\r\n"
    "+ Settings live in the registry, per user\r\n"
    "+ An old INI file is carried over once\r\n"
    "+ The INI file is deleted after the transfer\r\n"
    "+ Optimised parser: big files open faster\r\n"
    "\r\n"
    "Changes since version 1.00:\r\n"
    "+ Fixed files with troublesome control codes\r\n"
    "+ Fixed: an end-of-file mark cut files short\r\n"
    "+ Fixed: tabs and form feeds broke the art\r\n"
    "+ Fixed: bell and escape codes garbled lines\r\n"
    "+ Control codes now show as blanks";

constexpr COLORREF kLinkColour = RGB(0, 0, 255);

}  // namespace

TFrmAbout::TFrmAbout(HWND owner, platform::Shell& shell, platform::Prompts& prompts)
    : shell_(shell), dialog_(*this, prompts) {
    dialog_.Create(owner, IDD_ABOUT);
}

void TFrmAbout::SetSystemLines(const std::string& osVersion, const std::string& physicalMemory,
                               const std::string& pageFile) {
    ::SetDlgItemTextW(Handle(), IDC_ABOUT_LABEL6, platform::Widen(osVersion).c_str());
    ::SetDlgItemTextW(Handle(), IDC_ABOUT_LABEL7, platform::Widen(physicalMemory).c_str());
    ::SetDlgItemTextW(Handle(), IDC_ABOUT_LABEL8, platform::Widen(pageFile).c_str());
}

void TFrmAbout::ShowModal() {
    if (!Handle()) throw core::AppError("The about dialog could not be created");
    dialog_.ShowModal();
}

void TFrmAbout::Label4Click() { shell_.Open(std::string("mailto:") + ABOUT_CONTACT_ADDRESS); }

INT_PTR TFrmAbout::DialogMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        FormInit();
        return FALSE;  // the focus is set at each showing
    case WM_SIZE:
        FormResize(LOWORD(lp), HIWORD(lp));
        return TRUE;
    case WM_GETMINMAXINFO:
        KeepDesignedSizeAsMinimum(*reinterpret_cast<MINMAXINFO*>(lp));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {  // OK, Enter, Esc, the close box
            dialog_.End(LOWORD(wp));
            return TRUE;
        }
        if (LOWORD(wp) == IDC_ABOUT_LABEL4 && HIWORD(wp) == STN_CLICKED) {
            Label4Click();
            return TRUE;
        }
        return FALSE;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lp) != Item(IDC_ABOUT_LABEL4)) return FALSE;
        ::SetTextColor(reinterpret_cast<HDC>(wp), kLinkColour);
        ::SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
        return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wp) != Item(IDC_ABOUT_LABEL4)) return FALSE;
        ::SetCursor(::LoadCursorA(nullptr, IDC_HAND));  // a system cursor: no text goes through the call
        ::SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, TRUE);
        return TRUE;
    default:
        return FALSE;
    }
}

// The template's dialog units only approximate the designed pixels; the designed sizes are set here.
void TFrmAbout::FormInit() {
    pixelsPerInch_ = platform::WindowDpi(Handle());
    linkWidth_ = platform::CaptionWidth(Item(IDC_ABOUT_LABEL4));
    ::SetDlgItemTextW(Handle(), IDC_ABOUT_MEMOCHANGES, platform::Widen(kReleaseNotes).c_str());

    const SIZE frame = DesignedFrameSize();
    ::SetWindowPos(Handle(), nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    ::GetClientRect(Handle(), &client);
    FormResize(client.right, client.bottom);  // no WM_SIZE when the size happened to be right
}

SIZE TFrmAbout::DesignedFrameSize() const {
    RECT frame{0, 0, Scaled(kDesignedClientWidth), Scaled(kDesignedClientHeight)};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_EXSTYLE)));
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

// Smaller than designed, the controls overlap and the notes vanish; and the size is kept between
// showings, so a dialog dragged too small would reopen so.
void TFrmAbout::KeepDesignedSizeAsMinimum(MINMAXINFO& info) const {
    const SIZE frame = DesignedFrameSize();
    info.ptMinTrackSize = POINT{frame.cx, frame.cy};
}

void TFrmAbout::FormResize(int clientWidth, int clientHeight) {
    const int dx = clientWidth - Scaled(kDesignedClientWidth);
    const int dy = clientHeight - Scaled(kDesignedClientHeight);
    for (const Placement& p : kLayout) {
        int left = Scaled(p.left), top = Scaled(p.top), width = Scaled(p.width), height = Scaled(p.height);
        switch (p.anchor) {
        case Anchor::Stretch: width += dx; break;
        case Anchor::Grow: width += dx; height += dy; break;
        case Anchor::StretchBottom: width += dx; top += dy; break;
        case Anchor::Centre: width = linkWidth_; left = (clientWidth - width) / 2; break;
        }
        HWND control = Item(p.id);
        ::SetWindowPos(control, nullptr, left, top, std::max(width, 0), std::max(height, 0),
                       SWP_NOZORDER | SWP_NOACTIVATE);
        ::InvalidateRect(control, nullptr, TRUE);  // centred texts move inside their controls
    }
}

}  // namespace forms
