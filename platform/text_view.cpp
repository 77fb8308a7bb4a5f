#include "platform/text_view.hpp"

#include "platform/clipboard.hpp"
#include "platform/scroll_bar.hpp"
#include "platform/view_font.hpp"
#include "platform/view_painter.hpp"

#include <algorithm>
#include <climits>
#include <new>
#include <optional>
#include <utility>

namespace platform {
namespace {

constexpr UINT_PTR kDragTimer = 1;
constexpr UINT kDragTick = 100;  // ms between steps of the auto-scroll while a drag is outside
constexpr int kCaretWidth = 1;
constexpr WORD kHandCursor = 32649;  // IDC_HAND: a system cursor, no text goes through the call
constexpr UINT kWmMouseHWheel = 0x020E;  // the tilt wheel, from Vista on: WM_MOUSEHWHEEL

DWORD ViewStyle(bool wrap) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_NOHIDESEL |
                  ES_AUTOVSCROLL;
    if (!wrap) style |= WS_HSCROLL | ES_AUTOHSCROLL;
    return style;
}

void RegisterViewClass(WNDPROC proc) {
    static const ATOM atom = [proc] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32513));  // IDC_IBEAM
        wc.lpszClassName = TextView::kClassName;
        return ::RegisterClassExW(&wc);
    }();
    (void)atom;
}

bool KeyHeld(int key) { return ::GetKeyState(key) < 0; }

// A coordinate for GDI, whose fields are 32 bits.
int Saturated32(long long value) { return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX)); }

// The client point of a mouse message: two signed 16-bit fields.
core::Pixel PointOf(LPARAM lp) { return core::Pixel{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))}; }

template <typename To, std::size_t N>
std::optional<To> Lookup(const std::pair<WORD, To> (&table)[N], WORD from) {
    for (const auto& [code, to] : table)
        if (code == from) return to;
    return std::nullopt;
}

constexpr std::pair<WORD, core::CaretKey> kCaretKeys[] = {
    {VK_LEFT, core::CaretKey::Left},     {VK_RIGHT, core::CaretKey::Right},   {VK_UP, core::CaretKey::Up},
    {VK_DOWN, core::CaretKey::Down},     {VK_PRIOR, core::CaretKey::PageUp}, {VK_NEXT, core::CaretKey::PageDown},
    {VK_HOME, core::CaretKey::Home},     {VK_END, core::CaretKey::End},
};

}  // namespace

COLORREF ColourOf(std::int32_t value) {
    if (value < 0) return ::GetSysColor(value & 0xFF);
    return static_cast<COLORREF>(value);
}

TextView::TextView(HWND parent, int id, TextViewEvents& events) : parent_(parent), events_(events) {
    seenGeneration_ = Rows().Generation();
    RegisterViewClass(&TextView::Proc);
    ::CreateWindowExW(0, kClassName, L"", ViewStyle(wrap_), 0, 0, 0, 0, parent_,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), this);
    tip_ = std::make_unique<LinkTip>(wnd_);
    ApplyFont();
}

TextView::~TextView() {
    if (wnd_ && ::IsWindow(wnd_)) ::DestroyWindow(wnd_);
}

LRESULT TextView::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    KeepTopInPlace();  // an exact answer asked for through a const call may have laid blocks out
    if (msg == WM_TIMER && wp == kRefineTimer) {
        RefineInIdle();
        return 0;
    }
    if (const auto result = HandleKeys(msg, wp, lp)) return *result;
    if (const auto result = HandlePan(msg, wp, lp)) return *result;
    if (const auto result = HandleMouse(msg, wp, lp)) return *result;
    if (const auto result = HandleEditMessage(msg, wp, lp)) return *result;
    return HandleWindow(msg, wp, lp);
}

