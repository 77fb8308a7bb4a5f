#include "platform/text_view.hpp"

#include "core/cp437.hpp"
#include "platform/clipboard.hpp"

#include <algorithm>
#include <climits>
#include <new>
#include <vector>

namespace platform {
namespace {

constexpr UINT_PTR kDragTimer = 1;
constexpr UINT kDragTick = 100;  // ms between steps of the auto-scroll while a drag is outside
constexpr int kCaretWidth = 1;
constexpr int kScrollFraction = 3;  // a caret scrolled into view sideways stands a third in

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

// The glyph drawn for a byte in a cell: a lone CR or LF (never in a loaded text) as its PC picture.
wchar_t CellGlyph(unsigned char byte) {
    if (byte == '\r') return L'\u266A';
    if (byte == '\n') return L'\u25D9';
    if (byte == 0 || byte == '\t') return L' ';
    return static_cast<wchar_t>(core::Cp437Glyph(byte));
}

class DcFont {
public:
    DcFont(HDC dc, HFONT font) : dc_(dc), old_(font ? ::SelectObject(dc, font) : nullptr) {}
    DcFont(const DcFont&) = delete;
    DcFont& operator=(const DcFont&) = delete;
    ~DcFont() { if (old_) ::SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Offsets in edit messages are INTs; -1 has its own meaning there.
int AsInt(WPARAM value) { return static_cast<int>(static_cast<INT_PTR>(value)); }

// A coordinate for a 16-bit field of a message: one beyond its range stays beyond it, on its own
// side, rather than wrapping round to a point inside the window.
WORD Saturated16(long long value) { return static_cast<WORD>(static_cast<short>(std::clamp<long long>(value, -32768, 32767))); }

// A coordinate for GDI, whose fields are 32 bits.
int Saturated32(long long value) { return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX)); }

}  // namespace

COLORREF ColourOf(std::int32_t value) {
    if (value < 0) return ::GetSysColor(value & 0xFF);
    return static_cast<COLORREF>(value);
}

TextView::TextView(HWND parent, int id, TextViewEvents& events) : parent_(parent), events_(events) {
    RegisterViewClass(&TextView::Proc);
    index_.Build(text_);
    rows_.Reset(index_, core::WrapWidth{});
    ::CreateWindowExW(0, kClassName, L"", ViewStyle(wrap_), 0, 0, 0, 0, parent_,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), this);
    ApplyFont();
}

TextView::~TextView() {
    if (wnd_ && ::IsWindow(wnd_)) ::DestroyWindow(wnd_);
}

LRESULT TextView::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    bool handled = true;
    LRESULT result = HandleInput(msg, wp, lp, handled);
    if (handled) return result;
    handled = true;
    result = HandleEditMessage(msg, wp, lp, handled);
    if (handled) return result;
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // every pixel is painted by WM_PAINT
    case WM_SIZE:
        if (Wrapping().pixels != layoutWidth_) Relayout();  // a new width wraps anew
        ScrollTo(static_cast<long long>(topRow_), xOffset_);
        UpdateScrollBars();
        Repaint();
        return 0;
    case WM_VSCROLL:
    case WM_HSCROLL:
        OnScroll(msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wp));
        return 0;
    case WM_SETFOCUS:
        ::CreateCaret(wnd_, nullptr, kCaretWidth, metrics_.line);
        PlaceCaret();
        ::ShowCaret(wnd_);
        return 0;
    case WM_KILLFOCUS:
        StopDrag();
        ::DestroyCaret();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | DLGC_WANTALLKEYS;
    case WM_SETFONT:
        drawFont_ = reinterpret_cast<HFONT>(wp);
        MeasureFont(drawFont_);
        Relayout();
        if (LOWORD(lp)) Repaint();
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(drawFont_);
    case WM_SETTEXT:
        return FALSE;  // the text comes through SetText only
    case WM_CONTEXTMENU: {
        POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        if (at.x == -1 && at.y == -1) {  // from the keyboard: open at the caret
            ::GetCaretPos(&at);
            ::ClientToScreen(wnd_, &at);
        }
        events_.ViewContextMenu(at);
        return 0;
    }
    default:
        return ::DefWindowProcW(wnd_, msg, wp, lp);
    }
}

