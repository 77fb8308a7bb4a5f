// Save as Picture and Copy as Picture as a user reaches them: Ctrl+Shift+E and Ctrl+Shift+C, the
// save dialog (scripted, and once the real one with its own controls), the written PNG read back
// through the system's decoder, the SVG's elements, and the clipboard's bitmap.
#include <windows.h>
#include <wincodec.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "forms/commands.hpp"
#include "platform/clipboard.hpp"
#include "platform/picture_dialog.hpp"
#include "platform/png_writer.hpp"
#include "platform/unicode.hpp"
#include "resources/resource.h"
#include "tests/win32/support.hpp"

using namespace testing_support;

namespace {

constexpr COLORREF kInk = RGB(0xFF, 0xFF, 0x00);
constexpr COLORREF kPaper = RGB(0x00, 0x00, 0x80);

// Pixels as 32-bit BGRA, top row first, whatever form the file has them in.
struct Picture {
    UINT width = 0;
    UINT height = 0;
    std::vector<std::uint8_t> bgra;

    COLORREF Colour(UINT x, UINT y) const {
        const std::uint8_t* p = &bgra[(std::size_t(y) * width + x) * 4];
        return RGB(p[2], p[1], p[0]);
    }
    std::uint8_t Alpha(UINT x, UINT y) const { return bgra[(std::size_t(y) * width + x) * 4 + 3]; }
    int InkIn(UINT left, UINT top, UINT right, UINT bottom) const {
        int ink = 0;
        for (UINT y = top; y < bottom; ++y)
            for (UINT x = left; x < right; ++x) ink += Colour(x, y) != kPaper;
        return ink;
    }
};

// Any picture file the system reads (the PNG we write, the BMP the export writes); the container's
// format is given back so a test can say it was PNG.
Picture ReadPicture(const std::string& path, GUID* container = nullptr) {
    platform::ComApartment com;
    platform::ComRef<IWICImagingFactory> factory;
    EXPECT_HRESULT_SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                                IID_IWICImagingFactory, reinterpret_cast<void**>(factory.out())));
    platform::ComRef<IWICBitmapDecoder> decoder;
    platform::ComRef<IWICBitmapFrameDecode> frame;
    platform::ComRef<IWICFormatConverter> converter;
    if (FAILED(factory->CreateDecoderFromFilename(platform::Widen(path).c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, decoder.out())) ||
        FAILED(decoder->GetFrame(0, frame.out())) || FAILED(factory->CreateFormatConverter(converter.out())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom))) {
        ADD_FAILURE() << "cannot decode " << path;
        return {};
    }
    if (container) decoder->GetContainerFormat(container);
    Picture picture;
    converter->GetSize(&picture.width, &picture.height);
    picture.bgra.resize(std::size_t(picture.width) * picture.height * 4);
    EXPECT_HRESULT_SUCCEEDED(converter->CopyPixels(nullptr, picture.width * 4, static_cast<UINT>(picture.bgra.size()),
                                                   picture.bgra.data()));
    return picture;
}

const std::string kArt = "\xC9\xCD\xCD\xBB A\r\n"  // ╔══╗ A
                         "\xB3  \xDB\r\n"           // │  █
                         "\xB1\xB1\xB3\r\n"         // ▒▒│
                         "\xC4\xC4\xC4\r\n";        // ───

class PictureTest : public MainWindowTest {
protected:
    std::string Show(const std::string& bytes, const std::string& name = "shown.nfo") {
        return ShowColoured(bytes, kInk, kPaper, name);
    }
    // Ctrl+Shift+E with the dialog answering `answer` (cancelled when empty), its type and options.
    void SaveAs(const std::string& answer, platform::PictureOptions options = {},
                DWORD filterIndex = core::kPictureFilterPng) {
        prompts_.saveAnswers.clear();
        if (!answer.empty()) prompts_.saveAnswers = {answer};
        prompts_.onSave = [=](OPENFILENAMEW& request) {
            request.nFilterIndex = filterIndex;
            if (auto* picture = reinterpret_cast<platform::PictureRequest*>(request.lCustData)) picture->options = options;
        };
        PressKey('E', {VK_CONTROL, VK_SHIFT});
    }
    SIZE Cell() { return CellOf(Memo().Font()); }
    std::string Target(const std::string& name) const { return scratch_.Path() + "\\" + name; }
};

}  // namespace

