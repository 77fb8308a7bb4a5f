#include "platform/shape_painter.hpp"

#include <algorithm>

namespace platform {
namespace {

int Modulo(long long value, int by) {
    const long long m = value % by;
    return static_cast<int>(m < 0 ? m + by : m);
}

// A tile of the shade's dots in the two colours, as a packed bottom-up 32-bit DIB.
UniqueGdi MakeShadeBrush(core::Fill fill, int dot, COLORREF text, COLORREF back) {
    const int width = core::kShadeTileDots[0] * dot;
    const int height = core::kShadeTileDots[1] * dot;
    std::vector<DWORD> packed(sizeof(BITMAPINFOHEADER) / sizeof(DWORD) + static_cast<std::size_t>(width * height));
    auto& header = *reinterpret_cast<BITMAPINFOHEADER*>(packed.data());
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    const auto pixel = [](COLORREF c) { return static_cast<DWORD>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c); };
    DWORD* bits = packed.data() + sizeof header / sizeof(DWORD);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bits[(height - 1 - y) * width + x] = pixel(core::ShadeInked(fill, x, y, dot) ? text : back);
    return UniqueGdi(::CreateDIBPatternBrushPt(packed.data(), DIB_RGB_COLORS));
}

}  // namespace

CellRunPainter::CellRunPainter(HDC dc, core::CellBox cell, core::Pixel anchor)
    : dc_(dc), cell_(cell), dot_(core::StrokeWidth(cell)) {
    // Set before any pattern brush is selected: a selected brush keeps the origin it was chosen with.
    ::SetBrushOrgEx(dc_, Modulo(anchor.x, core::kShadeTileDots[0] * dot_), Modulo(anchor.y, core::kShadeTileDots[1] * dot_),
                    &oldOrigin_);
    oldBrush_ = ::SelectObject(dc_, ::GetStockObject(DC_BRUSH));
}

CellRunPainter::~CellRunPainter() {
    if (oldBrush_) ::SelectObject(dc_, oldBrush_);
    ::SetBrushOrgEx(dc_, oldOrigin_.x, oldOrigin_.y, nullptr);
}

void CellRunPainter::Draw(int x, int y, std::u16string_view glyphs, COLORREF text, COLORREF back, const RECT& box) {
    if (advances_.size() < glyphs.size()) advances_.resize(glyphs.size(), cell_.width);
    const bool shapes = CollectShapes(x, y, glyphs);
    const std::u16string_view drawn = shapes ? std::u16string_view(fontGlyphs_) : glyphs;
    ::SetTextColor(dc_, text);
    ::SetBkColor(dc_, back);
    // A run of nothing but shapes needs only its background from the font's call.
    const bool blank = shapes && drawn.find_first_not_of(u' ') == std::u16string_view::npos;
    ::ExtTextOutW(dc_, x, y, ETO_OPAQUE, &box, blank ? nullptr : reinterpret_cast<const wchar_t*>(drawn.data()),
                  blank ? 0 : static_cast<UINT>(drawn.size()), blank ? nullptr : advances_.data());
    if (shapes) FillShapes(box, text, back);
}

bool CellRunPainter::CollectShapes(int x, int y, std::u16string_view glyphs) {
    bool any = false;
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        if (!core::MayBeShape(glyphs[i])) continue;
        const std::optional<core::ShapeSpec> shape = core::ShapeOf(glyphs[i]);
        if (!shape) continue;
        if (!any) {
            fontGlyphs_.assign(glyphs);
            strip_.Clear();
            any = true;
        }
        fontGlyphs_[i] = u' ';
        strip_.Add(*shape, cell_, x + static_cast<int>(i) * cell_.width, y);
    }
    return any;
}

// One fill at a time, so each brush is selected once per run: the cells of different fills never
// overlap, so the order is free.
void CellRunPainter::FillShapes(const RECT& box, COLORREF text, COLORREF back) {
    ::SetDCBrushColor(dc_, text);
    for (const core::Fill fill : {core::Fill::Solid, core::Fill::Light, core::Fill::Medium, core::Fill::Dark}) {
        HGDIOBJ brush = nullptr;
        for (const core::ShapeRect& shape : strip_.Rects()) {
            if (shape.fill != fill) continue;
            const int left = std::max<int>(shape.left, box.left);
            const int right = std::min<int>(shape.right, box.right);
            const int top = std::max<int>(shape.top, box.top);
            const int bottom = std::min<int>(shape.bottom, box.bottom);
            if (left >= right || top >= bottom) continue;
            if (!brush) {
                brush = fill == core::Fill::Solid ? ::GetStockObject(DC_BRUSH) : ShadeBrushFor(fill, text, back);
                if (!brush) break;  // no brush to be had: these cells keep their background
                ::SelectObject(dc_, brush);
            }
            ::PatBlt(dc_, left, top, right - left, bottom - top, PATCOPY);
        }
    }
    ::SelectObject(dc_, ::GetStockObject(DC_BRUSH));
}

// Made once per colour pair and pattern for the painter's life: a paint has at most two pairs.
HBRUSH CellRunPainter::ShadeBrushFor(core::Fill fill, COLORREF text, COLORREF back) {
    for (const ShadeBrush& made : shades_)
        if (made.fill == fill && made.text == text && made.back == back) return static_cast<HBRUSH>(made.brush.get());
    UniqueGdi brush = MakeShadeBrush(fill, dot_, text, back);
    if (!brush) return nullptr;
    shades_.push_back(ShadeBrush{fill, text, back, std::move(brush)});
    return static_cast<HBRUSH>(shades_.back().brush.get());
}

}  // namespace platform