// Keys and buttons, with the owner's events in the order an edit control's subclass sees them:
// key down and characters before the view acts, releases after. An event may destroy the window
// (Esc closes the program), so nothing of the view is touched once it is gone.
LRESULT TextView::HandleInput(UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
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
    case WM_LBUTTONDOWN:
        ::SetFocus(wnd);
        if (gone()) return 0;
        MoveCaret(OffsetAt(POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))}),
                  (wp & MK_SHIFT) != 0);
        dragging_ = true;
        ::SetCapture(wnd);
        ::SetTimer(wnd, kDragTimer, kDragTick, nullptr);
        return 0;
    case WM_LBUTTONDBLCLK:
        SelectWordAt(OffsetAt(POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))}));
        return 0;
    case WM_MOUSEMOVE:
        if (dragging_) DragTo(POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
        return 0;
    case WM_TIMER:
        if (wp == kDragTimer && dragging_) {
            POINT at;
            ::GetCursorPos(&at);
            ::ScreenToClient(wnd, &at);
            DragTo(at);
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (dragging_) StopDrag();
        return 0;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
    case WM_RBUTTONUP: {
        if (msg == WM_LBUTTONUP) StopDrag();
        const LRESULT result = ::DefWindowProcW(wnd, msg, wp, lp);  // a right release opens the menu
        if (!gone()) events_.ViewMouseUp();
        return result;
    }
    case WM_MOUSEWHEEL:
        OnWheel(static_cast<short>(HIWORD(wp)));
        return 0;
    default:
        handled = false;
        return 0;
    }
}

// The standard messages of a read-only multi-line edit control, answered from the byte model.
LRESULT TextView::HandleEditMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
    auto caretRow = [this] { return rows_.RowOf(caret_); };
    auto rowOf = [this, caretRow](WPARAM line) {
        return AsInt(line) < 0 ? caretRow() : static_cast<std::size_t>(AsInt(line));
    };
    switch (msg) {
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(text_.size());
    case WM_GETTEXT: {
        if (wp == 0 || lp == 0) return 0;
        auto* out = reinterpret_cast<wchar_t*>(lp);
        const std::size_t n = std::min<std::size_t>(text_.size(), static_cast<std::size_t>(wp) - 1);
        for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<wchar_t>(core::Cp437Glyph(static_cast<unsigned char>(text_[i])));
        out[n] = L'\0';
        return static_cast<LRESULT>(n);
    }
    case EM_GETSEL: {
        const Selection selection = GetSelection();
        if (wp) *reinterpret_cast<DWORD*>(wp) = static_cast<DWORD>(selection.start);
        if (lp) *reinterpret_cast<DWORD*>(lp) = static_cast<DWORD>(selection.end);
        if (selection.end > 0xFFFF) return -1;
        return MAKELRESULT(selection.start, selection.end);
    }
    case EM_SETSEL: {
        const int start = AsInt(wp);
        const int end = AsInt(static_cast<WPARAM>(lp));
        if (start == -1) {
            Select(caret_, caret_);
            return 0;
        }
        SetSelection(static_cast<std::size_t>(start), end < 0 ? text_.size() : static_cast<std::size_t>(end));
        return 0;
    }
    case EM_GETLINECOUNT:
        return static_cast<LRESULT>(rows_.Count());
    case EM_GETFIRSTVISIBLELINE:
        return static_cast<LRESULT>(topRow_);
    case EM_LINEFROMCHAR:
        return static_cast<LRESULT>(AsInt(wp) < 0 ? caretRow() : rows_.RowOf(std::min<std::size_t>(wp, text_.size())));
    case EM_LINEINDEX: {
        const std::size_t row = rowOf(wp);
        return row < rows_.Count() ? static_cast<LRESULT>(rows_.At(row).start) : -1;
    }
    case EM_LINELENGTH: {
        const std::size_t offset = AsInt(wp) < 0 ? caret_ : std::min<std::size_t>(wp, text_.size());
        const core::Row row = rows_.At(rows_.RowOf(offset));
        return static_cast<LRESULT>(row.end - row.start);
    }
    case EM_GETLINE: {
        const std::size_t index = static_cast<std::size_t>(wp);
        if (lp == 0 || index >= rows_.Count()) return 0;
        auto* out = reinterpret_cast<wchar_t*>(lp);
        const std::string_view line = Line(static_cast<int>(index));
        const std::size_t n = std::min<std::size_t>(line.size(), *reinterpret_cast<WORD*>(lp));
        for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<wchar_t>(core::Cp437Glyph(static_cast<unsigned char>(line[i])));
        return static_cast<LRESULT>(n);
    }
    // Both answers are two 16-bit fields, as the edit control gives them. A point outside what a
    // signed 16-bit coordinate holds is answered as -32768 or 32767 on its side: never a point
    // inside the window. The character index and the line of EM_CHARFROMPOS are their low words,
    // the edit control's own convention: the full index is the line's EM_LINEINDEX plus the
    // distance the low word gives, modulo 65536.
    case EM_POSFROMCHAR: {
        if (wp > text_.size()) return -1;
        const Pixel at = PixelOf(static_cast<std::size_t>(wp));
        return MAKELRESULT(Saturated16(at.x), Saturated16(at.y));
    }
    case EM_CHARFROMPOS: {
        const POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        const std::size_t offset = OffsetAt(at);
        return MAKELRESULT(static_cast<WORD>(offset & 0xFFFF), static_cast<WORD>(rows_.RowOf(offset) & 0xFFFF));
    }
    case EM_SCROLLCARET:
        ScrollCaret();
        return 0;
    case EM_LINESCROLL:
        ScrollTo(static_cast<long long>(topRow_) + static_cast<int>(lp),
                 xOffset_ + static_cast<long long>(AsInt(wp)) * metrics_.cell);
        return TRUE;
    case EM_GETRECT:
        if (lp) {
            RECT format = Client();
            format.left += metrics_.margin;
            format.right -= metrics_.margin;
            format.bottom = static_cast<LONG>(PageRows()) * metrics_.line;
            *reinterpret_cast<RECT*>(lp) = format;
        }
        return 0;
    case EM_GETMARGINS:
        return MAKELRESULT(metrics_.margin, metrics_.margin);
    case EM_SETLIMITTEXT:
    case EM_SETREADONLY:
        return TRUE;  // no limit, and read-only it stays
    case WM_COPY:
        CopySelected();
        return 0;
    default:
        handled = false;
        return 0;
    }
}

