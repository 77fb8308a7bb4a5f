#pragma once
// DlgFind: the system's modeless find dialog (FindTextW) with only the find box, Find Next and
// Cancel. It keeps its text and, once closed, its place for as long as it lives.
#include <windows.h>
#include <commdlg.h>

#include <array>
#include <string>

namespace forms {

class FindDialog {
public:
    explicit FindDialog(HWND owner);
    FindDialog(const FindDialog&) = delete;
    FindDialog& operator=(const FindDialog&) = delete;
    ~FindDialog();

    // Opens the dialog, or brings it to the front when it is open already.
    void Show();
    void Close();
    HWND Handle() const { return wnd_; }
    // The dialog's keys (Enter is Find Next, Esc closes it); true when the dialog took the message.
    bool PreTranslateMessage(MSG& msg);
    // The owner passes every message here first; true when it was the dialog's, and `findNext`
    // then says whether Find Next was pressed.
    bool TakeMessage(UINT msg, LPARAM lp, bool& findNext);
    // What the find box holds (or held when the dialog last closed).
    std::u16string Text() const { return text_; }

private:
    void Place();
    void RememberPlaceAndText();

    HWND owner_;
    UINT message_;
    FINDREPLACEW find_{};
    std::array<wchar_t, 256> buffer_{};
    // The find box read as Unicode: some systems pass FINDREPLACEW's buffer through the ANSI code
    // page, which would turn a box-drawing character into a question mark.
    std::u16string text_;
    HWND wnd_ = nullptr;
    bool placed_ = false;
    POINT place_{};
};

}  // namespace forms
