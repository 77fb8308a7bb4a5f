// The bitmap export as a user reaches it: Ctrl+E or the Export button, the refusals, the save
// dialog answered by the script, the overwrite question, and the written file read back.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/unicode.hpp"
#include "tests/win32/support.hpp"

using namespace testing_support;

namespace {

constexpr COLORREF kInk = RGB(0xFF, 0xFF, 0x00);
constexpr COLORREF kPaper = RGB(0x00, 0x00, 0x80);

// A BMP file as written: the header fields the export sets, and its pixels by position.
struct Bmp {
    std::string bytes;

    std::uint32_t U32(std::size_t at) const {
        auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])); };
        return byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
    }
    std::uint16_t U16(std::size_t at) const { return static_cast<std::uint16_t>(U32(at) & 0xFFFF); }
    int Width() const { return static_cast<std::int32_t>(U32(18)); }
    int Height() const { return static_cast<std::int32_t>(U32(22)); }
    int Bits() const { return U16(28); }
    // x, y from the top-left, as drawn; the file keeps the rows bottom-up.
    COLORREF Pixel(int x, int y) const {
        const std::size_t stride = (static_cast<std::size_t>(Width()) * 4 + 3) / 4 * 4;
        const std::size_t at = U32(10) + static_cast<std::size_t>(Height() - 1 - y) * stride + static_cast<std::size_t>(x) * 4;
        return RGB(static_cast<unsigned char>(bytes[at + 2]), static_cast<unsigned char>(bytes[at + 1]),
                   static_cast<unsigned char>(bytes[at]));
    }
};

std::string Lines(int count, const std::string& line) {
    std::string text;
    for (int i = 0; i < count; ++i) text += line + "\r\n";
    return text;
}

std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

class Export : public MainWindowTest {
protected:
    std::string Show(const std::string& bytes, const std::string& name = "shown.nfo") {
        if (!frm_) Start();
        const std::string path = scratch_.Write(name, bytes);
        Frm().ShowFile(path);
        Pump();
        return path;
    }
    // Ctrl+E with the dialog answering `answer` (cancelled when empty).
    void ExportTo(const std::string& answer) {
        if (!answer.empty()) prompts_.saveAnswers = {answer};
        PressKey('E', {VK_CONTROL});
    }
    Bmp ExportAndRead(const std::string& name = "picture.bmp") {
        const std::string target = scratch_.Path() + "\\" + name;
        ExportTo(target);
        return Bmp{ReadFileBytes(target)};
    }
    // The view's cell: "A" in the view's own font.
    SIZE Cell() {
        HDC dc = ::CreateCompatibleDC(nullptr);
        HGDIOBJ old = ::SelectObject(dc, Memo().Font());
        SIZE a{};
        ::GetTextExtentPoint32W(dc, L"A", 1, &a);
        ::SelectObject(dc, old);
        ::DeleteDC(dc);
        return a;
    }
    void Colours(COLORREF ink, COLORREF paper) {
        Memo().SetFontColor(static_cast<std::int32_t>(ink));
        Memo().SetBackColor(static_cast<std::int32_t>(paper));
    }
    std::vector<std::string> Warnings() {
        std::vector<std::string> texts;
        for (const Shown& shown : prompts_.messages) {
            EXPECT_EQ(shown.flags, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION)) << shown.text;
            texts.push_back(shown.text);
        }
        return texts;
    }
};

// Counts the cells of a rectangle (in pixels) that are not paper.
int InkIn(const Bmp& bmp, int left, int top, int right, int bottom) {
    int ink = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) ink += bmp.Pixel(x, y) != kPaper;
    return ink;
}

}  // namespace

TEST_F(Export, RefusesInTheirOrderWithoutShowingTheDialog) {
    struct Case { const char* name; std::string bytes; bool wrap; const char* warning; } cases[] = {
        {"301 lines", Lines(301, "x"), false, "Sorry, cannot export files longer than 300 lines."},
        {"201 characters", Lines(3, "x") + std::string(201, '\xDB') + "\r\n", false,
         "Sorry, cannot export files with lines longer than 200 characters."},
        {"400 x 250 reports the count", Lines(400, std::string(250, 'x')), false,
         "Sorry, cannot export files longer than 300 lines."},
        {"wrap on: 200 lines wrapping twice", Lines(200, std::string(60, 'w') + " " + std::string(60, 'w')), true,
         "Sorry, cannot export files longer than 300 lines."},
    };
    Start();
    PressKey('E', {VK_CONTROL});
    EXPECT_EQ(Warnings(), std::vector<std::string>{"Open a file first."});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts_.messages.clear();
        Show(c.bytes);
        if (Memo().Wrap() != c.wrap) PressKey('W', {VK_CONTROL});
        ::MoveWindow(Frm().Handle(), 0, 0, 640, 480, TRUE);  // narrower than a 121-character line
        Pump();
        ExportTo("");
        EXPECT_EQ(Warnings(), std::vector<std::string>{c.warning});
    }
    EXPECT_TRUE(prompts_.saveRequests.empty());
    EXPECT_TRUE(FolderNames(scratch_.Path()) == std::vector<std::string>({"shown.nfo"}));
}