// The dialog as the command shows it, and a PNG that is the export's BMP pixel for pixel.
TEST_F(PictureTest, PngHoldsThePixelsOfTheBitmapExport) {
    Show(kArt);
    SaveAs(Target("art.png"));
    ASSERT_EQ(prompts_.saveRequests.size(), 1u);
    const auto& request = prompts_.saveRequests[0];
    EXPECT_EQ(request.title, "Save as Picture");
    EXPECT_EQ(request.initialName, "shown.png");
    EXPECT_EQ(request.filter.substr(0, request.filter.find('\0')), "PNG image (*.png)");
    EXPECT_NE(request.filter.find("SVG picture (*.svg)"), std::string::npos);
    EXPECT_EQ(request.flags & (OFN_ENABLETEMPLATE | OFN_ENABLEHOOK | OFN_OVERWRITEPROMPT),
              DWORD{OFN_ENABLETEMPLATE | OFN_ENABLEHOOK});
    ASSERT_TRUE(prompts_.messages.empty()) << prompts_.messages[0].text;

    prompts_.saveAnswers = {Target("art.bmp")};
    PressKey('E', {VK_CONTROL});
    GUID container{};
    const Picture png = ReadPicture(Target("art.png"), &container);
    const Picture bmp = ReadPicture(Target("art.bmp"));
    EXPECT_TRUE(container == GUID_ContainerFormatPng);
    const SIZE cell = Cell();
    ASSERT_EQ(png.width, UINT(cell.cx * 6));
    ASSERT_EQ(png.height, UINT(cell.cy * 4));
    ASSERT_EQ(png.width, bmp.width);
    ASSERT_EQ(png.height, bmp.height);
    int differing = 0;
    for (UINT y = 0; y < png.height; ++y)
        for (UINT x = 0; x < png.width; ++x) differing += png.Colour(x, y) != bmp.Colour(x, y) || png.Alpha(x, y) != 255;
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(png.Colour(png.width - 1, png.height - 1), kPaper) << "the background right of a short line";
    EXPECT_EQ(png.InkIn(3 * cell.cx, cell.cy, 4 * cell.cx, 2 * cell.cy), cell.cx * cell.cy) << "a full block";
}

// No line limit: far past the export's 300 lines and 200 columns, every line is in the picture,
// drawn across the strips with the shade's dots running on; the tail line included.
TEST_F(PictureTest, PngHoldsEveryLinePastTheExportsLimits) {
    std::string text = Lines(700, std::string(250, '\xB0'));
    text += "end" + std::string(247, '\xDB') + "\r\n";
    Show(text);
    SaveAs(Target("long.png"));
    ASSERT_TRUE(prompts_.messages.empty()) << prompts_.messages[0].text;
    const Picture png = ReadPicture(Target("long.png"));
    const SIZE cell = Cell();
    ASSERT_EQ(png.width, UINT(cell.cx * 250));
    ASSERT_EQ(png.height, UINT(cell.cy * 701));
    // The light shade's dots: the same count of ink in every line band, the strips' seams included.
    const int firstBand = png.InkIn(0, 0, png.width, cell.cy);
    EXPECT_GT(firstBand, 0);
    for (int line : {1, 99, 100, 101, 350, 699})
        EXPECT_EQ(png.InkIn(0, UINT(line * cell.cy), png.width, UINT((line + 1) * cell.cy)), firstBand) << line;
    EXPECT_EQ(png.InkIn(3 * cell.cx, 700 * cell.cy, png.width, png.height), 247 * cell.cx * cell.cy);
}

// A whole multiple: each pixel a square; transparent: no ink is clear, full ink is opaque in the
// text colour.
TEST_F(PictureTest, ScaleMakesSquaresAndTransparencyLeavesOutTheBackground) {
    Show(kArt);
    SaveAs(Target("one.png"));
    SaveAs(Target("three.png"), {3, true});
    ASSERT_TRUE(prompts_.messages.empty());
    const Picture one = ReadPicture(Target("one.png"));
    const Picture three = ReadPicture(Target("three.png"));
    ASSERT_EQ(three.width, one.width * 3);
    ASSERT_EQ(three.height, one.height * 3);
    int wrong = 0;
    for (UINT y = 0; y < three.height; ++y)
        for (UINT x = 0; x < three.width; ++x) {
            const COLORREF drawn = one.Colour(x / 3, y / 3);
            const std::uint8_t alpha = three.Alpha(x, y);
            if (drawn == kPaper) wrong += alpha != 0;
            else if (drawn == kInk) wrong += alpha != 255 || three.Colour(x, y) != kInk;
            else wrong += alpha == 0 || alpha == 255;  // a smoothed edge keeps a share
        }
    EXPECT_EQ(wrong, 0);

    // A scale the dialog does not offer is taken as the nearest it does, never a division by zero.
    SaveAs(Target("zero.png"), {0, false});
    SaveAs(Target("nine.png"), {9, false});
    ASSERT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(ReadPicture(Target("zero.png")).width, one.width);
    EXPECT_EQ(ReadPicture(Target("nine.png")).width, one.width * 3);
}

