#pragma once
// The text view: a window of our own that keeps the byte text (the model) and a line index and
// draws only the rows on screen, each byte as its CP437 shape in one character cell. It behaves
// as a read-only multi-line edit control, answers the standard edit messages with the glyph text
// (one UTF-16 unit per byte, so offsets and line indexes are the same in bytes and in glyphs), and
// holds no UTF-16 copy of the text. Nothing else touches its handle.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "core/text_layout.hpp"
#include "platform/base_window.hpp"
#include "platform/win_handles.hpp"

namespace platform {

// Events of the view that its owner handles (the view's own handling runs too). Shortcut keys
// never come this way: the owner takes them in its message loop, before the view sees them.
class TextViewEvents {
public:
    virtual ~TextViewEvents() = default;
    virtual void ViewChar(wchar_t ch) = 0;      // before the view handles the character
    virtual void ViewKeyUp(WORD key) = 0;       // after the view handled the release
    virtual void ViewMouseUp() = 0;             // after the view handled any button release
    virtual void ViewContextMenu(POINT screen) = 0;
};

struct Selection {
    std::size_t start = 0;
    std::size_t end = 0;
    std::size_t length() const { return end - start; }
};

class TextView final : private BaseWindow<TextView> {
public:
    static constexpr const wchar_t* kClassName = L"CorvaleTextView";

    TextView(HWND parent, int id, TextViewEvents& events);
    TextView(const TextView&) = delete;
    TextView& operator=(const TextView&) = delete;
    ~TextView();

    HWND Handle() const { return wnd_; }
    bool Owns(HWND wnd) const { return wnd == wnd_; }

    // Replaces the whole text in one step, caret at 0, top shown. False (and the previous text
    // kept) when there is no memory for its index.
    bool SetText(std::string bytes);
    const std::string& Text() const { return text_; }

    Selection GetSelection() const;
    void SetSelection(std::size_t start, std::size_t end);  // caret at end
    void SelectAll();
    void ScrollCaret();

    // Display lines: the wrapped rows with wrap on.
    int LineCount() const;
    // The bytes of display line `index` (0 <= index < LineCount()), without its line break.
    std::string_view Line(int index) const;

    bool Wrap() const { return wrap_; }
    void SetWrap(bool on);  // keeps text, font, colours, selection and focus

    void SetFont(const std::string& name, int height);
    const std::string& FontName() const { return fontName_; }
    int FontHeight() const { return fontHeight_; }
    void SetFontColor(std::int32_t colour);
    std::int32_t FontColor() const { return fontColor_; }
    void SetBackColor(std::int32_t colour);
    std::int32_t BackColor() const { return backColor_; }
    HFONT Font() const { return static_cast<HFONT>(font_.get()); }

    void Move(int left, int top, int width, int height);
    void Focus();

private:
    struct Metrics {
        int cell = 7;    // pixels per character cell
        int line = 14;   // pixels per row
        int margin = 3;  // left and right, as the edit control takes them from the font
    };

    friend class BaseWindow<TextView>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleInput(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
    LRESULT HandleEditMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
    void ApplyFont();
    void Repaint();

    // Layout and scrolling.
    void Relayout();
    void MeasureFont(HFONT font);
    RECT Client() const;
    core::WrapWidth Wrapping() const;
    std::size_t PageRows() const;
    long long TextWidth() const;
    void ScrollTo(long long top, long long x);
    void UpdateScrollBars();
    long long HorizontalUnit() const;  // pixels per unit of the horizontal scroll bar
    long long LastXOffset() const;     // the offset that shows the end of the widest line
    void OnScroll(int bar, WORD code);
    void OnWheel(short delta);

    // Caret and selection.
    void Select(std::size_t anchor, std::size_t caret);
    void MoveCaret(std::size_t to, bool extend);
    void PlaceCaret();
    // Client pixels, kept in 64 bits: a line of ten million characters is far wider than the
    // 16-bit (messages) or 32-bit (GDI, scroll bars) fields it is finally handed over in.
    struct Pixel {
        long long x = 0;
        long long y = 0;
    };
    Pixel PixelOf(std::size_t offset) const;
    std::size_t OffsetAt(POINT at) const;
    std::size_t Left(std::size_t from, bool word) const;
    std::size_t Right(std::size_t from, bool word) const;
    std::size_t RowMove(std::size_t from, long long rows) const;
    bool OnKey(WORD key);
    void SelectWordAt(std::size_t offset);
    void DragTo(POINT at);
    void StopDrag();
    void CopySelected() const;

    // Painting.
    void Paint();
    void PaintRow(HDC dc, const core::Row& row, int y, int width) const;

    HWND parent_;
    TextViewEvents& events_;
    std::string text_;
    core::LineIndex index_;
    core::RowLayout rows_;
    long long layoutWidth_ = 0;  // the format width rows_ was wrapped at (0: not wrapped)
    std::size_t anchor_ = 0;
    std::size_t caret_ = 0;
    std::size_t topRow_ = 0;
    long long xOffset_ = 0;  // pixels
    int wheelRest_ = 0;
    bool dragging_ = false;
    bool wrap_ = false;
    Metrics metrics_;
    HFONT drawFont_ = nullptr;  // what WM_SETFONT gave, as an edit control keeps it
    std::string fontName_ = "Terminal";
    int fontHeight_ = -12;
    std::int32_t fontColor_ = 0;
    std::int32_t backColor_ = 0xFFFFFF;
    UniqueGdi font_;
};

// A colour value: 0x00BBGGRR, or negative for the system colour whose index is the lowest byte.
COLORREF ColourOf(std::int32_t value);

}  // namespace platform