TEST_F(Export, LimitsThemselvesExportAndTheDialogOffersTheShownFilesName) {
    struct Case { std::string bytes; const char* shownName; const char* offered; } cases[] = {
        {Lines(300, std::string(200, '\xC4')), "release.nfo", "release.bmp"},
        {"no break at the end", "a.b.diz", "a.b.bmp"},
        {"x\r\n", "README", "README.bmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shownName);
        Show(c.bytes, c.shownName);
        ExportTo("");  // cancelled: nothing written
        ASSERT_FALSE(prompts_.saveRequests.empty());
        const auto& request = prompts_.saveRequests.back();
        EXPECT_EQ(request.initialName, c.offered);
        EXPECT_EQ(request.title, "Export as Bitmap");
        EXPECT_EQ(request.filter, std::string("Bitmaps (*.bmp)\0*.bmp\0", 22));
        EXPECT_EQ(request.flags & ~DWORD{OFN_EXPLORER}, DWORD{OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST |
                                                               OFN_CREATEPROMPT | OFN_ENABLESIZING});
        EXPECT_FALSE(request.hasDefaultExtension);
        EXPECT_FALSE(request.hasInitialFolder);
    }
    ::SendMessageA(Frm().Handle(), WM_COMMAND, forms::kBtnExport, 0);  // the tool button, too
    EXPECT_EQ(prompts_.saveRequests.size(), 4u);
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(FolderNames(scratch_.Path()).size(), 3u);  // the three shown files only
}

// Header, size, the paper around and inside the lines, the glyphs in the view's font and colours,
// under two fonts so the cell follows the font.
TEST_F(Export, PictureHoldsEveryLineInTheViewsGlyphsFontAndColours) {
    const std::string art = "\xC9\xCD\xCD\xBB A\r\n"    // ╔══╗ A
                            "\xB3  \xDB\r\n"             // │  █
                            "\xB3\r\n"                   // │
                            "\xC4\xC4\xC4\r\n";          // ───
    for (const char* face : {"Terminal", "Courier New"}) {
        SCOPED_TRACE(face);
        Show(art);
        Memo().SetFont(face, face[0] == 'T' ? -12 : -16);
        Colours(kInk, kPaper);
        const SIZE cell = Cell();
        const Bmp bmp = ExportAndRead(std::string(face) + ".bmp");
        ASSERT_GE(bmp.bytes.size(), 54u);
        EXPECT_EQ(bmp.bytes.substr(0, 2), "BM");
        EXPECT_EQ(bmp.U32(2), bmp.bytes.size());
        EXPECT_EQ(bmp.U32(10), 54u);
        EXPECT_EQ(bmp.U32(14), 40u);
        EXPECT_EQ(bmp.Bits(), 32);
        EXPECT_EQ(bmp.U32(30), 0u);  // BI_RGB
        ASSERT_EQ(bmp.Width(), cell.cx * 6);
        ASSERT_EQ(bmp.Height(), cell.cy * 4);
        ASSERT_EQ(bmp.bytes.size(), 54u + std::size_t(bmp.Width()) * bmp.Height() * 4);

        const int cw = cell.cx, ch = cell.cy;
        auto cellInk = [&](int column, int row) { return InkIn(bmp, column * cw, row * ch, (column + 1) * cw, (row + 1) * ch); };
        EXPECT_EQ(cellInk(4, 0), 0) << "a blank cell is paper";
        EXPECT_GT(cellInk(5, 0), 0) << "A";
        // Right of the shorter lines, less the one column a smoothed glyph may reach into.
        EXPECT_EQ(InkIn(bmp, 4 * cw + 1, 1 * ch, 6 * cw, 2 * ch) + InkIn(bmp, 1 * cw + 1, 2 * ch, 6 * cw, 3 * ch) +
                      InkIn(bmp, 3 * cw + 1, 3 * ch, 6 * cw, 4 * ch),
                  0);
        EXPECT_GT(cellInk(3, 1), cw * ch * 3 / 4) << "a full block fills its cell";
        EXPECT_EQ(bmp.Pixel(3 * cw + cw / 2, ch + ch / 2), kInk) << "in the font's colour";
        // ╔ is a corner whose strokes reach the cell's right and bottom edges; É, the byte through
        // the ANSI code page, touches neither.
        EXPECT_GT(InkIn(bmp, cw - 1, 0, cw, ch), 0);
        EXPECT_GT(InkIn(bmp, 0, ch - 1, cw, ch), 0);
        // ─ runs unbroken across its three cells, │ down its two rows.
        bool across = false;
        for (int y = 3 * ch; y < 4 * ch && !across; ++y) across = InkIn(bmp, 0, y, 3 * cw, y + 1) == 3 * cw;
        EXPECT_TRUE(across);
        bool down = false;
        for (int x = 0; x < cw && !down; ++x) down = InkIn(bmp, x, ch, x + 1, 3 * ch) == 2 * ch;
        EXPECT_TRUE(down);
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
    Colours(kInk, kPaper);
    const Bmp bmp = ExportAndRead();
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(bmp.Width(), Cell().cx * static_cast<int>(longest));
    EXPECT_EQ(bmp.Height(), Cell().cy * display);
}

TEST_F(Export, AsksBeforeReplacingAnExistingFileAndUsesATypedNameAsTyped) {
    Show("art\r\n");
    const std::string target = scratch_.Write("picture", "old picture");  // no extension added
    for (int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer == IDYES ? "yes" : "no");
        prompts_.messages.clear();
        prompts_.answers = {answer};
        ExportTo(target);
        ASSERT_EQ(prompts_.messages.size(), 1u);
        EXPECT_EQ(prompts_.messages[0].text, "File already exists, do you want to overwrite?");
        EXPECT_EQ(prompts_.messages[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
        const std::string bytes = ReadFileBytes(target);
        EXPECT_EQ(bytes.substr(0, 2), answer == IDYES ? "BM" : "ol");
    }
    EXPECT_EQ(FolderNames(scratch_.Path()), (std::vector<std::string>{"picture", "shown.nfo"}));
}

// The target stays as it was, no temporary file is left, and the error box names the full path.
TEST_F(Export, AFailedExportKeepsTheTargetAndLeavesNoTemporaryFile) {
    Show("art\r\n");
    const std::string readOnly = scratch_.Write("read-only.bmp", "kept");
    ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    const std::string held = scratch_.Write("held.bmp", "kept");
    struct Case { const char* name; std::string target; } cases[] = {
        {"read-only", readOnly},
        {"open elsewhere", held},
        {"missing folder", scratch_.Path() + "\\missing\\x.bmp"},
    };
    HANDLE holder = ::CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts_.messages.clear();
        ExportTo(c.target);
        ASSERT_FALSE(prompts_.messages.empty());
        const Shown& error = prompts_.messages.back();
        EXPECT_EQ(error.flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
        const std::string prefix = "Cannot create file \"" + c.target + "\". ";
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

// Nothing to draw: the file is still made, after the question, and holds the two headers of a
// picture that is cw x 0 wide and ch x n high.
TEST_F(Export, AViewWithoutCharactersGivesAPictureWithoutPixels) {
    struct Case { const char* name; std::string bytes; int lines; } cases[] = {
        {"empty file", "", 0},
        {"empty lines", "\r\n\r\n\r\n", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts_.messages.clear();
        Show(c.bytes);
        const std::string target = scratch_.Write("empty.bmp", "old");
        ExportTo(target);
        EXPECT_EQ(prompts_.messages.size(), 1u);  // the overwrite question only
        const Bmp bmp{ReadFileBytes(target)};
        ASSERT_EQ(bmp.bytes.size(), 54u);
        EXPECT_EQ(bmp.bytes.substr(0, 2), "BM");
        EXPECT_EQ(bmp.U32(2), 54u);
        EXPECT_EQ(bmp.Width(), 0);
        EXPECT_EQ(bmp.Height(), Cell().cy * c.lines);
        EXPECT_EQ(bmp.U32(34), 0u);
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
    ::SendMessageA(Frm().ToolBar(), TB_CHECKBUTTON, forms::kBtnWrap, MAKELPARAM(TRUE, 0));
    ::PostMessageA(window, WM_COMMAND, forms::kBtnWrap, 0);
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    Frm().BtnExportClick();
    ASSERT_TRUE(WindowAlive());
    EXPECT_FALSE(Frm().Exporting());
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