// SVG by its type or by a typed name, in the view's colours and cells; which elements the art
// becomes is the writer's own matter, tested without a window.
TEST_F(PictureTest, SvgByTypeOrByTypedName) {
    Show(kArt);
    SaveAs(Target("by-type"), {}, core::kPictureFilterSvg);
    SaveAs(Target("by-name.SVG"));
    ASSERT_TRUE(prompts_.messages.empty());
    const SIZE cell = Cell();
    for (const char* name : {"by-type.svg", "by-name.SVG"}) {
        SCOPED_TRACE(name);
        const std::string svg = ReadFileBytes(Target(name));
        ASSERT_EQ(svg.compare(0, 5, "<?xml"), 0);
        EXPECT_NE(svg.find("width=\"" + std::to_string(cell.cx * 6) + "\" height=\"" + std::to_string(cell.cy * 4)),
                  std::string::npos);
        for (const char* colour : {"fill=\"#000080\"", "fill=\"#ffff00\""}) EXPECT_NE(svg.find(colour), std::string::npos);
    }
}

// The export's rules: the shown file refused, the overwrite question with No the default, and a
// picture too tall refused before anything is written.
TEST_F(PictureTest, RefusesTheShownFileAsksBeforeOverwritingAndRefusesTooTall) {
    const std::string shown = Show(kArt);
    SaveAs(shown);
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_NE(prompts_.messages[0].text.find("the file being shown"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(shown), kArt);

    const std::string kept = scratch_.Write("kept.png", "old");
    prompts_.messages.clear();
    prompts_.answers = {IDNO};
    SaveAs(kept);
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2));
    EXPECT_EQ(ReadFileBytes(kept), "old");
    prompts_.messages.clear();
    prompts_.answers = {IDYES};
    SaveAs(kept);
    EXPECT_EQ(ReadFileBytes(kept).substr(1, 3), "PNG");

    const int tooMany = 1'000'000 / Cell().cy + 1;
    Show(Lines(tooMany, "x"), "tall.nfo");
    for (const char* name : {"tall.png", "tall.svg"}) {
        prompts_.messages.clear();
        SaveAs(Target(name));
        ASSERT_EQ(prompts_.messages.size(), 1u) << name;
        EXPECT_NE(prompts_.messages[0].text.find("larger than 1,000,000 pixels"), std::string::npos);
        EXPECT_EQ(::GetFileAttributesA(Target(name).c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

// The selected lines, or all of them, as a bitmap and a PNG on the clipboard.
TEST_F(PictureTest, CopyAsPicturePutsTheSelectedLinesOnTheClipboard) {
    Show(kArt);
    const SIZE cell = Cell();
    struct Case { const char* name; std::size_t start, end; int lines, columns, blockRow; } cases[] = {
        {"nothing selected: all", 0, 0, 4, 6, 1},
        {"inside line 2", 9, 10, 1, 4, 0},
        {"lines 2 and 3 up to the break after 3", 8, 19, 2, 4, 0},
        {"line 3 alone", 14, 16, 1, 3, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Memo().SetSelection(c.start, c.end);
        SetClipboardMarker("marker");
        PressKey('C', {VK_CONTROL, VK_SHIFT});
        ASSERT_TRUE(prompts_.messages.empty()) << prompts_.messages[0].text;
        ASSERT_TRUE(::OpenClipboard(nullptr));
        HGLOBAL dib = ::GetClipboardData(CF_DIB);
        HGLOBAL png = ::GetClipboardData(::RegisterClipboardFormatW(L"PNG"));
        const auto* header = dib ? static_cast<const BITMAPINFOHEADER*>(::GlobalLock(dib)) : nullptr;
        const auto* pngBytes = png ? static_cast<const char*>(::GlobalLock(png)) : nullptr;
        if (!header || !pngBytes) ::CloseClipboard();
        ASSERT_TRUE(header);
        ASSERT_TRUE(pngBytes);
        EXPECT_EQ(std::string(pngBytes + 1, 3), "PNG");
        EXPECT_EQ(header->biWidth, cell.cx * c.columns) << "as wide as the longest line copied";
        EXPECT_EQ(header->biHeight, cell.cy * c.lines);
        EXPECT_EQ(header->biBitCount, 24);
        // Bottom-up rows: the first line's top-left pixel is paper, its first block (line 2's █) full ink.
        const auto* pixels = reinterpret_cast<const std::uint8_t*>(header + 1);
        const std::size_t stride = (std::size_t(header->biWidth) * 3 + 3) & ~std::size_t{3};
        auto at = [&](int x, int y) {
            const std::uint8_t* p = pixels + std::size_t(header->biHeight - 1 - y) * stride + std::size_t(x) * 3;
            return RGB(p[2], p[1], p[0]);
        };
        EXPECT_EQ(at(0, 0), kPaper);
        if (c.blockRow >= 0) {
            EXPECT_EQ(at(3 * cell.cx + cell.cx / 2, c.blockRow * cell.cy + cell.cy / 2), kInk);
        }
        ::GlobalUnlock(dib);
        ::GlobalUnlock(png);
        ::CloseClipboard();
    }
}

// Too large for the clipboard: refused with the size, the clipboard left as it was.
TEST_F(PictureTest, CopyAsPictureRefusesPastItsSize) {
    Show(Lines(3000, std::string(400, 'x')));
    SetClipboardMarker("marker");
    PressKey('C', {VK_CONTROL, VK_SHIFT});
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_NE(prompts_.messages[0].text.find("8,000,000 pixels"), std::string::npos);
    EXPECT_EQ(ClipboardText(CF_TEXT), "marker");
}

// The real dialog: its options are controls a tool finds by their captions, and what is chosen
// in them is what the command gets.
TEST(PictureDialog, OptionsAreRealControlsOfTheSaveDialog) {
    ScratchFolder scratch;
    std::atomic<int> items{-1};  // the scale's choices; -1: the dialog or its options never showed
    const std::wstring name = platform::Widen(scratch.Path()) + L"\\picked.png";
    std::thread user([&] {
        // The dialog's window comes before its children: wait for our options to be there too.
        HWND dialog = nullptr;
        HWND check = nullptr;
        for (int i = 0; i < 200 && !check; ++i, ::Sleep(50)) {
            dialog = ::FindWindowW(nullptr, L"Save as Picture");
            if (dialog)
                check = ::FindWindowExW(::FindWindowExW(dialog, nullptr, L"#32770", nullptr), nullptr, L"Button",
                                        L"&Transparent background");
        }
        if (!check) {
            if (dialog) ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        ::Sleep(100);  // and for the dialog to finish starting
        ::SendMessageW(check, BM_CLICK, 0, 0);
        HWND scale = ::GetDlgItem(::GetParent(check), IDC_PICTURE_SCALE);
        items = static_cast<int>(::SendMessageW(scale, CB_GETCOUNT, 0, 0));
        ::SendMessageW(scale, CB_SETCURSEL, 1, 0);
        HWND edit = ::GetDlgItem(dialog, 0x047c);  // cmb13, the name's box
        if (!edit) edit = ::GetDlgItem(dialog, 0x0480);  // edt1
        ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    platform::SystemPrompts prompts;
    platform::PictureRequest request;
    const auto choice = platform::AskPictureFile(prompts, nullptr, "shown.png", request);
    user.join();
    ASSERT_EQ(items, 3);
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->path, name);
    EXPECT_EQ(request.options.scale, 2);
    EXPECT_TRUE(request.options.transparent);
}

// Esc while the strips are drawn stops the save: nothing is written, no temporary file is left,
// and the window is free again.
TEST_F(PictureTest, EscStopsASaveAndLeavesNothingBehind) {
    Show(Lines(2000, std::string(80, '\xB2')));
    prompts_.saveAnswers = {Target("stopped.png")};
    prompts_.onSave = [this](OPENFILENAMEW&) {
        ::PostMessageW(Memo().Handle(), WM_CHAR, 27, 1);  // Esc, read at the first strip's pump
    };
    PressKey('E', {VK_CONTROL, VK_SHIFT});
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(FolderNames(scratch_.Path()), std::vector<std::string>{"shown.nfo"});
    EXPECT_FALSE(Frm().Busy().CancelRequested());
    SaveAs(Target("after.png"));
    EXPECT_EQ(ReadPicture(Target("after.png")).height, UINT(Cell().cy * 2000));
}
