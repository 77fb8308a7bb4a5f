#include "platform/text_view.hpp"

#include "core/cp437.hpp"

#include <algorithm>

namespace platform {
namespace {

DWORD ViewStyle(bool wrap) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_NOHIDESEL |
                  ES_AUTOVSCROLL;
    if (!wrap) style |= WS_HSCROLL | ES_AUTOHSCROLL;
    return style;
}

const wchar_t* AsWide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

}  // namespace

COLORREF ColourOf(std::int32_t value) {
    if (value < 0) return ::GetSysColor(value & 0xFF);
    return static_cast<COLORREF>(value);
}

TextView::TextView(HWND parent, int id, TextViewEvents& events) : parent_(parent), id_(id), events_(events) {
    brush_.reset(::CreateSolidBrush(ColourOf(backColor_)));
    CreateControl(RECT{0, 0, 0, 0});
    ApplyFont();
}

TextView::~TextView() {
    if (wnd_ && ::IsWindow(wnd_)) ::DestroyWindow(wnd_);
}

void TextView::CreateControl(const RECT& area) {
    wnd_ = ::CreateWindowExW(0, L"EDIT", L"", ViewStyle(wrap_), area.left, area.top, area.right - area.left,
                             area.bottom - area.top, parent_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(wnd_, EM_LIMITTEXT, 0, 0);
    ::SetWindowLongPtrW(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    controlProc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(wnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TextView::SubclassProc)));
}

LRESULT CALLBACK TextView::SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<TextView*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (!self || self->wnd_ != wnd) {
        WNDPROC proc = self ? self->controlProc_ : nullptr;
        return proc ? ::CallWindowProcW(proc, wnd, msg, wp, lp) : ::DefWindowProcW(wnd, msg, wp, lp);
    }
    return self->Handle(msg, wp, lp);
}

LRESULT TextView::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    HWND wnd = wnd_;
    WNDPROC proc = controlProc_;
    // An event may recreate the control (word wrap); the old one then gets no further handling.
    auto replaced = [&] { return wnd_ != wnd; };
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        events_.ViewKeyDown(static_cast<WORD>(wp));
        if (replaced()) return 0;
        break;
    case WM_CHAR:
        events_.ViewChar(static_cast<wchar_t>(wp));
        if (replaced()) return 0;
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        LRESULT result = ::CallWindowProcW(proc, wnd, msg, wp, lp);
        if (!replaced()) events_.ViewKeyUp(static_cast<WORD>(wp));
        return result;
    }
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
    case WM_RBUTTONUP: {
        LRESULT result = ::CallWindowProcW(proc, wnd, msg, wp, lp);
        if (!replaced()) events_.ViewMouseUp();
        return result;
    }
    case WM_CONTEXTMENU: {
        POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        if (at.x == -1 && at.y == -1) {  // from the keyboard: open at the caret
            ::GetCaretPos(&at);
            ::ClientToScreen(wnd, &at);
        }
        events_.ViewContextMenu(at);
        return 0;
    }
    case WM_NCDESTROY:
        ::SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
        if (wnd_ == wnd) wnd_ = nullptr;
        break;
    default:
        break;
    }
    return ::CallWindowProcW(proc, wnd, msg, wp, lp);
}

bool TextView::SetText(std::string bytes) {
    std::u16string glyphs = core::ToGlyphs(bytes);
    // A hidden control takes a new text about twice as fast as one that only stops redrawing.
    const bool focused = ::GetFocus() == wnd_;
    const bool visible = ::IsWindowVisible(wnd_) != FALSE;
    ::SendMessageW(wnd_, WM_SETREDRAW, FALSE, 0);
    if (visible) ::ShowWindow(wnd_, SW_HIDE);
    bool taken = ::SendMessageW(wnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(AsWide(glyphs))) != FALSE;
    if (taken) {
        text_ = std::move(bytes);
    } else {
        glyphs = core::ToGlyphs(text_);  // the control may be left empty: give it the old text back
        ::SendMessageW(wnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(AsWide(glyphs)));
    }
    ::SendMessageW(wnd_, WM_SETREDRAW, TRUE, 0);
    if (visible) ::ShowWindow(wnd_, SW_SHOWNA);
    if (focused) ::SetFocus(wnd_);
    Repaint();
    if (taken) {
        SetSelection(0, 0);
        ScrollCaret();
    }
    return taken;
}

Selection TextView::GetSelection() const {
    DWORD start = 0, end = 0;
    ::SendMessageW(wnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    Selection selection{std::min<std::size_t>(start, end), std::max<std::size_t>(start, end)};
    selection.end = std::min(selection.end, text_.size());
    selection.start = std::min(selection.start, selection.end);
    return selection;
}

void TextView::SetSelection(std::size_t start, std::size_t end) {
    ::SendMessageW(wnd_, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void TextView::SelectAll() { ::SendMessageW(wnd_, EM_SETSEL, 0, -1); }

void TextView::ScrollCaret() { ::SendMessageW(wnd_, EM_SCROLLCARET, 0, 0); }

int TextView::LineCount() const { return static_cast<int>(::SendMessageW(wnd_, EM_GETLINECOUNT, 0, 0)); }

std::string_view TextView::Line(int index) const {
    const LRESULT start = ::SendMessageW(wnd_, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
    if (start < 0 || static_cast<std::size_t>(start) > text_.size()) return {};
    const LRESULT length = ::SendMessageW(wnd_, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
    const std::size_t first = static_cast<std::size_t>(start);
    return std::string_view(text_).substr(first, std::min<std::size_t>(static_cast<std::size_t>(length), text_.size() - first));
}

void TextView::SetWrap(bool on) {
    if (on == wrap_ && wnd_) return;
    const Selection selection = GetSelection();
    const bool focused = ::GetFocus() == wnd_;
    RECT area{};
    ::GetWindowRect(wnd_, &area);
    ::MapWindowPoints(HWND_DESKTOP, parent_, reinterpret_cast<POINT*>(&area), 2);
    HWND old = wnd_;
    wrap_ = on;
    CreateControl(area);
    ::SetWindowPos(wnd_, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);  // keep the tab order
    ::DestroyWindow(old);
    ApplyFont();
    std::u16string glyphs = core::ToGlyphs(text_);
    ::SendMessageW(wnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(AsWide(glyphs)));
    SetSelection(selection.start, selection.end);
    ScrollCaret();
    if (focused) ::SetFocus(wnd_);
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
    font_ = std::move(font);  // the old font is deleted only after the control let go of it
}

void TextView::SetFontColor(std::int32_t colour) {
    fontColor_ = colour;
    Repaint();
}

void TextView::SetBackColor(std::int32_t colour) {
    backColor_ = colour;
    brush_.reset(::CreateSolidBrush(ColourOf(colour)));
    Repaint();
}

HBRUSH TextView::PaintColours(HDC dc) {
    ::SetTextColor(dc, ColourOf(fontColor_));
    ::SetBkColor(dc, ColourOf(backColor_));
    return static_cast<HBRUSH>(brush_.get());
}

void TextView::Move(int left, int top, int width, int height) {
    ::MoveWindow(wnd_, left, top, std::max(width, 0), std::max(height, 0), TRUE);
}

void TextView::Focus() { ::SetFocus(wnd_); }

void TextView::Repaint() { ::InvalidateRect(wnd_, nullptr, TRUE); }

}  // namespace platform
