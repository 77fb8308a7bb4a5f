// The standard messages of a read-only multi-line edit control, answered from the byte model, so
// that automation tools read the view as they read an edit control. Each answer is one function.
#include "platform/text_view.hpp"

#include "core/cp437.hpp"

#include <algorithm>
#include <climits>
#include <iterator>

namespace platform {
namespace {

// Offsets in edit messages are INTs; -1 has its own meaning there.
int AsInt(WPARAM value) { return static_cast<int>(static_cast<INT_PTR>(value)); }

// A coordinate for a 16-bit field of a message: one beyond its range stays beyond it, on its own
// side, rather than wrapping round to a point inside the window.
WORD Saturated16(long long value) {
    return static_cast<WORD>(static_cast<short>(std::clamp<long long>(value, -32768, 32767)));
}

void CopyGlyphs(std::string_view bytes, wchar_t* out) {
    for (const char byte : bytes) *out++ = static_cast<wchar_t>(core::Cp437Glyph(static_cast<unsigned char>(byte)));
}

}  // namespace

struct TextViewMessages {
    using Answer = LRESULT (*)(TextView& view, WPARAM wp, LPARAM lp);

    // A row number handed out is exact: the blocks before it are laid out first. The top keeps
    // its text under whatever number that gives it.
    static std::size_t ExactRowOf(TextView& view, std::size_t offset) {
        view.Rows().MakeExactThroughOffset(offset);
        view.KeepTopInPlace();
        return view.Rows().RowOf(offset);
    }
    static void ExactThroughRow(TextView& view, std::size_t row) {
        view.Rows().MakeExactThroughRow(row);
        view.KeepTopInPlace();
    }
    static std::size_t CaretRow(TextView& view) { return ExactRowOf(view, view.caret_); }
    // An offset of a message, held to the text; -1 means the caret.
    static std::size_t OffsetOr(const TextView& view, WPARAM wp, std::size_t caret) {
        return AsInt(wp) < 0 ? caret : std::min<std::size_t>(wp, view.Text().size());
    }

    static LRESULT GetTextLength(TextView& view, WPARAM, LPARAM) { return static_cast<LRESULT>(view.Text().size()); }

    static LRESULT GetText(TextView& view, WPARAM wp, LPARAM lp) {
        if (wp == 0 || lp == 0) return 0;
        auto* out = reinterpret_cast<wchar_t*>(lp);
        const std::size_t n = std::min<std::size_t>(view.Text().size(), static_cast<std::size_t>(wp) - 1);
        CopyGlyphs(std::string_view(view.Text()).substr(0, n), out);
        out[n] = L'\0';
        return static_cast<LRESULT>(n);
    }

    static LRESULT GetSel(TextView& view, WPARAM wp, LPARAM lp) {
        const Selection selection = view.GetSelection();
        if (wp) *reinterpret_cast<DWORD*>(wp) = static_cast<DWORD>(selection.start);
        if (lp) *reinterpret_cast<DWORD*>(lp) = static_cast<DWORD>(selection.end);
        if (selection.end > 0xFFFF) return -1;
        return MAKELRESULT(selection.start, selection.end);
    }

    static LRESULT SetSel(TextView& view, WPARAM wp, LPARAM lp) {
        const int start = AsInt(wp);
        const int end = AsInt(static_cast<WPARAM>(lp));
        if (start == -1)
            view.Select(view.caret_, view.caret_);
        else
            view.SetSelection(static_cast<std::size_t>(start), end < 0 ? view.Text().size() : static_cast<std::size_t>(end));
        return 0;
    }

    static LRESULT GetLineCount(TextView& view, WPARAM, LPARAM) {
        view.Rows().ExactCount();
        view.KeepTopInPlace();
        return static_cast<LRESULT>(view.Rows().Count());
    }

    static LRESULT GetFirstVisibleLine(TextView& view, WPARAM, LPARAM) {
        return static_cast<LRESULT>(ExactRowOf(view, view.topStart_));
    }

    static LRESULT LineFromChar(TextView& view, WPARAM wp, LPARAM) {
        return static_cast<LRESULT>(AsInt(wp) < 0 ? CaretRow(view) : ExactRowOf(view, OffsetOr(view, wp, 0)));
    }

    static LRESULT LineIndex(TextView& view, WPARAM wp, LPARAM) {
        const std::size_t row = AsInt(wp) < 0 ? CaretRow(view) : static_cast<std::size_t>(AsInt(wp));
        ExactThroughRow(view, row);
        return row < view.Rows().Count() ? static_cast<LRESULT>(view.Rows().At(row).start) : -1;
    }

    static LRESULT LineLength(TextView& view, WPARAM wp, LPARAM) {
        const core::Row row = view.Rows().At(view.Rows().RowOf(OffsetOr(view, wp, view.caret_)));
        return static_cast<LRESULT>(row.end - row.start);
    }