LRESULT TextView::HandleWindow(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: Paint(); return 0;
    case WM_ERASEBKGND: return 1;  // every pixel is painted by WM_PAINT
    case WM_SIZE: OnSize(); return 0;
    case WM_VSCROLL:
    case WM_HSCROLL: OnScroll(msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wp)); return 0;
    case WM_SETFOCUS: ShowNewCaret(); return 0;
    case WM_KILLFOCUS:
        pressedLink_.reset();
        StopDrag();
        ::DestroyCaret();
        return 0;
    case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | DLGC_WANTALLKEYS;
    case WM_SETFONT:
        drawFont_ = reinterpret_cast<HFONT>(wp);
        if (const auto grid = MeasureCellGrid(wnd_, drawFont_)) grid_ = *grid;
        if (::GetFocus() == wnd_) ShowNewCaret();  // as tall as the new rows (zoom keeps the focus here)
        Relayout();
        if (LOWORD(lp)) Repaint();
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(drawFont_);
    case WM_SETTEXT: return FALSE;  // the text comes through SetText only
    case WM_CONTEXTMENU: OnContextMenu(lp); return 0;
    case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT && !dragging_ && CursorOverLink()) {
            ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(kHandCursor)));
            return TRUE;
        }
        return ::DefWindowProcW(wnd_, msg, wp, lp);
    default: return ::DefWindowProcW(wnd_, msg, wp, lp);
    }
}

// Keys with the owner's events in the order an edit control's subclass sees them: key down and
// characters before the view acts, releases after. An event may destroy the window (Esc closes
// the program), so nothing of the view is touched once it is gone.
std::optional<LRESULT> TextView::HandleKeys(UINT msg, WPARAM wp, LPARAM lp) {
    HWND wnd = wnd_;
    auto gone = [wnd] { return !::IsWindow(wnd); };
    switch (msg) {
    case WM_KEYDOWN:
        if (OnKey(static_cast<WORD>(wp))) return 0;
        return ::DefWindowProcW(wnd, msg, wp, lp);
    case WM_CHAR:
        events_.ViewChar(static_cast<wchar_t>(wp));
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        const LRESULT result = ::DefWindowProcW(wnd, msg, wp, lp);
        if (!gone()) events_.ViewKeyUp(static_cast<WORD>(wp));
        return result;
    }
    default: return std::nullopt;
    }
}

