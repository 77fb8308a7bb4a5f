// The bitmap export as a user reaches it: Ctrl+E or the Export button, the refusals, the save
// dialog answered by the script, the overwrite question, and the written file read back.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cwchar>
#include <filesystem>
#include <string>
#include <vector>

#include "core/app_error.hpp"
#include "platform/export_bitmap.hpp"
#include "platform/files.hpp"
#include "platform/unicode.hpp"
#include "tests/win32/support.hpp"

using namespace testing_support;

namespace {

constexpr COLORREF kInk = RGB(0xFF, 0xFF, 0x00);
constexpr COLORREF kPaper = RGB(0x00, 0x00, 0x80);

// A written BMP file: the header fields the export sets, and its pixels by position.
struct Bmp {
    std::string bytes;

    std::uint32_t U32(std::size_t at) const {
        auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])); };
        return byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
    }
    int Width() const { return static_cast<std::int32_t>(U32(18)); }
    int Height() const { return static_cast<std::int32_t>(U32(22)); }
    // x, y from the top-left, as drawn; the file keeps 32-bit rows bottom-up.
    COLORREF Pixel(int x, int y) const {
        const std::size_t at = U32(10) + (std::size_t(Height() - 1 - y) * Width() + std::size_t(x)) * 4;
        return RGB(static_cast<unsigned char>(bytes[at + 2]), static_cast<unsigned char>(bytes[at + 1]),
                   static_cast<unsigned char>(bytes[at]));
    }
    // The pixels of a rectangle that are not paper.
    int InkIn(int left, int top, int right, int bottom) const {
        int ink = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) ink += Pixel(x, y) != kPaper;
        return ink;
    }
};

// The system refusing each thing the picture asks it to make, with a reason or without one.
HDC RefusedDc() {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}
HFONT RefusedFont(const LOGFONTW&) {
    ::SetLastError(ERROR_SUCCESS);
    return nullptr;
}
HBITMAP RefusedBitmap(HDC, const BITMAPINFO&, void** bits) {
    *bits = nullptr;
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

class Export : public MainWindowTest {
protected:
    std::string Show(const std::string& bytes, const std::string& name = "shown.nfo") {
        return ShowColoured(bytes, kInk, kPaper, name);
    }
    // Ctrl+E with the dialog answering `answer` (cancelled when empty).
    void ExportTo(const std::string& answer) {
        if (!answer.empty()) prompts_.saveAnswers = {answer};
        PressKey('E', {VK_CONTROL});
    }
    // The view's cell: "A" in the view's own font.
    SIZE Cell() { return CellOf(Memo().Font()); }
};

}  // namespace

