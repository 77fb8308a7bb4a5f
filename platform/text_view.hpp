#pragma once
// The text view: a window of our own that keeps the byte text (the model) and a line index and
// draws only the rows on screen, each byte as its CP437 shape in one character cell. It behaves
// as a read-only multi-line edit control, answers the standard edit messages with the glyph text
// (one UTF-16 unit per byte, so offsets and line indexes are the same in bytes and in glyphs), and
// holds no UTF-16 copy of the text. Nothing else touches its handle.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/links.hpp"
#include "core/text_layout.hpp"
#include "core/view_navigation.hpp"
#include "core/view_text.hpp"
#include "platform/base_window.hpp"
#include "platform/link_tip.hpp"
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
    // A link pressed and released on without a drag, after the release's ViewMouseUp.
    virtual void ViewLinkClick(const core::Link& link) = 0;
};

using Selection = core::Span;

// Where the view stands in its text: the start of the top row, the pixels scrolled sideways and
// the selection. Offsets, so that a text read again lands on the same bytes where it still has them.
struct ViewPlace {
    std::size_t top = 0;
    long long x = 0;
    std::size_t anchor = 0;
    std::size_t caret = 0;
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
    // kept) when there is no memory for its index. A prepared text gets the old one.
    bool SetText(std::string bytes);
    bool SetText(core::PreparedText& text);
    const std::string& Text() const { return text_.Bytes(); }

    Selection GetSelection() const;
    void SetSelection(std::size_t start, std::size_t end);  // caret at end
    void SelectAll();
    void ScrollCaret();
    ViewPlace Place() const;
    // Back to a place, held inside the text now shown (a shorter text ends the selection at its end).
    void RestorePlace(const ViewPlace& place);

    // Display lines: the wrapped rows with wrap on. Exact, so a large wrapped text not laid out
    // yet is laid out as far as it takes.
    int LineCount() const;
    // The display lines, or `most` + 1 when there are more: laid out no further than that.
    int LineCountUpTo(int most) const;
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

    // The link shown under a client point, if any (offsets of Text()).
    std::optional<core::Link> LinkAt(POINT client) const;
    HWND LinkTipWindow() const { return tip_ ? tip_->Handle() : nullptr; }

private:
    static constexpr UINT_PTR kRefineTimer = 2;  // the rows beyond what is shown, laid out in idle time
    friend struct TextViewMessages;  // the edit messages' answers: text_view_messages.cpp

    friend class BaseWindow<TextView>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleWindow(UINT msg, WPARAM wp, LPARAM lp);
    std::optional<LRESULT> HandleKeys(UINT msg, WPARAM wp, LPARAM lp);
    std::optional<LRESULT> HandleMouse(UINT msg, WPARAM wp, LPARAM lp);
    std::optional<LRESULT> HandleEditMessage(UINT msg, WPARAM wp, LPARAM lp);  // text_view_messages.cpp
    void ApplyFont();
    void Repaint();
    const core::RowLayout& Rows() const { return text_.Rows(); }

    // A large wrapped text is laid out around what is shown and in idle time; the top row keeps
    // its text whatever new numbers the layout gives the rows.
    void SettleLayout();
    void KeepTopInPlace();
    void RefineInIdle();
    void SetTop(std::size_t row);

    // Layout and scrolling.
    void Relayout();
    void OnSize();
    core::Frame ClientFrame() const;
    core::WrapWidth Wrapping() const;
    core::ScrollLimits Limits() const;
    long long TextWidth() const;
    void ScrollTo(long long top, long long x);
    void UpdateScrollBars();
    void OnScroll(int bar, WORD code);
    void OnWheel(short delta);
    void OnSideWheel(short rightward);
    void ScrollPage(bool down);

    // Caret and selection.
    void Select(std::size_t anchor, std::size_t caret);
    void MoveCaret(std::size_t to, bool extend);
    void PlaceCaret();
    void ShowNewCaret();
    core::Pixel PixelOf(std::size_t offset) const;
    std::size_t OffsetAt(core::Pixel at) const;
    bool OnKey(WORD key);
    void StartDrag(core::Pixel at, bool extend);
    void DragTo(core::Pixel at);
    void StopDrag();
    void CopySelected() const;

    // Panning with the middle button held (text_view_pan.cpp): the view follows the mouse.
    std::optional<LRESULT> HandlePan(UINT msg, WPARAM wp, LPARAM lp);
    void StartPan(core::Pixel at);
    void PanTick();
    void StopPan();

    // Links under the mouse (text_view_links.cpp): the hand, the tip, and a click that opens
    // rather than selects.
    std::optional<core::Link> LinkUnder(core::Pixel at) const;
    bool CursorOverLink() const;
    void HoverAt(core::Pixel at);
    RECT LinkCellsInRow(const core::Link& link, core::Pixel at) const;
    void PressLink(core::Pixel at, bool extend);
    bool StillAClick(core::Pixel at) const;
    std::optional<core::Link> ReleasedOnPressedLink(core::Pixel at);
    void OnContextMenu(LPARAM lp);

    void Paint();

    HWND parent_;
    TextViewEvents& events_;
    core::ViewText text_;
    std::size_t anchor_ = 0;
    std::size_t caret_ = 0;
    core::Scroll scroll_;
    std::size_t topStart_ = 0;        // where the top row starts: the text that stays on top
    std::size_t seenGeneration_ = 0;  // the layout's generation that scroll_.top is numbered in
    bool refining_ = false;           // the idle layout's timer runs
    core::WheelNotches wheel_;
    core::WheelNotches sideWheel_;
    struct Pan {
        core::Pixel pressedAt;
        core::Pixel mouse;
        core::PanScroll scroll;
    };
    std::optional<Pan> pan_;
    bool dragging_ = false;
    std::optional<core::Link> pressedLink_;  // pressed on, the mouse not yet dragged away
    core::Pixel pressedAt_;
    std::unique_ptr<LinkTip> tip_;
    bool wrap_ = false;
    core::CellGrid grid_;
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
