#include "forms/frm_settings.hpp"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <string_view>

#include "core/settings_dialog.hpp"
#include "core/settings_values.hpp"
#include "platform/dpi.hpp"
#include "platform/unicode.hpp"
#include "platform/win_handles.hpp"
#include "resources/resource.h"

namespace forms {
namespace {

constexpr int kDesignDpi = 96;

// Each control's rectangle in pixels at 96 dpi. A drop-down list's height follows from its field
// (below): only its place and width are set here.
struct Placement {
    int id;
    int left;
    int top;
    int width;
    int height;  // 0 for a drop-down list
};

constexpr Placement kLayout[] = {
    {IDC_LABEL1, 8, 8, 192, 13},     {IDC_CBNFO, 8, 33, 49, 17},       {IDC_CBDIZ, 63, 33, 49, 17},
    {IDC_CBION, 118, 33, 49, 17},    {IDC_CBBBS, 173, 33, 49, 17},     {IDC_CBTXT, 228, 33, 49, 17},
    {IDC_BEVEL1, 8, 56, 289, 9},     {IDC_LABEL2, 8, 74, 26, 13},      {IDC_COMBOFONT, 40, 71, 145, 0},
    {IDC_LABEL3, 199, 74, 23, 13},   {IDC_COMBOSIZE, 228, 71, 68, 0},  {IDC_BEVEL2, 8, 105, 289, 9},
    {IDC_LABEL4, 8, 120, 52, 13},    {IDC_LABEL5, 165, 120, 86, 13},   {IDC_COMBOTEXT, 8, 139, 140, 0},
    {IDC_COMBOBACK, 165, 139, 134, 0}, {IDC_BEVEL3, 8, 173, 289, 9},   {IDOK, 141, 188, 75, 24},
    {IDCANCEL, 222, 188, 75, 24},
};

// A drop-down list is as high as its closed field plus a 6-pixel frame: 21 pixels for the two
// lists, 22 for the pickers. The lists' entries are as high as their font's lines; the pickers'
// are set (owner-drawn entries are the only ones a list lets its owner size).
struct ListHeights {
    int id;
    int field;
    int entries;  // 0: the font's
};

constexpr ListHeights kListHeights[] = {
    {IDC_COMBOFONT, 15, 0}, {IDC_COMBOSIZE, 15, 0}, {IDC_COMBOTEXT, 16, 16}, {IDC_COMBOBACK, 16, 16}};

// Labels grow to their text as the font in use draws it, so no caption is cut short where the
// face is replaced by a wider one, up to the pixel before the next control on their row. The ink
// can run past the measured extent (Wine's stand-in for Tahoma by 4 pixels), hence the slack.
constexpr int kLabelSlack = 6;

struct LabelRoom {
    int id;
    int rightmost;  // at 96 dpi, exclusive
};

constexpr LabelRoom kLabelRoom[] = {
    {IDC_LABEL1, 300}, {IDC_LABEL2, 39}, {IDC_LABEL3, 227}, {IDC_LABEL4, 164}, {IDC_LABEL5, 300}};

// In the order of core::kAssociatedExtensions.
constexpr int kExtensionBoxes[] = {IDC_CBNFO, IDC_CBDIZ, IDC_CBION, IDC_CBBBS, IDC_CBTXT};
constexpr int kColourPickers[] = {IDC_COMBOTEXT, IDC_COMBOBACK};

LRESULT Send(HWND control, UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return ::SendMessageW(control, msg, wp, lp); }

int Scaled(int pixels, int dpi) { return ::MulDiv(pixels, dpi, kDesignDpi); }

core::Rect ToCore(const RECT& rect) { return core::Rect{rect.left, rect.top, rect.right, rect.bottom}; }
RECT ToRect(const core::Rect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

// The width a control gets: its designed one, or for a label as much more as its text needs.
int FittedWidth(HWND control, const Placement& place, int dpi) {
    const int designed = Scaled(place.width, dpi);
    for (const LabelRoom& room : kLabelRoom) {
        if (room.id != place.id) continue;
        const int needed = platform::CaptionWidth(control) + Scaled(kLabelSlack, dpi);
        return std::clamp(needed, designed, std::max(designed, Scaled(room.rightmost - place.left, dpi)));
    }
    return designed;
}

COLORREF FrameColour(core::SwatchFrame frame, COLORREF fill) {
    switch (frame) {
    case core::SwatchFrame::Black: return RGB(0, 0, 0);
    case core::SwatchFrame::White: return RGB(255, 255, 255);
    case core::SwatchFrame::Colour: break;
    }
    return fill;
}

}  // namespace

TFrmSettings::TFrmSettings(HWND owner, platform::Prompts& prompts) : dialog_(*this, prompts) {
    if (!dialog_.Create(owner, IDD_SETTINGS)) return;
    FillLists();
    PlaceControls();
}

void TFrmSettings::FillLists() {
    const auto add = [](HWND list, std::string_view text) {
        return Send(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::Widen(text).c_str()));
    };
    for (const std::string_view face : core::kFontFaces) add(Control(IDC_COMBOFONT), face);
    for (int points = core::kSmallestPoints; points <= core::kLargestPoints; ++points)
        add(Control(IDC_COMBOSIZE), std::to_string(points));
    for (const int id : kColourPickers) {
        HWND picker = Control(id);
        for (const core::NamedColour& colour : core::kNamedColours) {
            const LRESULT index = add(picker, colour.name);
            Send(picker, CB_SETITEMDATA, static_cast<WPARAM>(index),
                 static_cast<LPARAM>(static_cast<std::uint32_t>(colour.value)));
        }
    }
}

void TFrmSettings::PlaceControls() {
    HWND wnd = Handle();
    const int dpi = platform::WindowDpi(wnd);
    for (const ListHeights& list : kListHeights) {
        Send(Control(list.id), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Scaled(list.field, dpi));
        if (list.entries) Send(Control(list.id), CB_SETITEMHEIGHT, 0, Scaled(list.entries, dpi));
    }
    for (const Placement& place : kLayout) {
        HWND control = Control(place.id);
        RECT now{};
        ::GetWindowRect(control, &now);
        const int height = place.height ? Scaled(place.height, dpi) : now.bottom - now.top;
        ::SetWindowPos(control, nullptr, Scaled(place.left, dpi), Scaled(place.top, dpi),
                       FittedWidth(control, place, dpi), height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT frame{0, 0, Scaled(kDesignedClientWidth, dpi), Scaled(kDesignedClientHeight, dpi)};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(wnd, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(wnd, GWL_EXSTYLE)));
    ::SetWindowPos(wnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- filling ------------------------------------------------------------------------------------

void TFrmSettings::SelectFontName(const std::string& name) {
    if (const std::optional<std::int32_t> index = core::FontIndexFromName(name))
        Send(Control(IDC_COMBOFONT), CB_SETCURSEL, static_cast<WPARAM>(*index));
}

// A zoomed size the list does not hold shows no selection, so OK keeps it rather than taking back
// whatever the list showed last time.
void TFrmSettings::SelectPointSize(int points) {
    const bool listed = points >= core::kSmallestPoints && points <= core::kLargestPoints;
    Send(Control(IDC_COMBOSIZE), CB_SETCURSEL, listed ? static_cast<WPARAM>(points - core::kSmallestPoints) : static_cast<WPARAM>(-1));
}

void TFrmSettings::SelectColours(std::int32_t text, std::int32_t back) {
    const std::pair<int, std::int32_t> choices[] = {{IDC_COMBOTEXT, text}, {IDC_COMBOBACK, back}};
    for (const auto& [id, colour] : choices) {
        const std::optional<int> index = core::NamedColourIndex(colour);
        Send(Control(id), CB_SETCURSEL, static_cast<WPARAM>(index.value_or(-1)));
    }
}

void TFrmSettings::TickAssociated(const core::ExtensionFlags& associated) {
    for (std::size_t i = 0; i < associated.size(); ++i)
        if (associated[i]) Send(Control(kExtensionBoxes[i]), BM_SETCHECK, BST_CHECKED);
}

// ---- showing ------------------------------------------------------------------------------------

bool TFrmSettings::ShowModal() { return Handle() && dialog_.ShowModal() == IDOK; }

INT_PTR TFrmSettings::DialogMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_DRAWITEM:
        DrawColourEntry(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            dialog_.End(LOWORD(wp));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void TFrmSettings::DrawColourEntry(const DRAWITEMSTRUCT& item) const {
    HDC dc = item.hDC;
    const bool highlighted = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(dc, &item.rcItem, ::GetSysColorBrush(highlighted ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID != static_cast<UINT>(-1)) {
        const auto colour = static_cast<std::int32_t>(static_cast<std::uint32_t>(item.itemData));
        const core::SwatchLayout layout = core::LayOutSwatch(ToCore(item.rcItem));
        const RECT swatch = ToRect(layout.swatch);
        const COLORREF fill = static_cast<COLORREF>(colour);
        platform::UniqueGdi fillBrush(::CreateSolidBrush(fill));
        platform::UniqueGdi frameBrush(::CreateSolidBrush(FrameColour(core::SwatchFrameFor(colour, highlighted), fill)));
        ::FillRect(dc, &swatch, static_cast<HBRUSH>(fillBrush.get()));
        ::FrameRect(dc, &swatch, static_cast<HBRUSH>(frameBrush.get()));

        wchar_t name[64] = {};
        if (Send(item.hwndItem, CB_GETLBTEXTLEN, item.itemID) < static_cast<LRESULT>(std::size(name)))
            Send(item.hwndItem, CB_GETLBTEXT, item.itemID, reinterpret_cast<LPARAM>(name));
        RECT text{layout.textLeft, item.rcItem.top, item.rcItem.right, item.rcItem.bottom};
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        ::DrawTextW(dc, name, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &item.rcItem);
}

// ---- reading ------------------------------------------------------------------------------------

std::optional<std::string> TFrmSettings::SelectedText(int id) const {
    HWND list = Control(id);
    const LRESULT index = Send(list, CB_GETCURSEL);
    if (index == CB_ERR) return std::nullopt;
    const LRESULT length = Send(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (length == CB_ERR) return std::nullopt;
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    Send(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return platform::Narrow(text);
}

std::optional<std::int32_t> TFrmSettings::SelectedColour(int id) const {
    HWND picker = Control(id);
    const LRESULT index = Send(picker, CB_GETCURSEL);
    if (index == CB_ERR) return std::nullopt;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(Send(picker, CB_GETITEMDATA, static_cast<WPARAM>(index))));
}

std::optional<std::string> TFrmSettings::ChosenFontName() const { return SelectedText(IDC_COMBOFONT); }

std::optional<int> TFrmSettings::ChosenPointSize() const {
    const std::optional<std::string> text = SelectedText(IDC_COMBOSIZE);
    int points = 0;
    if (!text || std::from_chars(text->data(), text->data() + text->size(), points).ec != std::errc{})
        return std::nullopt;
    return points;
}

std::optional<std::int32_t> TFrmSettings::ChosenTextColour() const { return SelectedColour(IDC_COMBOTEXT); }
std::optional<std::int32_t> TFrmSettings::ChosenBackColour() const { return SelectedColour(IDC_COMBOBACK); }

core::ExtensionFlags TFrmSettings::Ticked() const {
    core::ExtensionFlags ticked{};
    for (std::size_t i = 0; i < ticked.size(); ++i)
        ticked[i] = Send(Control(kExtensionBoxes[i]), BM_GETCHECK) == BST_CHECKED;
    return ticked;
}

}  // namespace forms