// Buttons, with the owner's event after every release (which may destroy the window). A press on
// a link and its release on the same link, with no drag between, is a click on it.
std::optional<LRESULT> TextView::HandleMouse(UINT msg, WPARAM wp, LPARAM lp) {
    HWND wnd = wnd_;
    if (msg > WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK) tip_->Relay(msg, wp, lp);
    switch (msg) {
    case WM_LBUTTONDOWN:
        ::SetFocus(wnd);
        if (!::IsWindow(wnd)) return 0;
        PressLink(PointOf(lp), (wp & MK_SHIFT) != 0);
        StartDrag(PointOf(lp), (wp & MK_SHIFT) != 0);
        return 0;
    case WM_LBUTTONDBLCLK: {
        const core::Span word = core::WordAround(text_.Index(), OffsetAt(PointOf(lp)));
        Select(word.start, word.end);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (!dragging_) {
            HoverAt(PointOf(lp));
        } else if (!StillAClick(PointOf(lp))) {
            pressedLink_.reset();
            DragTo(PointOf(lp));
        }
        tip_->Relay(msg, wp, lp);  // once the tip knows the link under the mouse
        return 0;
    case WM_TIMER:
        if (wp == kDragTimer && dragging_ && !pressedLink_) {
            POINT at;
            ::GetCursorPos(&at);
            ::ScreenToClient(wnd, &at);
            DragTo(core::Pixel{at.x, at.y});
        }
        return 0;
    case WM_CAPTURECHANGED:
        pressedLink_.reset();
        if (dragging_) StopDrag();
        return 0;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
    case WM_RBUTTONUP: {
        std::optional<core::Link> clicked;
        if (msg == WM_LBUTTONUP) {
            clicked = ReleasedOnPressedLink(PointOf(lp));
            StopDrag();
        }
        const LRESULT result = ::DefWindowProcW(wnd, msg, wp, lp);  // a right release opens the menu
        if (::IsWindow(wnd)) events_.ViewMouseUp();
        if (clicked && ::IsWindow(wnd)) events_.ViewLinkClick(*clicked);
        return result;
    }
    case WM_MOUSEWHEEL:
        if (LOWORD(wp) & MK_CONTROL) return ::DefWindowProcW(wnd, msg, wp, lp);  // zoom: the owner's, as its parent
        if (LOWORD(wp) & MK_SHIFT)
            OnSideWheel(static_cast<short>(-static_cast<short>(HIWORD(wp))));  // turned back: to the left
        else
            OnWheel(static_cast<short>(HIWORD(wp)));
        return 0;
    case kWmMouseHWheel: OnSideWheel(static_cast<short>(HIWORD(wp))); return 0;
    default: return std::nullopt;
    }
}

void TextView::OnContextMenu(LPARAM lp) {
    POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    if (at.x == -1 && at.y == -1) {  // from the keyboard: open at the caret
        ::GetCaretPos(&at);
        ::ClientToScreen(wnd_, &at);
    }
    events_.ViewContextMenu(at);
}

// ---- the public operations ----------------------------------------------------------------------

bool TextView::SetText(std::string bytes) {
    try {
        core::PreparedText text = core::PrepareText(std::move(bytes));
        return SetText(text);
    } catch (const std::bad_alloc&) {
        return false;  // no memory for its index: the old text stays
    }
}

bool TextView::SetText(core::PreparedText& text) {
    if (!text_.Replace(text, Wrapping())) return false;  // no memory for its rows: the old text stays
    pressedLink_.reset();
    tip_->Clear();
    anchor_ = caret_ = 0;
    scroll_ = core::Scroll{};
    topStart_ = 0;
    seenGeneration_ = Rows().Generation();
    SettleLayout();
    UpdateScrollBars();
    Repaint();
    PlaceCaret();
    return true;
}

Selection TextView::GetSelection() const { return Selection{std::min(anchor_, caret_), std::max(anchor_, caret_)}; }

void TextView::SetSelection(std::size_t start, std::size_t end) {
    Select(std::min(start, Text().size()), std::min(end, Text().size()));
}

void TextView::SelectAll() { Select(0, Text().size()); }

ViewPlace TextView::Place() const { return ViewPlace{topStart_, scroll_.x, anchor_, caret_}; }

void TextView::RestorePlace(const ViewPlace& place) {
    const std::size_t size = Text().size();
    Select(std::min(place.anchor, size), std::min(place.caret, size));
    const std::size_t top = std::min(place.top, size);
    Rows().LayOutAround(top, 0, 0);
    ScrollTo(static_cast<long long>(Rows().RowOf(top)), place.x);
}

void TextView::ScrollCaret() {
    KeepTopInPlace();
    const core::ScrollWish wish =
        core::ScrollToShow(scroll_, ClientFrame(), Rows().RowOf(caret_), core::XInRow(Rows(), caret_, grid_.cell));
    ScrollTo(wish.top, wish.x);
}

int TextView::LineCount() const { return static_cast<int>(Rows().ExactCount()); }

int TextView::LineCountUpTo(int most) const {
    if (most < 0) return 0;
    Rows().MakeExactThroughRow(static_cast<std::size_t>(most));
    return static_cast<int>(std::min<std::size_t>(Rows().Count(), static_cast<std::size_t>(most) + 1));
}

std::string_view TextView::Line(int index) const {
    if (index < 0) return {};
    Rows().MakeExactThroughRow(static_cast<std::size_t>(index));
    if (static_cast<std::size_t>(index) >= Rows().Count()) return {};
    return Rows().BytesOf(Rows().At(static_cast<std::size_t>(index)));
}

void TextView::SetWrap(bool on) {
    if (on == wrap_) return;
    wrap_ = on;
    ::ShowScrollBar(wnd_, SB_HORZ, !on);
    const LONG_PTR style = ::GetWindowLongPtrW(wnd_, GWL_STYLE);
    ::SetWindowLongPtrW(wnd_, GWL_STYLE, on ? (style & ~static_cast<LONG_PTR>(ES_AUTOHSCROLL | WS_HSCROLL))
                                            : (style | ES_AUTOHSCROLL | WS_HSCROLL));
    ::SetWindowPos(wnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    scroll_.x = 0;
    if (Wrapping().pixels != text_.WrapPixels())
        Relayout();  // unless the frame's change of size has laid the rows out already
    else
        UpdateScrollBars();
    ScrollCaret();
    Repaint();
}

void TextView::SetFont(const std::string& name, int height) {
    fontName_ = name;
    fontHeight_ = height;
    ApplyFont();
}

void TextView::ApplyFont() {
    UniqueGdi font = CreateViewFont(fontName_, fontHeight_);
    ::SendMessageW(wnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    font_ = std::move(font);  // the old font is deleted only after the view let go of it
}

void TextView::SetFontColor(std::int32_t colour) {
    fontColor_ = colour;
    Repaint();
}

void TextView::SetBackColor(std::int32_t colour) {
    backColor_ = colour;
    Repaint();
}

void TextView::Move(int left, int top, int width, int height) {
    ::MoveWindow(wnd_, left, top, std::max(width, 0), std::max(height, 0), TRUE);
}

void TextView::Focus() { ::SetFocus(wnd_); }

void TextView::Repaint() { ::InvalidateRect(wnd_, nullptr, FALSE); }

// ---- caret and selection ------------------------------------------------------------------------

void TextView::Select(std::size_t anchor, std::size_t caret) {
    if (anchor == anchor_ && caret == caret_) return;
    anchor_ = anchor;
    caret_ = caret;
    SettleLayout();
    PlaceCaret();
    Repaint();
}

void TextView::MoveCaret(std::size_t to, bool extend) {
    Select(extend ? anchor_ : to, to);
    ScrollCaret();
}

void TextView::ShowNewCaret() {
    ::CreateCaret(wnd_, nullptr, kCaretWidth, grid_.line);  // replaces the thread's caret, if any
    PlaceCaret();
    ::ShowCaret(wnd_);
}

void TextView::PlaceCaret() {
    if (::GetFocus() != wnd_) return;
    const core::Pixel at = PixelOf(caret_);
    ::SetCaretPos(Saturated32(at.x), Saturated32(at.y));
}

core::Pixel TextView::PixelOf(std::size_t offset) const { return core::PixelOf(Rows(), grid_, scroll_, offset); }

std::size_t TextView::OffsetAt(core::Pixel at) const { return core::OffsetAt(Rows(), grid_, scroll_, at); }

bool TextView::OnKey(WORD key) {
    const bool ctrl = KeyHeld(VK_CONTROL);
    if (key == VK_SPACE && !ctrl) {
        ScrollPage(!KeyHeld(VK_SHIFT));
        return true;
    }
    if (const auto caretKey = Lookup(kCaretKeys, key)) {
        const core::CaretStep step = core::StepCaret(Rows(), ClientFrame(), caret_, *caretKey, ctrl);
        if (step.scrollRows != 0) ScrollTo(static_cast<long long>(scroll_.top) + step.scrollRows, scroll_.x);
        MoveCaret(step.caret, KeyHeld(VK_SHIFT));
        return true;
    }
    return false;
}

void TextView::StartDrag(core::Pixel at, bool extend) {
    MoveCaret(OffsetAt(at), extend);
    dragging_ = true;
    ::SetCapture(wnd_);
    ::SetTimer(wnd_, kDragTimer, kDragTick, nullptr);
}

// A drag outside the text scrolls towards the mouse a row (or a cell) per step.
void TextView::DragTo(core::Pixel at) {
    const core::DragStep step = core::DragStepAt(at, ClientFrame());
    ScrollTo(static_cast<long long>(scroll_.top) + step.rows, scroll_.x + static_cast<long long>(step.cells) * grid_.cell);
    Select(anchor_, OffsetAt(step.inside));
}

void TextView::StopDrag() {
    if (!dragging_) return;
    dragging_ = false;
    ::KillTimer(wnd_, kDragTimer);
    if (::GetCapture() == wnd_) ::ReleaseCapture();
}

void TextView::CopySelected() const {
    const Selection selection = GetSelection();
    if (selection.length() > 0)
        CopyBytesToClipboard(wnd_, std::string_view(Text()).substr(selection.start, selection.length()));
}

// ---- painting -----------------------------------------------------------------------------------

void TextView::Paint() {
    SettleLayout();
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(wnd_, &paint);
    if (!dc) return;
    {
        SelectedObject selected(dc, drawFont_);
        const ViewPicture picture{Rows(), ClientFrame(), scroll_, GetSelection(),
                                  ViewColours(ColourOf(fontColor_), ColourOf(backColor_))};
        PaintRows(dc, paint.rcPaint, picture);
    }
    ::EndPaint(wnd_, &paint);
}

}  // namespace platform