// ---- the public operations ----------------------------------------------------------------------

bool TextView::SetText(std::string bytes) {
    text_.swap(bytes);
    try {
        core::LineIndex index;
        index.Build(text_);
        std::swap(index_, index);
        try {
            core::RowLayout rows;
            const core::WrapWidth width = Wrapping();
            rows.Reset(index_, width);
            rows_ = std::move(rows);
            layoutWidth_ = width.pixels;
        } catch (const std::bad_alloc&) {
            std::swap(index_, index);
            throw;
        }
    } catch (const std::bad_alloc&) {
        text_.swap(bytes);
        return false;
    }
    anchor_ = caret_ = 0;
    topRow_ = 0;
    xOffset_ = 0;
    UpdateScrollBars();
    Repaint();
    PlaceCaret();
    return true;
}

Selection TextView::GetSelection() const { return Selection{std::min(anchor_, caret_), std::max(anchor_, caret_)}; }

void TextView::SetSelection(std::size_t start, std::size_t end) {
    Select(std::min(start, text_.size()), std::min(end, text_.size()));
}

void TextView::SelectAll() { Select(0, text_.size()); }

void TextView::ScrollCaret() {
    const std::size_t row = rows_.RowOf(caret_);
    const std::size_t page = PageRows();
    long long top = static_cast<long long>(topRow_);
    if (row >= topRow_ + page) top = static_cast<long long>(row + 1) - static_cast<long long>(page);
    if (row < topRow_) top = static_cast<long long>(row);
    long long x = xOffset_;
    const RECT client = Client();
    const long long width = client.right - 2 * metrics_.margin;
    const long long caretX = PixelOf(caret_).x;
    if (caretX < metrics_.margin || caretX > client.right - metrics_.margin)
        x = xOffset_ + caretX - metrics_.margin - width / kScrollFraction;
    ScrollTo(top, x);
}

int TextView::LineCount() const { return static_cast<int>(rows_.Count()); }

std::string_view TextView::Line(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= rows_.Count()) return {};
    const core::Row row = rows_.At(static_cast<std::size_t>(index));
    return std::string_view(text_).substr(row.start, row.end - row.start);
}

