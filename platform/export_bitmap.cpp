#include "platform/export_bitmap.hpp"

#include <algorithm>
#include <new>

#include "core/app_error.hpp"
#include "core/bmp_file.hpp"
#include "platform/files.hpp"
#include "platform/replacing_file.hpp"
#include "platform/unicode.hpp"

namespace platform {
namespace {

constexpr wchar_t kSaveTitle[] = L"Export as Bitmap";
constexpr wchar_t kSaveFilter[] = L"Bitmaps (*.bmp)\0*.bmp\0";

int ScreenDepth() {
    WindowDC screen(nullptr);
    const int depth = ::GetDeviceCaps(screen.get(), BITSPIXEL) * ::GetDeviceCaps(screen.get(), PLANES);
    // A palette screen would need a colour table; a direct-colour picture shows the same colours.
    return core::BmpDepthSupported(depth) ? depth : 32;
}

LOGFONTW FontOf(const TextView& view) {
    LOGFONTW font{};
    if (view.Font() && ::GetObjectW(view.Font(), sizeof font, &font) == sizeof font) return font;
    // No font object to copy: the same request the view makes.
    font.lfHeight = view.FontHeight();
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = OEM_CHARSET;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    const std::wstring face = Widen(view.FontName());
    face.copy(font.lfFaceName, std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
    return font;
}

HDC MakeMemoryDc() {
    WindowDC screen(nullptr);
    return ::CreateCompatibleDC(screen.get());
}

HFONT MakeFont(const LOGFONTW& font) { return ::CreateFontIndirectW(&font); }

HBITMAP MakeBitmap(HDC dc, const BITMAPINFO& info, void** bits) {
    return ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

// Said right after the failed call, while its reason is still the thread's last error.
[[noreturn]] void CannotCreate(const std::string& part) {
    const DWORD reason = ::GetLastError();
    std::string text = "Cannot create the picture's " + part;
    if (reason != ERROR_SUCCESS) text += ". " + SystemErrorText(reason);
    throw core::AppError(text);
}

}  // namespace

const PictureGdi& SystemPictureGdi() {
    static constexpr PictureGdi kSystem{&MakeMemoryDc, &MakeFont, &MakeBitmap};
    return kSystem;
}

int ExportLineCount(const TextView& view) {
    // Counted no further than the limit needs: a large wrapped text is not laid out to its end.
    const int displayLines = view.LineCountUpTo(core::kExportMaxLines + 1);
    return core::ExportLineCount(displayLines, displayLines > 0 ? view.Line(displayLines - 1) : std::string_view());
}

std::vector<std::string> ReadExportLines(const TextView& view, int count) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int index = 0; index < count; ++index) lines.emplace_back(view.Line(index));
    return lines;
}

PictureStyle PictureStyleOf(const TextView& view) {
    return PictureStyle{FontOf(view), ColourOf(view.FontColor()), ColourOf(view.BackColor())};
}

std::optional<std::wstring> AskExportFile(Prompts& prompts, HWND owner, std::string_view offeredName) {
    FileDialog dialog;
    dialog.kind = FileDialog::Kind::Save;
    dialog.owner = owner;
    dialog.title = kSaveTitle;
    dialog.filter = kSaveFilter;
    dialog.startName = Widen(offeredName);
    // No overwrite prompt and no default extension: the command asks itself, and a name typed
    // without an extension is used as typed.
    dialog.flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_CREATEPROMPT | OFN_ENABLESIZING |
                   OFN_EXPLORER;
    std::optional<FileChoice> choice = AskFileName(prompts, dialog);
    if (!choice) return std::nullopt;
    return std::move(choice->path);
}

bool ExportTargetExists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

ExportPicture::ExportPicture(const PictureStyle& style, std::size_t longest, int lines, const PictureGdi& gdi)
    : bitsPerPixel_(ScreenDepth()) {
    dc_.reset(gdi.memoryDc());
    if (!dc_) CannotCreate("drawing surface");
    font_.reset(gdi.font(style.font));
    if (!font_) CannotCreate("font");
    ::SelectObject(dc_.get(), font_.get());
    SIZE a{};
    ::GetTextExtentPoint32W(dc_.get(), L"A", 1, &a);
    cell_ = core::CellSize{a.cx, a.cy};
    size_ = core::ExportPictureSize(cell_, longest, lines);
    if (size_.empty()) return;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size_.width;
    info.bmiHeader.biHeight = size_.height;  // bottom-up, as the file stores its rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bitsPerPixel_);
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_.reset(gdi.bitmap(dc_.get(), info, &bits_));
    if (!bitmap_ || !bits_)
        CannotCreate("bitmap of " + std::to_string(size_.width) + " x " + std::to_string(size_.height) + " pixels");
    ::SelectObject(dc_.get(), bitmap_.get());
    // No fill of its own: every row band is painted whole when its line is drawn, background
    // right of the line included, and every band has a line.
    ::SetBkMode(dc_.get(), OPAQUE);
    ::SetTextAlign(dc_.get(), TA_LEFT | TA_TOP | TA_NOUPDATECP);
    // The view's grid without its margin: the text's cell 0 of row 0 is the picture's corner.
    const core::CellGrid grid{cell_.width, cell_.height, 0};
    painter_.emplace(dc_.get(), grid, RowColours{style.text, style.back, style.text, style.back}, core::Pixel{0, 0});
}

void ExportPicture::DrawLine(int row, std::string_view bytes) {
    if (size_.empty() || !painter_) return;
    // One cell per byte, as the picture's width counts them: a tab is a blank, not a jump to a stop.
    line_.assign(bytes);
    std::replace(line_.begin(), line_.end(), '\t', ' ');
    cells_.Build(line_, core::Row{0, 0, line_.size()}, false,
                 core::CellWindow{0, static_cast<long long>(line_.size())}, core::Span{});
    painter_->Paint(cells_, 0, row * cell_.height, size_.width);
}

void ExportPicture::Save(const std::wstring& target) const {
    const auto headers = core::BmpHeaders(size_.width, size_.height, bitsPerPixel_);
    if (!headers) throw std::bad_alloc();  // the limits on lines and columns keep this from happening
    ReplacingFile file(target);
    file.Write(headers->data(), headers->size());
    if (bits_) {
        ::GdiFlush();  // drawing may still sit in the batch
        file.Write(bits_, core::BmpPixelBytes(size_.width, size_.height, bitsPerPixel_));
    }
    file.Commit();
}

bool ExportBitmap(const std::wstring& target, const std::vector<std::string>& lines, const PictureStyle& style,
                  const std::function<bool()>& afterLine) {
    ExportPicture picture(style, core::LongestLine(lines), static_cast<int>(lines.size()));
    for (std::size_t row = 0; row < lines.size(); ++row) {
        picture.DrawLine(static_cast<int>(row), lines[row]);
        if (afterLine && !afterLine()) return false;
    }
    picture.Save(target);
    return true;
}

}  // namespace platform