    // The buffer's first WORD holds its size in characters; nothing is terminated.
    static LRESULT GetLine(TextView& view, WPARAM wp, LPARAM lp) {
        const auto index = static_cast<std::size_t>(wp);
        if (lp == 0) return 0;
        ExactThroughRow(view, index);
        if (index >= view.Rows().Count()) return 0;
        const std::string_view line = view.Line(static_cast<int>(index));
        const std::size_t n = std::min<std::size_t>(line.size(), *reinterpret_cast<WORD*>(lp));
        CopyGlyphs(line.substr(0, n), reinterpret_cast<wchar_t*>(lp));
        return static_cast<LRESULT>(n);
    }

    // Both answers are two 16-bit fields, as the edit control gives them. A point outside what a
    // signed 16-bit coordinate holds is answered as -32768 or 32767 on its side: never a point
    // inside the window. The character index and the line of EM_CHARFROMPOS are their low words,
    // the edit control's own convention: the full index is the line's EM_LINEINDEX plus the
    // distance the low word gives, modulo 65536.
    static LRESULT PosFromChar(TextView& view, WPARAM wp, LPARAM) {
        if (wp > view.Text().size()) return -1;
        const core::Pixel at = view.PixelOf(static_cast<std::size_t>(wp));
        return MAKELRESULT(Saturated16(at.x), Saturated16(at.y));
    }

    static LRESULT CharFromPos(TextView& view, WPARAM, LPARAM lp) {
        const std::size_t offset = view.OffsetAt(core::Pixel{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
        return MAKELRESULT(static_cast<WORD>(offset & 0xFFFF), static_cast<WORD>(ExactRowOf(view, offset) & 0xFFFF));
    }

    static LRESULT ScrollCaret(TextView& view, WPARAM, LPARAM) {
        view.ScrollCaret();
        return 0;
    }

    static LRESULT LineScroll(TextView& view, WPARAM wp, LPARAM lp) {
        view.ScrollTo(static_cast<long long>(view.scroll_.top) + static_cast<int>(lp),
                      view.scroll_.x + static_cast<long long>(AsInt(wp)) * view.grid_.cell);
        return TRUE;
    }

    static LRESULT GetRect(TextView& view, WPARAM, LPARAM lp) {
        if (lp == 0) return 0;
        const core::Frame frame = view.ClientFrame();
        const int margin = view.grid_.margin;
        *reinterpret_cast<RECT*>(lp) = RECT{margin, 0, static_cast<LONG>(frame.width) - margin,
                                            static_cast<LONG>(frame.RowsBottom())};
        return 0;
    }

    static LRESULT GetMargins(TextView& view, WPARAM, LPARAM) {
        return MAKELRESULT(view.grid_.margin, view.grid_.margin);
    }

    static LRESULT Accept(TextView&, WPARAM, LPARAM) { return TRUE; }  // no limit, and read-only it stays

    static LRESULT Copy(TextView& view, WPARAM, LPARAM) {
        view.CopySelected();
        return 0;
    }
};

std::optional<LRESULT> TextView::HandleEditMessage(UINT msg, WPARAM wp, LPARAM lp) {
    using M = TextViewMessages;
    static constexpr struct {
        UINT msg;
        M::Answer answer;
    } kAnswers[] = {
        {WM_GETTEXTLENGTH, M::GetTextLength},
        {WM_GETTEXT, M::GetText},
        {EM_GETSEL, M::GetSel},
        {EM_SETSEL, M::SetSel},
        {EM_GETLINECOUNT, M::GetLineCount},
        {EM_GETFIRSTVISIBLELINE, M::GetFirstVisibleLine},
        {EM_LINEFROMCHAR, M::LineFromChar},
        {EM_LINEINDEX, M::LineIndex},
        {EM_LINELENGTH, M::LineLength},
        {EM_GETLINE, M::GetLine},
        {EM_POSFROMCHAR, M::PosFromChar},
        {EM_CHARFROMPOS, M::CharFromPos},
        {EM_SCROLLCARET, M::ScrollCaret},
        {EM_LINESCROLL, M::LineScroll},
        {EM_GETRECT, M::GetRect},
        {EM_GETMARGINS, M::GetMargins},
        {EM_SETLIMITTEXT, M::Accept},
        {EM_SETREADONLY, M::Accept},
        {WM_COPY, M::Copy},
    };
    const auto found = std::find_if(std::begin(kAnswers), std::end(kAnswers), [msg](const auto& a) { return a.msg == msg; });
    if (found == std::end(kAnswers)) return std::nullopt;
    return found->answer(*this, wp, lp);
}

}  // namespace platform