void TextView::SetWrap(bool on) {
    if (on == wrap_) return;
    wrap_ = on;
    ::ShowScrollBar(wnd_, SB_HORZ, !on);
    const LONG_PTR style = ::GetWindowLongPtrW(wnd_, GWL_STYLE);
    ::SetWindowLongPtrW(wnd_, GWL_STYLE, on ? (style & ~static_cast<LONG_PTR>(ES_AUTOHSCROLL | WS_HSCROLL))
                                            : (style | ES_AUTOHSCROLL | WS_HSCROLL));
    ::SetWindowPos(wnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    xOffset_ = 0;
    Relayout();
    ScrollCaret();
    Repaint();
}

void TextView::SetFont(const std::string& name, int height) {
    fontName_ = name;
    fontHeight_ = height;
    ApplyFont();
}

void TextView::ApplyFont() {
    UniqueGdi font(::CreateFontA(fontHeight_, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, OEM_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, fontName_.c_str()));
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

// ---- layout and scrolling -----------------------------------------------------------------------

// The edit control's measures: cells of the average width, rows of the font's height, and margins
// of half a cell for the scalable fonts (GDI's own average of the 52 letters).
void TextView::MeasureFont(HFONT font) {
    WindowDC dc(wnd_);
    if (!dc.get()) return;
    DcFont selected(dc.get(), font);
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc.get(), &tm);
    SIZE letters{};
    static const wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    ::GetTextExtentPoint32W(dc.get(), kLetters, 52, &letters);
    const int average = static_cast<int>((letters.cx / 26 + 1) / 2);
    metrics_.cell = std::max<int>(1, tm.tmAveCharWidth);
    metrics_.line = std::max<int>(1, tm.tmHeight);
    metrics_.margin = (tm.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) ? average / 2 : 0;
}

RECT TextView::Client() const {
    RECT client{};
    ::GetClientRect(wnd_, &client);
    return client;
}

// The format width: the client area less the margins. Wrap off gives a width that wraps nothing.
core::WrapWidth TextView::Wrapping() const {
    if (!wrap_) return core::WrapWidth{};
    return core::WrapWidth{Client().right - 2 * metrics_.margin, metrics_.cell};
}

std::size_t TextView::PageRows() const {
    return static_cast<std::size_t>(std::max<LONG>(1, Client().bottom / metrics_.line));
}

long long TextView::TextWidth() const { return static_cast<long long>(index_.WidestCells()) * metrics_.cell; }

void TextView::Relayout() {
    if (!wnd_) return;
    const std::size_t topOffset = rows_.At(topRow_).start;
    const core::WrapWidth width = Wrapping();
    layoutWidth_ = width.pixels;
    try {
        core::RowLayout rows;
        rows.Reset(index_, width);
        rows_ = std::move(rows);
    } catch (const std::bad_alloc&) {
        rows_.Reset(index_, core::WrapWidth{});  // no memory for the wrapped rows: the lines as they are
    }
    topRow_ = rows_.RowOf(topOffset);
    ScrollTo(static_cast<long long>(topRow_), xOffset_);
    UpdateScrollBars();
    PlaceCaret();
    Repaint();
}

void TextView::ScrollTo(long long top, long long x) {
    const long long lastTop = std::max<long long>(0, static_cast<long long>(rows_.Count()) - static_cast<long long>(PageRows()));
    top = std::clamp<long long>(top, 0, lastTop);
    x = std::clamp<long long>(x, 0, LastXOffset());
    if (static_cast<std::size_t>(top) == topRow_ && x == xOffset_) return;
    topRow_ = static_cast<std::size_t>(top);
    xOffset_ = x;
    UpdateScrollBars();
    PlaceCaret();
    Repaint();
}

void TextView::UpdateScrollBars() {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_PAGE | SIF_POS | SIF_RANGE | SIF_DISABLENOSCROLL;
    info.nMax = static_cast<int>(std::min<std::size_t>(rows_.Count() - 1, INT_MAX));
    info.nPage = static_cast<UINT>(PageRows());
    info.nPos = static_cast<int>(std::min<std::size_t>(topRow_, INT_MAX));
    ::SetScrollInfo(wnd_, SB_VERT, &info, TRUE);
    if (wrap_) return;
    const long long unit = HorizontalUnit();
    const long long units = (TextWidth() + unit - 1) / unit;
    info.nMax = static_cast<int>(std::max<long long>(0, units - 1));
    info.nPage = static_cast<UINT>(std::max<LONG>(0, Client().right - 2 * metrics_.margin) / unit);
    // Scrolled to the end, the thumb stands at the end, whatever the rounding to units.
    const bool atEnd = xOffset_ > 0 && xOffset_ >= LastXOffset();
    info.nPos = static_cast<int>(atEnd ? std::max<long long>(0, units - info.nPage) : xOffset_ / unit);
    ::SetScrollInfo(wnd_, SB_HORZ, &info, TRUE);
}

long long TextView::LastXOffset() const {
    return wrap_ ? 0 : std::max<long long>(0, TextWidth() - (Client().right - 2 * metrics_.margin));
}

// The horizontal bar counts pixels, as the edit control's does, while the text is narrower than a
// scroll bar's 32-bit range; a wider text (a line of some 300 million characters) is counted in
// coarser units, so that the thumb still spans the whole of it.
long long TextView::HorizontalUnit() const { return TextWidth() / INT_MAX + 1; }

void TextView::OnScroll(int bar, WORD code) {
    const bool vertical = bar == SB_VERT;
    const long long line = vertical ? 1 : metrics_.cell;
    const long long page = vertical ? static_cast<long long>(PageRows()) : Client().right - 2 * metrics_.margin;
    const long long now = vertical ? static_cast<long long>(topRow_) : xOffset_;
    long long to = now;
    switch (code) {
    case SB_LINEUP: to = now - line; break;
    case SB_LINEDOWN: to = now + line; break;
    case SB_PAGEUP: to = now - page; break;
    case SB_PAGEDOWN: to = now + page; break;
    case SB_TOP: to = 0; break;
    case SB_BOTTOM: to = vertical ? static_cast<long long>(rows_.Count()) : TextWidth(); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // The message carries only 16 bits of the position; the bar itself has all 32.
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS | SIF_RANGE | SIF_PAGE;
        ::GetScrollInfo(wnd_, bar, &info);
        const bool atEnd = static_cast<long long>(info.nTrackPos) + info.nPage > static_cast<long long>(info.nMax);
        to = vertical ? info.nTrackPos : atEnd ? TextWidth() : info.nTrackPos * HorizontalUnit();
        break;
    }
    default: return;
    }
    if (vertical)
        ScrollTo(to, xOffset_);
    else
        ScrollTo(static_cast<long long>(topRow_), to);
}

