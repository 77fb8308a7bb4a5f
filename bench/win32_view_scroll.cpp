// Moving through a large file in a real main window: the load, 1,000 page-downs, a selection
// dragged from the top row past the bottom edge for 1,000 rows of auto-scroll, Ctrl+End and back,
// and word wrap switched on and off. Each step is painted before the next. Then one page painted
// alone, as the view paints it (line and block art as shapes) and as it was painted before the
// shapes (the font's glyphs, one ExtTextOutW per run), turn about, so the two figures share the
// machine's moment. Prints figures only. Argument: the file size in MiB (default 64).
#include "bench/win32_support.hpp"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/row_cells.hpp"
#include "core/view_text.hpp"
#include "platform/view_font.hpp"
#include "platform/view_painter.hpp"

namespace {

using namespace bench;

// A key as the view gets it from the message loop, painted before the next one.
void Key(HWND view, WORD key) {
    ::SendMessageW(view, WM_KEYDOWN, key, 1);
    ::SendMessageW(view, WM_KEYUP, key, 0xC0000001);
    ::UpdateWindow(view);
}

void SetCtrl(bool down) {
    BYTE state[256];
    ::GetKeyboardState(state);
    state[VK_CONTROL] = down ? 0x80 : 0;
    ::SetKeyboardState(state);
}

void Report(const char* what, double seconds, int steps) {
    std::printf("  %-44s %9.1f ms", what, seconds * 1e3);
    if (steps > 1) std::printf("  (%.2f ms each)", seconds * 1e3 / steps);
    std::printf("\n");
}

// A page's rows as they were drawn before shapes: each run's glyphs in the font, on the grid.
void PaintGlyphsOnly(HDC dc, const core::RowLayout& rows, std::size_t top, const core::Frame& frame) {
    core::RowCells cells;
    const core::CellGrid& grid = frame.grid;
    const core::CellWindow window = core::VisibleCells(grid, frame.width, 0);
    std::vector<INT> advances(static_cast<std::size_t>(window.last) + 1, grid.cell);
    core::Row row = rows.At(top);
    for (std::size_t r = 0; r < frame.PageRows() && top + r < rows.Count(); ++r) {
        cells.Build(rows.Index().Text(), row, rows.Index().HasTabs(), window, core::Span{});
        const int y = static_cast<int>(r) * grid.line;
        long long x = grid.margin + cells.FirstCell() * grid.cell;
        for (const core::CellRun& run : cells.Runs()) {
            const long long right = x + static_cast<long long>(run.end - run.begin) * grid.cell;
            const RECT box{static_cast<LONG>(x), y, static_cast<LONG>(right), y + grid.line};
            ::ExtTextOutW(dc, static_cast<int>(x), y, ETO_OPAQUE, &box,
                          reinterpret_cast<const wchar_t*>(cells.Glyphs().data() + run.begin),
                          static_cast<UINT>(run.end - run.begin), advances.data());
            x = right;
        }
        if (top + r + 1 < rows.Count()) row = rows.Next(row);
    }
}

// Both ways of painting a page, the same pages in turn, into a picture of the view's size.
void ComparePagePainting(std::string data, HWND view, HFONT font) {
    core::ViewText text;
    text.Replace(data, core::WrapWidth{});
    RECT client{};
    ::GetClientRect(view, &client);
    const std::optional<core::CellGrid> grid = platform::MeasureCellGrid(view, font);
    if (!grid) return;
    const core::Frame frame{client.right, client.bottom, *grid};
    platform::WindowDC screen(view);
    platform::UniqueMemoryDC dc(::CreateCompatibleDC(screen.get()));
    platform::UniqueGdi bitmap(::CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
    platform::SelectedObject selectBitmap(dc.get(), bitmap.get());
    platform::SelectedObject selectFont(dc.get(), font);
    const platform::RowColours colours = platform::ViewColours(0, 0xFFFFFF);
    constexpr int kPages = 400;
    double shapes = 0, glyphs = 0;
    const std::size_t stride = std::max<std::size_t>(1, text.Rows().Count() / kPages);
    for (int page = 0; page < kPages; ++page) {
        const std::size_t top = static_cast<std::size_t>(page) * stride;
        const platform::ViewPicture picture{text.Rows(), frame, core::Scroll{top, 0}, core::Span{}, colours};
        shapes += Seconds([&] { platform::PaintRows(dc.get(), client, picture); ::GdiFlush(); });
        glyphs += Seconds([&] { PaintGlyphsOnly(dc.get(), text.Rows(), top, frame); ::GdiFlush(); });
    }
    std::printf("  one page painted alone, %d pages across the file (%zu rows of %d x %d cells):\n", kPages,
                frame.PageRows(), grid->cell, grid->line);
    Report("  as the view paints it, art as shapes", shapes, kPages);
    Report("  as before shapes, the font's glyphs", glyphs, kPages);
}

}  // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    const bool hadSettings = SettingsKeyExists();  // a user's own settings are left alone
    const std::size_t mib = argc > 1 ? static_cast<std::size_t>(std::strtoul(argv[1], nullptr, 10)) : 64;
    const std::string path = WriteFile("corvale-bench-scroll.nfo", MakeNfo(mib << 20));
    {
        Window window;
        HWND view = window.frm.Memo().Handle();
        const MemoryInfoFn info = FindMemoryInfo();
        const SIZE_T base = PrivateBytes(MemoryNow(info));
        PrivateBytesSampler sampler(info);
        const double load = Seconds([&] { window.frm.LoadTextFile(path); });
        const SIZE_T peak = sampler.Stop();
        Pump();
        std::printf("%zu MiB, %d lines:\n", mib, window.frm.Memo().LineCount());
        Report("load (LoadTextFile to the view filled)", load, 1);
        std::printf("  peak private bytes during the load: %.1f MiB = %.2f x the file\n", MiB(peak - base),
                    MiB(peak - base) / static_cast<double>(mib));
        Report("first paint", Seconds([&] { ::InvalidateRect(view, nullptr, FALSE); ::UpdateWindow(view); }), 1);

        constexpr int kPages = 1000;
        Report("1,000 page-downs, each painted", Seconds([&] { for (int i = 0; i < kPages; ++i) Key(view, VK_NEXT); }),
               kPages);

        RECT client;
        ::GetClientRect(view, &client);
        constexpr int kDragSteps = 1000;
        window.frm.Memo().SetSelection(0, 0);
        window.frm.Memo().ScrollCaret();
        const double drag = Seconds([&] {
            ::SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 2));
            for (int y = 2; y < client.bottom; y += 4) {  // down the whole height of the view
                ::SendMessageW(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(40, y));
                ::UpdateWindow(view);
            }
            for (int i = 0; i < kDragSteps; ++i) {  // then below it: a row of auto-scroll per step
                ::SendMessageW(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(40, client.bottom + 20));
                ::UpdateWindow(view);
            }
            ::SendMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(40, client.bottom + 20));
        });
        Report("full-height drag, then 1,000 rows of auto-scroll", drag, kDragSteps + client.bottom / 4);
        std::printf("  selected: %zu bytes\n", window.frm.Memo().GetSelection().length());

        SetCtrl(true);
        Report("Ctrl+End", Seconds([&] { Key(view, VK_END); }), 1);
        Report("Ctrl+Home", Seconds([&] { Key(view, VK_HOME); }), 1);
        SetCtrl(false);
        Report("word wrap on (a narrower view: every line wraps)", Seconds([&] {
                   window.frm.Memo().Move(0, 43, 300, 446);
                   window.frm.Memo().SetWrap(true);
                   ::UpdateWindow(view);
               }), 1);
        std::printf("  wrapped rows: %d\n", window.frm.Memo().LineCount());
        Report("1,000 page-downs with wrap on", Seconds([&] { for (int i = 0; i < kPages; ++i) Key(view, VK_NEXT); }),
               kPages);
        Report("word wrap off", Seconds([&] { window.frm.Memo().SetWrap(false); ::UpdateWindow(view); }), 1);
        ComparePagePainting(window.frm.Memo().Text(), view, window.frm.Memo().Font());
    }
    Pump();
    ::DeleteFileA(path.c_str());
    ::DeleteFileA(platform::TempFilePath().c_str());
    if (!hadSettings) ::RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    return 0;
}