// Refusals come in their order without the save dialog; at the limits, Ctrl+E and the tool
// button ask alike where to save.
TEST_F(Export, RefusesPastTheLimitsAndOtherwiseAsksWhereToSave) {
    const char* lines = "Sorry, cannot export files longer than 300 lines.";
    struct Case { const char* name; std::string bytes; bool wrap; const char* warning; } cases[] = {
        {"301 lines", Lines(301, "x"), false, lines},
        {"201 characters", Lines(3, "x") + std::string(201, '\xDB') + "\r\n", false,
         "Sorry, cannot export files with lines longer than 200 characters."},
        {"both: the count first", Lines(400, std::string(250, 'x')), false, lines},
        {"wrap on: 200 lines wrapping twice", Lines(200, std::string(60, 'w') + " " + std::string(60, 'w')), true, lines},
        {"300 lines of 200 characters", Lines(300, std::string(200, '\xC4')), false, nullptr},
    };
    Start();
    PressKey('E', {VK_CONTROL});
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text, "Open a file first.");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts_.messages.clear();
        Show(c.bytes);
        if (Memo().Wrap() != c.wrap) PressKey('W', {VK_CONTROL});
        ::MoveWindow(Frm().Handle(), 0, 0, 640, 480, TRUE);  // narrower than a 121-character line
        Pump();
        ExportTo("");  // cancelled: nothing written
        ASSERT_EQ(prompts_.messages.size(), c.warning ? 1u : 0u);
        if (!c.warning) continue;
        EXPECT_TRUE(prompts_.saveRequests.empty());
        EXPECT_EQ(prompts_.messages[0].text, c.warning);
        EXPECT_EQ(prompts_.messages[0].flags, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    }
    ::SendMessageA(Frm().Handle(), WM_COMMAND, forms::kBtnExport, 0);
    ASSERT_EQ(prompts_.saveRequests.size(), 2u);
    for (const auto& request : prompts_.saveRequests) {
        EXPECT_EQ(request.initialName, "shown.bmp");
        EXPECT_EQ(request.title, "Export as Bitmap");
        EXPECT_EQ(request.filter, std::string("Bitmaps (*.bmp)\0*.bmp\0", 22));
        EXPECT_EQ(request.flags & ~DWORD{OFN_EXPLORER}, DWORD{OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST |
                                                               OFN_CREATEPROMPT | OFN_ENABLESIZING});
        EXPECT_FALSE(request.hasDefaultExtension);
        EXPECT_FALSE(request.hasInitialFolder);
    }
    EXPECT_EQ(FolderNames(scratch_.Path()), std::vector<std::string>{"shown.nfo"});
}