void TextView::OnWheel(short delta) {
    UINT lines = 3;
    ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    wheelRest_ += delta;
    const int notches = wheelRest_ / WHEEL_DELTA;
    wheelRest_ -= notches * WHEEL_DELTA;
    if (notches == 0) return;
    const long long rows = lines == WHEEL_PAGESCROLL ? static_cast<long long>(PageRows()) : lines;
    ScrollTo(static_cast<long long>(topRow_) - notches * rows, xOffset_);
}

// ---- caret and selection ------------------------------------------------------------------------

void TextView::Select(std::size_t anchor, std::size_t caret) {
    if (anchor == anchor_ && caret == caret_) return;
    anchor_ = anchor;
    caret_ = caret;
    PlaceCaret();
    Repaint();
}

void TextView::MoveCaret(std::size_t to, bool extend) {
    Select(extend ? anchor_ : to, to);
    ScrollCaret();
}

void TextView::PlaceCaret() {
    if (::GetFocus() != wnd_) return;
    const Pixel at = PixelOf(caret_);
    ::SetCaretPos(Saturated32(at.x), Saturated32(at.y));
}

TextView::Pixel TextView::PixelOf(std::size_t offset) const {
    const std::size_t rowIndex = rows_.RowOf(offset);
    const core::Row row = rows_.At(rowIndex);
    const std::size_t column = std::min(offset, row.end) - row.start;
    const long long cells = static_cast<long long>(core::CellsOf(std::string_view(text_).substr(row.start, column)));
    return Pixel{metrics_.margin + cells * metrics_.cell - xOffset_,
                 (static_cast<long long>(rowIndex) - static_cast<long long>(topRow_)) * metrics_.line};
}

std::size_t TextView::OffsetAt(POINT at) const {
    const long long row = static_cast<long long>(topRow_) + (at.y < 0 ? -1 : at.y / metrics_.line);
    const core::Row hit = rows_.At(static_cast<std::size_t>(std::clamp<long long>(row, 0, static_cast<long long>(rows_.Count()) - 1)));
    const std::string_view bytes = std::string_view(text_).substr(hit.start, hit.end - hit.start);
    return hit.start + core::HitByte(bytes, at.x - metrics_.margin + xOffset_, metrics_.cell);
}

