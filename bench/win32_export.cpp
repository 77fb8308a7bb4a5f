// A full-size export (300 lines of 200 characters) in a real main window: the whole command from
// Ctrl+E's handler to the file in place, and its three parts timed alone: reading the line list out
// of the view, drawing the picture (with the message pump after each line), writing the file.
// Prints figures only; it passes or fails nothing.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/synthetic_nfo.hpp"
#include "bench/win32_support.hpp"
#include "forms/frm_main.hpp"
#include "platform/export_bitmap.hpp"
#include "platform/files.hpp"
#include "platform/ini_file.hpp"
#include "platform/prompts.hpp"
#include "platform/registry.hpp"
#include "platform/unicode.hpp"

namespace {

double Millis(const std::function<void()>& work) { return bench::Seconds(work) * 1e3; }

constexpr int kRounds = 7;

// 300 lines of 200 characters: the art, box and prose rows of the other benchmarks, side by side.
std::string FullSizeNfo() {
    std::string text;
    for (std::size_t row = 0; row < 300; ++row) {
        std::string line;
        while (line.size() < 200) line += bench::ArtLine(row) + bench::BoxLine(row) + bench::TextLine(row);
        line.resize(200);
        text += line + "\r\n";
    }
    return text;
}

struct Series {
    std::vector<double> samples;
    void Add(double ms) { samples.push_back(ms); }
    double Best() const { return *std::min_element(samples.begin(), samples.end()); }
    double Median() const {
        std::vector<double> sorted = samples;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
};

// Times kRounds exports of what the window shows, in its current font, and prints the figures.
void MeasureExports(forms::TFrmMain& frm, const std::wstring& target) {
    Series whole, reading, drawing, writing;
    core::PictureSize size;
    core::CellSize cell;
    for (int round = 0; round < kRounds; ++round) {
        ::DeleteFileW(target.c_str());  // no overwrite question inside the timing
        whole.Add(Millis([&] { frm.BtnExportClick(); }));
        bench::Pump();
        std::vector<std::string> lines;
        reading.Add(Millis([&] { lines = platform::ReadExportLines(frm.Memo(), platform::ExportLineCount(frm.Memo())); }));
        const platform::PictureStyle style = platform::PictureStyleOf(frm.Memo());
        platform::ExportPicture picture(style, core::LongestLine(lines), static_cast<int>(lines.size()));
        drawing.Add(Millis([&] {
            platform::ExportPicture drawn(style, core::LongestLine(lines), static_cast<int>(lines.size()));
            for (std::size_t row = 0; row < lines.size(); ++row) {
                drawn.DrawLine(static_cast<int>(row), lines[row]);
                frm.ProcessPendingMessages();
            }
            ::GdiFlush();
        }));
        for (std::size_t row = 0; row < lines.size(); ++row) picture.DrawLine(static_cast<int>(row), lines[row]);
        writing.Add(Millis([&] { picture.Save(target); }));
        size = picture.Size();
        cell = picture.Cell();
    }
    const auto fileSize = platform::GetFileSize64(platform::Narrow(target));
    std::printf("\n%s %d px: picture %d x %d pixels (cell %d x %d), file %.1f MiB\n",
                frm.Memo().FontName().c_str(), -frm.Memo().FontHeight(), size.width, size.height, cell.width, cell.height,
                fileSize ? static_cast<double>(*fileSize) / (1 << 20) : -1.0);
    std::printf("%-34s %9s %9s\n", "", "best", "median");
    auto row = [](const char* label, const Series& s) { std::printf("%-34s %6.1f ms %6.1f ms\n", label, s.Best(), s.Median()); };
    row("whole command (BtnExportClick)", whole);
    row("  reading the line list", reading);
    row("  drawing (with the pump per line)", drawing);
    row("  writing the file", writing);
}

}  // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    const bool hadSettings = bench::SettingsKeyExists();  // a user's own settings are left alone
    const std::string source = bench::WriteFile("corvale-bench-export.nfo", FullSizeNfo());
    const std::wstring target = platform::Widen(platform::GetTempDir() + "corvale-bench-export.bmp");
    {
        bench::Window window;
        window.prompts.saveTarget = target;
        forms::TFrmMain& frm = window.frm;
        frm.ShowFile(source);
        bench::Pump();

        std::printf("export of 300 lines x 200 characters\n");
        MeasureExports(frm, target);
        frm.Memo().SetFont("Courier New", -16);  // the largest size the settings offer (12 points)
        MeasureExports(frm, target);
        std::printf("(%d rounds; the parts are timed on their own, so they need not add up to the whole)\n", kRounds);
    }
    bench::Pump();
    ::DeleteFileA(source.c_str());
    ::DeleteFileW(target.c_str());
    ::DeleteFileA(platform::TempFilePath().c_str());
    if (!hadSettings) ::RegDeleteKeyA(HKEY_CURRENT_USER, bench::kSettingsKey);
    return 0;
}