// Under two fonts, so the cell follows the font.
TEST_F(Export, PictureHoldsEveryLineInTheViewsGlyphsFontAndColours) {
    const std::string art = "\xC9\xCD\xCD\xBB A\r\n"  // ╔══╗ A
                            "\xB3  \xDB\r\n"           // │  █
                            "\xB3\r\n"                 // │
                            "\xC4\xC4\xC4\r\n";        // ───
    for (const char* face : {"Terminal", "Courier New"}) {
        SCOPED_TRACE(face);
        Show(art);
        Memo().SetFont(face, face[0] == 'T' ? -12 : -16);
        const int cw = Cell().cx, ch = Cell().cy;
        const std::string target = scratch_.Path() + "\\" + face + ".bmp";
        ExportTo(target);
        const Bmp bmp{ReadFileBytes(target)};
        ASSERT_GE(bmp.bytes.size(), 54u);
        EXPECT_EQ(bmp.bytes.substr(0, 2), "BM");
        EXPECT_EQ(bmp.U32(2), bmp.bytes.size());
        EXPECT_EQ(bmp.U32(28), 32u);  // 32 bits a pixel, then BI_RGB's zero
        ASSERT_EQ(bmp.Width(), cw * 6);
        ASSERT_EQ(bmp.Height(), ch * 4);
        ASSERT_EQ(bmp.bytes.size(), bmp.U32(10) + std::size_t(bmp.Width()) * bmp.Height() * 4);

        auto cellInk = [&](int column, int row) { return bmp.InkIn(column * cw, row * ch, (column + 1) * cw, (row + 1) * ch); };
        EXPECT_EQ(cellInk(4, 0), 0) << "a blank cell is paper";
        EXPECT_GT(cellInk(5, 0), 0) << "A";
        // Right of the shorter lines, less the one column a smoothed glyph may reach into.
        EXPECT_EQ(bmp.InkIn(4 * cw + 1, ch, 6 * cw, 2 * ch) + bmp.InkIn(cw + 1, 2 * ch, 6 * cw, 3 * ch) +
                      bmp.InkIn(3 * cw + 1, 3 * ch, 6 * cw, 4 * ch),
                  0);
        EXPECT_GT(cellInk(3, 1), cw * ch * 3 / 4) << "a full block fills its cell";
        EXPECT_EQ(bmp.Pixel(3 * cw + cw / 2, ch + ch / 2), kInk) << "in the font's colour";
        // ╔ is a corner whose strokes reach the cell's right and bottom edges; É, the byte through
        // the ANSI code page, touches neither.
        EXPECT_GT(bmp.InkIn(cw - 1, 0, cw, ch), 0);
        EXPECT_GT(bmp.InkIn(0, ch - 1, cw, ch), 0);
        bool across = false;  // ─ runs unbroken across its three cells
        for (int y = 3 * ch; y < 4 * ch && !across; ++y) across = bmp.InkIn(0, y, 3 * cw, y + 1) == 3 * cw;
        EXPECT_TRUE(across);
    }
    EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(Export, WrapOnDrawsTheDisplayLinesOfTheMoment) {
    Show(std::string(250, 'x') + "\r\nshort\r\n");
    PressKey('W', {VK_CONTROL});
    ::MoveWindow(Frm().Handle(), 0, 0, 500, 400, TRUE);
    Pump();
    const int display = Memo().LineCount() - 1;  // less the empty one after the last break
    ASSERT_GT(display, 2);
    std::size_t longest = 0;
    for (int i = 0; i < display; ++i) longest = std::max(longest, Memo().Line(i).size());
    ASSERT_LT(longest, 200u);
    ExportTo(scratch_.Path() + "\\picture.bmp");
    const Bmp bmp{ReadFileBytes(scratch_.Path() + "\\picture.bmp")};
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(bmp.Width(), Cell().cx * static_cast<int>(longest));
    EXPECT_EQ(bmp.Height(), Cell().cy * display);
}

// A typed name is used as typed (no extension added); nothing to draw still makes a file, of
// headers alone: a picture 0 wide and a cell high per line.
TEST_F(Export, AsksBeforeReplacingAnExistingFileAndWritesEvenAnEmptyPicture) {
    struct Case { std::string bytes; int answer, columns, lines; } cases[] = {
        {"art\r\n", IDNO, 0, 0}, {"art\r\n", IDYES, 3, 1}, {"", IDYES, 0, 0}, {"\r\n\r\n\r\n", IDYES, 0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.answer) + " " + std::to_string(c.lines));
        Show(c.bytes);
        const std::string target = scratch_.Write("picture", "old picture");
        prompts_.messages.clear();
        prompts_.answers = {c.answer};
        ExportTo(target);
        ASSERT_EQ(prompts_.messages.size(), 1u);
        EXPECT_EQ(prompts_.messages[0].text, "File already exists, do you want to overwrite?");
        EXPECT_EQ(prompts_.messages[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2));
        const Bmp bmp{ReadFileBytes(target)};
        if (c.answer == IDNO) {
            EXPECT_EQ(bmp.bytes, "old picture");
            continue;
        }
        ASSERT_GE(bmp.bytes.size(), 54u);
        EXPECT_EQ(bmp.bytes.substr(0, 2), "BM");
        EXPECT_EQ(bmp.U32(2), bmp.bytes.size());
        EXPECT_EQ(bmp.Width(), Cell().cx * c.columns);
        EXPECT_EQ(bmp.Height(), Cell().cy * c.lines);
        EXPECT_EQ(bmp.bytes.size(), 54u + std::size_t(bmp.Width()) * bmp.Height() * 4);
    }
    EXPECT_EQ(FolderNames(scratch_.Path()), (std::vector<std::string>{"picture", "shown.nfo"}));
}

// A real question box, answered with Enter alone: its default button keeps the file.
TEST_F(Export, EnterAtTheOverwriteQuestionKeepsTheFile) {
    Show("art\r\n");
    const std::string target = scratch_.Write("picture.bmp", "old picture");
    prompts_.realBoxes = true;
    ExportTo(target);
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text, "File already exists, do you want to overwrite?");
    EXPECT_EQ(ReadFileBytes(target), "old picture");
}