std::size_t TextView::Left(std::size_t from, bool word) const {
    const std::size_t line = index_.LineOf(from);
    const std::size_t start = index_.Start(line);
    if (from <= start) return line == 0 ? 0 : index_.End(line - 1);  // over the line break
    if (!word) return from - 1;
    return start + core::WordBefore(std::string_view(text_).substr(start, index_.EndFrom(start) - start), from - start);
}

std::size_t TextView::Right(std::size_t from, bool word) const {
    const std::size_t line = index_.LineOf(from);
    const std::size_t start = index_.Start(line);
    const std::size_t end = index_.EndFrom(start);
    if (from >= end) return line + 1 < index_.Count() ? end + 2 : end;  // over the line break
    if (!word) return from + 1;
    return start + core::WordEnd(std::string_view(text_).substr(start, end - start), from - start);
}

// The offset `rows` rows above or below, at the caret's own distance from the left.
std::size_t TextView::RowMove(std::size_t from, long long rows) const {
    const Pixel at = PixelOf(from);
    const long long target = static_cast<long long>(rows_.RowOf(from)) + rows;
    const long long row = std::clamp<long long>(target, 0, static_cast<long long>(rows_.Count()) - 1);
    const core::Row hit = rows_.At(static_cast<std::size_t>(row));
    const std::string_view bytes = std::string_view(text_).substr(hit.start, hit.end - hit.start);
    return hit.start + core::HitByte(bytes, at.x - metrics_.margin + xOffset_, metrics_.cell);
}

bool TextView::OnKey(WORD key) {
    const bool shift = KeyHeld(VK_SHIFT);
    const bool ctrl = KeyHeld(VK_CONTROL);
    const long long page = static_cast<long long>(PageRows());
    switch (key) {
    case VK_LEFT: MoveCaret(Left(caret_, ctrl), shift); return true;
    case VK_RIGHT: MoveCaret(Right(caret_, ctrl), shift); return true;
    case VK_UP: MoveCaret(RowMove(caret_, -1), shift); return true;
    case VK_DOWN: MoveCaret(RowMove(caret_, 1), shift); return true;
    case VK_PRIOR:
    case VK_NEXT: {
        const long long rows = key == VK_NEXT ? page : -page;
        const std::size_t to = RowMove(caret_, rows);
        ScrollTo(static_cast<long long>(topRow_) + rows, xOffset_);
        MoveCaret(to, shift);
        return true;
    }
    case VK_HOME: MoveCaret(ctrl ? 0 : rows_.At(rows_.RowOf(caret_)).start, shift); return true;
    case VK_END: MoveCaret(ctrl ? text_.size() : rows_.At(rows_.RowOf(caret_)).end, shift); return true;
    default: return false;
    }
}

void TextView::SelectWordAt(std::size_t offset) {
    const std::size_t start = index_.Start(index_.LineOf(offset));
    const std::string_view line = std::string_view(text_).substr(start, index_.EndFrom(start) - start);
    const std::size_t at = std::min(offset - start, line.size());
    Select(start + core::WordStart(line, at), start + core::WordEnd(line, at));
}

// A drag outside the text scrolls towards the mouse a row (or a cell) per step.
void TextView::DragTo(POINT at) {
    const RECT client = Client();
    const long long bottom = static_cast<long long>(PageRows()) * metrics_.line;
    long long top = static_cast<long long>(topRow_);
    long long x = xOffset_;
    if (at.y < 0) --top;
    if (at.y >= bottom) ++top;
    if (at.x < metrics_.margin) x -= metrics_.cell;
    if (at.x >= client.right - metrics_.margin) x += metrics_.cell;
    ScrollTo(top, x);
    const POINT inside{std::clamp<LONG>(at.x, 0, std::max<LONG>(0, client.right - 1)),
                       static_cast<LONG>(std::clamp<long long>(at.y, 0, std::max<long long>(0, bottom - 1)))};
    Select(anchor_, OffsetAt(inside));
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
        CopyBytesToClipboard(wnd_, std::string_view(text_).substr(selection.start, selection.length()));
}

// ---- painting -----------------------------------------------------------------------------------

