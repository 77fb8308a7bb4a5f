#pragma once
// The text view: a Unicode multi-line edit control showing the byte text in its CP437 shapes.
// The class keeps the bytes (the model) and gives the control one UTF-16 unit per byte, so every
// offset, selection and line index is the same in both. Nothing else touches the control's handle.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win_handles.hpp"

namespace platform {

// Events of the view that its owner handles (the control's own handling runs too).
class TextViewEvents {
public:
    virtual ~TextViewEvents() = default;
    virtual void ViewKeyDown(WORD key) = 0;     // before the control sees the key
    virtual void ViewChar(wchar_t ch) = 0;      // before the control sees the character
    virtual void ViewKeyUp(WORD key) = 0;       // after the control handled the release
    virtual void ViewMouseUp() = 0;             // after the control handled any button release
    virtual void ViewContextMenu(POINT screen) = 0;
};

struct Selection {
    std::size_t start = 0;
    std::size_t end = 0;
    std::size_t length() const { return end - start; }
};

class TextView {
public:
    TextView(HWND parent, int id, TextViewEvents& events);
    TextView(const TextView&) = delete;
    TextView& operator=(const TextView&) = delete;
    ~TextView();

    HWND Handle() const { return wnd_; }
    bool Owns(HWND wnd) const { return wnd == wnd_; }

    // Replaces the whole text in one step with redrawing suspended, caret at 0, top shown.
    // False (and the previous text kept) when the control could not take it.
    bool SetText(std::string bytes);
    const std::string& Text() const { return text_; }

    Selection GetSelection() const;
    void SetSelection(std::size_t start, std::size_t end);  // caret at end
    void SelectAll();
    void ScrollCaret();

    // Display lines as the control shows them: the wrapped lines with wrap on.
    int LineCount() const;
    // The bytes of display line `index` (0 <= index < LineCount()), without its line break.
    std::string_view Line(int index) const;

    bool Wrap() const { return wrap_; }
    void SetWrap(bool on);  // recreates the control keeping text, font, colours, selection and focus

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
    // The parent forwards WM_CTLCOLORSTATIC of the control here.
    HBRUSH PaintColours(HDC dc);

private:
    static LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
    void CreateControl(const RECT& area);
    void ApplyFont();
    void Repaint();

    HWND parent_;
    int id_;
    TextViewEvents& events_;
    HWND wnd_ = nullptr;
    WNDPROC controlProc_ = nullptr;
    std::string text_;
    bool wrap_ = false;
    std::string fontName_ = "Terminal";
    int fontHeight_ = -12;
    std::int32_t fontColor_ = 0;
    std::int32_t backColor_ = 0xFFFFFF;
    UniqueGdi font_;
    UniqueGdi brush_;
};

// A colour value: 0x00BBGGRR, or negative for the system colour whose index is the lowest byte.
COLORREF ColourOf(std::int32_t value);

}  // namespace platform