// The save dialog hands back whatever the user typed: the shown file in another case, in its
// 8.3 form, with the \\?\ prefix or relative to the current folder is still the shown file, and
// writing it would put a picture in place of the text. Refused with a message, before the
// overwrite question and before anything is drawn or written.
TEST_F(Export, RefusesTheShownFileUnderEveryNameAndLeavesItAsItWas) {
    const std::string bytes = "\xC9\xCD\xBB victim\r\n";
    char previous[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryA(scratch_.Path().c_str()));
    const std::string shown = scratch_.Write("Victim Long Name.nfo", bytes);
    Start("corvalex.exe \"Victim Long Name.nfo\"");  // panel 0 holds the relative name
    ASSERT_EQ(Frm().StatusText(0), "Victim Long Name.nfo");
    Memo().SetSelection(1, 3);
    std::wstring shortForm(MAX_PATH, L'\0');
    shortForm.resize(::GetShortPathNameW(platform::Widen(shown).c_str(), shortForm.data(), MAX_PATH));
    ASSERT_NE(platform::Narrow(shortForm), shown);
    std::string upper = shown;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string targets[] = {upper, platform::Narrow(shortForm), "\\\\?\\" + shown, "victim long name.NFO"};
    const std::string elsewhere = scratch_.Path() + "\\elsewhere";
    ASSERT_TRUE(::CreateDirectoryA(elsewhere.c_str(), nullptr));
    for (const bool moved : {false, true}) {
        // The file dialogs move the current folder: the relative name in panel 0 must not follow.
        if (moved) {
            ASSERT_TRUE(::SetCurrentDirectoryA(elsewhere.c_str()));
        }
        for (const std::string& target : targets) {
            if (moved && target == targets[3]) continue;  // now names a file in the other folder
            SCOPED_TRACE(target);
            prompts_.messages.clear();
            ExportTo(target);
            ASSERT_EQ(prompts_.messages.size(), 1u);
            EXPECT_EQ(prompts_.messages[0].text,
                      "Cannot export over '" + target +
                          "', the file being shown. Choose another name for the picture.");
            EXPECT_EQ(prompts_.messages[0].flags, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
            EXPECT_EQ(ReadFileBytes(shown), bytes);
        }
    }
    EXPECT_EQ(Memo().Text(), bytes);
    EXPECT_EQ(Memo().GetSelection().start, 1u);
    EXPECT_EQ(Frm().StatusText(0), "Victim Long Name.nfo");
    ::SetCurrentDirectoryA(previous);  // the scratch folder can only go once we stand elsewhere
    ::RemoveDirectoryA(elsewhere.c_str());
    EXPECT_EQ(FolderNames(scratch_.Path()), std::vector<std::string>{"Victim Long Name.nfo"});

    // A file beside it, even one whose name differs only in its extension, is written as usual.
    prompts_.messages.clear();
    ExportTo(scratch_.Path() + "\\Victim Long Name.nfo.bmp");
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(ReadFileBytes(scratch_.Path() + "\\Victim Long Name.nfo.bmp").substr(0, 2), "BM");
}

// The target stays as it was, no temporary file is left, and the error box names the full path.
TEST_F(Export, AFailedExportKeepsTheTargetAndLeavesNoTemporaryFile) {
    Show("art\r\n");
    const std::string readOnly = scratch_.Write("read-only.bmp", "kept");
    ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    const std::string held = scratch_.Write("held.bmp", "kept");
    HANDLE holder = ::CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    for (const std::string& target : {readOnly, held, scratch_.Path() + "\\missing\\x.bmp"}) {
        SCOPED_TRACE(target);
        prompts_.messages.clear();
        ExportTo(target);
        ASSERT_FALSE(prompts_.messages.empty());
        const Shown& error = prompts_.messages.back();
        EXPECT_EQ(error.flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
        const std::string prefix = "Cannot create file \"" + target + "\". ";
        EXPECT_EQ(error.text.substr(0, prefix.size()), prefix);
        EXPECT_GT(error.text.size(), prefix.size() + 1);
        EXPECT_EQ(error.text.back(), '.');
        EXPECT_TRUE(WindowAlive());
    }
    ::CloseHandle(holder);
    EXPECT_EQ(ReadFileBytes(readOnly), "kept");
    EXPECT_EQ(ReadFileBytes(held), "kept");
    EXPECT_EQ(FolderNames(scratch_.Path()), (std::vector<std::string>{"held.bmp", "read-only.bmp", "shown.nfo"}));
}

// A GDI failure names what could not be made, with the system's reason when it gave one, instead of
// claiming the program ran out of memory.
TEST(ExportPicture, AFailedDrawingCallSaysWhatTheSystemCouldNotMake) {
    platform::PictureStyle style;
    style.font.lfHeight = -12;
    std::wcscpy(style.font.lfFaceName, L"Courier New");
    const platform::PictureGdi& real = platform::SystemPictureGdi();
    const core::PictureSize size = platform::ExportPicture(style, 3, 2).Size();
    ASSERT_FALSE(size.empty());
    const struct Case { platform::PictureGdi gdi; std::string message; } cases[] = {
        {{&RefusedDc, real.font, real.bitmap},
         "Cannot create the picture's drawing surface. " + platform::SystemErrorText(ERROR_INVALID_PARAMETER)},
        {{real.memoryDc, &RefusedFont, real.bitmap}, "Cannot create the picture's font"},
        {{real.memoryDc, real.font, &RefusedBitmap},
         "Cannot create the picture's bitmap of " + std::to_string(size.width) + " x " + std::to_string(size.height) +
             " pixels. " + platform::SystemErrorText(ERROR_NOT_ENOUGH_MEMORY)},
    };
    for (const Case& c : cases) {
        try {
            platform::ExportPicture picture(style, 3, 2, c.gdi);
            ADD_FAILURE() << "made: " << c.message;
        } catch (const core::AppError& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
        }
    }
}

// Messages run between the drawn lines: a second export, an open, a drop are refused, word wrap
// switches without changing the picture, and a close waits for the file.
TEST_F(Export, CommandsArrivingWhileDrawingNeitherRunInsideNorChangeThePicture) {
    const std::string text = Lines(40, std::string(150, '\xB1'));
    const std::string shown = Show(text);
    const std::string other = scratch_.Write("other.nfo", "other\r\n");
    const std::string target = scratch_.Path() + "\\picture.bmp";
    const SIZE cell = Cell();
    prompts_.saveAnswers = {target};
    prompts_.openAnswers = {{other, 1}};
    HWND window = Frm().Handle();
    ::PostMessageA(window, WM_COMMAND, forms::kBtnExport, 0);
    ::PostMessageA(window, WM_COMMAND, forms::kBtnOpen, 0);
    ::PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({other})), 0);
    ::PostMessageA(window, WM_COMMAND, forms::kBtnSettings, 0);
    ::PostMessageA(window, WM_COMMAND, forms::kBtnAbout, 0);
    ::SendMessageA(Frm().Commands().ToolBar(), TB_CHECKBUTTON, forms::kBtnWrap, MAKELPARAM(TRUE, 0));
    ::PostMessageA(window, WM_COMMAND, forms::kBtnWrap, 0);
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    Frm().BtnExportClick();
    ASSERT_TRUE(WindowAlive());
    EXPECT_FALSE(Frm().Busy().Exporting());
    EXPECT_TRUE(Memo().Wrap());
    EXPECT_EQ(prompts_.saveRequests.size(), 1u);
    EXPECT_TRUE(prompts_.openRequests.empty());
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(Frm().StatusText(0), shown);
    EXPECT_EQ(Memo().Text(), text);
    const Bmp bmp{ReadFileBytes(target)};
    EXPECT_EQ(bmp.Width(), cell.cx * 150);
    EXPECT_EQ(bmp.Height(), cell.cy * 40);
    Pump();
    EXPECT_FALSE(WindowAlive());  // the close, held back, came after
}