void TextView::Paint() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(wnd_, &paint);
    if (!dc) return;
    {
        DcFont selected(dc, drawFont_);
        const RECT client = Client();
        const int line = metrics_.line;
        const std::size_t first = topRow_ + static_cast<std::size_t>(std::max<LONG>(0, paint.rcPaint.top) / line);
        const LONG bottom = std::min<LONG>(paint.rcPaint.bottom, static_cast<LONG>(PageRows()) * line);  // whole rows only
        const std::size_t last = topRow_ + static_cast<std::size_t>(std::max<LONG>(0, bottom - 1) / line);
        int y = static_cast<int>(first - topRow_) * line;
        if (first < rows_.Count() && paint.rcPaint.top < bottom) {
            core::Row row = rows_.At(first);
            for (std::size_t r = first;; ++r) {
                PaintRow(dc, row, y, client.right);
                y += line;
                if (r == last || r + 1 >= rows_.Count()) break;
                row = rows_.Next(row);
            }
        }
        if (y < paint.rcPaint.bottom) {  // below the last row, and the part of a row the edit control leaves blank
            const RECT below{paint.rcPaint.left, y, paint.rcPaint.right, paint.rcPaint.bottom};
            ::SetBkColor(dc, ColourOf(backColor_));
            ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &below, nullptr, 0, nullptr);
        }
    }
    ::EndPaint(wnd_, &paint);
}

// One row: the row's background first, then the visible cells in runs, each one ExtTextOutW on a
// fixed cell grid. Runs break where the selection starts or ends and between line-art glyphs and
// the rest (blanks join the run before them), as the edit control's runs do: a run's background covers what the glyphs before it
// spill over their cells, and the last glyph of a row keeps its spill, as in the edit control.
void TextView::PaintRow(HDC dc, const core::Row& row, int y, int width) const {
    const int cell = metrics_.cell;
    const long long origin = metrics_.margin - xOffset_;  // x of cell 0
    const long long firstCell = std::max<long long>(0, -origin / cell);
    const long long lastCell = (width - origin) / cell + 1;
    const Selection selection = GetSelection();

    std::vector<wchar_t> glyphs;
    std::vector<char> kinds;  // bit 0: selected, bit 1: a line-art glyph
    std::size_t i = row.start;
    long long cells = 0;
    bool art = false;
    if (!index_.HasTabs()) {  // one cell per byte: straight to the first visible one
        cells = std::min<long long>(firstCell, static_cast<long long>(row.end - row.start));
        i += static_cast<std::size_t>(cells);
    }
    for (; i < row.end && cells < lastCell; ++i) {
        const auto byte = static_cast<unsigned char>(text_[i]);
        const long long next = byte == '\t' ? (cells / core::kTabCells + 1) * core::kTabCells : cells + 1;
        const wchar_t glyph = CellGlyph(byte);
        if (glyph != L' ') art = glyph >= 0x2500 && glyph < 0x2600;  // a blank joins the run it follows
        const char kind = static_cast<char>((i >= selection.start && i < selection.end ? 1 : 0) | (art ? 2 : 0));
        for (long long c = std::max(cells, firstCell); c < std::min(next, lastCell); ++c) {
            glyphs.push_back(glyph);
            kinds.push_back(kind);
        }
        cells = next;
    }
    const COLORREF text = ColourOf(fontColor_);
    const COLORREF back = ColourOf(backColor_);
    ::SetBkColor(dc, back);
    const RECT whole{0, y, width, y + metrics_.line};
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &whole, nullptr, 0, nullptr);

    const std::vector<INT> advances(glyphs.size(), cell);
    long long x = origin + firstCell * cell;
    for (std::size_t run = 0; run < glyphs.size();) {
        std::size_t end = run;
        while (end < glyphs.size() && kinds[end] == kinds[run]) ++end;
        const bool highlight = (kinds[run] & 1) != 0;
        ::SetTextColor(dc, highlight ? ::GetSysColor(COLOR_HIGHLIGHTTEXT) : text);
        ::SetBkColor(dc, highlight ? ::GetSysColor(COLOR_HIGHLIGHT) : back);
        const long long right = x + static_cast<long long>(end - run) * cell;
        const RECT box{static_cast<LONG>(std::max<long long>(x, -cell)), y,
                       static_cast<LONG>(std::min<long long>(right, width + cell)), y + metrics_.line};
        ::ExtTextOutW(dc, static_cast<int>(x), y, ETO_OPAQUE, &box, glyphs.data() + run, static_cast<UINT>(end - run),
                      advances.data() + run);
        x = right;
        run = end;
    }
}

}  // namespace platform
