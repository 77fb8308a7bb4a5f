// Save as Picture of a 2,000-line synthetic NFO as PNG at 1x in a real main window: the whole
// command from its handler to the file in place, and the peak private memory over what the loaded
// file holds. Also 3x and SVG for scale. Prints figures only; it passes or fails nothing.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/synthetic_nfo.hpp"
#include "bench/win32_support.hpp"
#include "forms/frm_main.hpp"
#include "platform/files.hpp"
#include "platform/export_bitmap.hpp"
#include "platform/picture_dialog.hpp"
#include "platform/picture_file.hpp"
#include "platform/unicode.hpp"

namespace {

constexpr int kRounds = 5;
constexpr std::size_t kLines = 2000;

// 2,000 lines of 80 characters: the art, box and prose rows of the other benchmarks.
std::string TwoThousandLines() {
    std::string text;
    for (std::size_t row = 0; row < kLines; ++row) {
        std::string line;
        while (line.size() < 80) line += bench::ArtLine(row) + bench::BoxLine(row) + bench::TextLine(row);
        line.resize(80);
        text += line + "\r\n";
    }
    return text;
}

// The dialog as the user leaves it: the target typed and the options chosen.
class PicturePrompts final : public platform::Prompts {
public:
    std::wstring target;
    platform::PictureOptions options;
    int Message(HWND, const std::string& text, UINT flags) override {
        std::printf("  unexpected message: %s\n", text.c_str());
        return (flags & MB_YESNO) ? IDYES : IDOK;
    }
    bool OpenFileName(OPENFILENAMEW&) override { return false; }
    bool SaveFileName(OPENFILENAMEW& request) override {
        if (target.size() >= request.nMaxFile) return false;
        target.copy(request.lpstrFile, target.size());
        request.lpstrFile[target.size()] = L'\0';
        if (auto* picture = reinterpret_cast<platform::PictureRequest*>(request.lCustData)) picture->options = options;
        return true;
    }
};

void Measure(forms::TFrmMain& frm, PicturePrompts& prompts, const char* label, const std::wstring& target,
             platform::PictureOptions options) {
    prompts.target = target;
    prompts.options = options;
    const auto memory = bench::FindMemoryInfo();
    std::vector<double> times;
    SIZE_T peakGrowth = 0;
    for (int round = 0; round < kRounds; ++round) {
        ::DeleteFileW(target.c_str());  // no overwrite question inside the timing
        bench::Pump();
        const SIZE_T before = bench::PrivateBytes(bench::MemoryNow(memory));
        bench::PrivateBytesSampler sampler(memory);
        times.push_back(bench::Seconds([&] { frm.RunCommand(forms::kCmdSaveAsPicture, forms::CommandSource::Click); }) * 1e3);
        peakGrowth = std::max(peakGrowth, sampler.Stop() - std::min(before, sampler.Stop()));
    }
    std::sort(times.begin(), times.end());
    const auto size = platform::GetFileSize64(platform::Narrow(target));
    std::printf("%-26s best %7.1f ms, median %7.1f ms; peak private growth %6.1f MiB; file %.2f MiB\n", label,
                times.front(), times[times.size() / 2], bench::MiB(peakGrowth),
                size ? static_cast<double>(*size) / (1 << 20) : -1.0);
}

// The drawing alone, strip by strip as the save does it, without the encoder.
void MeasureDrawing(forms::TFrmMain& frm) {
    std::vector<std::string> lines;
    for (int i = 0; i < static_cast<int>(kLines); ++i) lines.emplace_back(frm.Memo().Line(i));
    const platform::PictureStyle style = platform::PictureStyleOf(frm.Memo());
    const core::CellSize cell = platform::MeasurePicture(style).cell;
    const int width = static_cast<int>(core::LongestLine(lines)) * cell.width;
    const int strip = core::StripLines(width, cell.height, 4LL << 20, static_cast<int>(lines.size()));
    double best = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        best = std::min(best, bench::Seconds([&] {
            platform::PictureStrip drawn(style, cell, width, strip);
            for (int first = 0; first < static_cast<int>(lines.size()); first += strip)
                drawn.Draw(lines, first, std::min(strip, static_cast<int>(lines.size()) - first));
        }) * 1e3);
    }
    std::printf("%-26s best %7.1f ms (%d lines a strip)\n", "  of which drawing 1x", best, strip);
}

}  // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    const bool hadSettings = bench::SettingsKeyExists();
    const std::string source = bench::WriteFile("corvale-bench-picture.nfo", TwoThousandLines());
    const std::string folder = platform::GetTempDir();
    {
        PicturePrompts prompts;
        platform::Win32Registry registry;
        platform::ProfileIniFile ini{folder + "corvale-bench-absent.ini"};
        forms::TFrmMain frm{forms::FrmMainServices{prompts, registry, ini, "corvalex.exe", false}};
        frm.Create();
        ::ShowWindow(frm.Handle(), SW_SHOWNORMAL);
        bench::Pump();
        frm.ShowFile(source);
        bench::Pump();
        std::printf("Save as Picture of %zu lines x 80 characters (%s %d px; %d rounds)\n", kLines,
                    frm.Memo().FontName().c_str(), -frm.Memo().FontHeight(), kRounds);
        Measure(frm, prompts, "PNG 1x (target: 1 s, 64 MiB)", platform::Widen(folder + "corvale-bench.png"), {1, false});
        MeasureDrawing(frm);
        Measure(frm, prompts, "PNG 1x transparent", platform::Widen(folder + "corvale-bench-t.png"), {1, true});
        Measure(frm, prompts, "PNG 3x", platform::Widen(folder + "corvale-bench-3.png"), {3, false});
        Measure(frm, prompts, "SVG", platform::Widen(folder + "corvale-bench.svg"), {1, false});
        for (const char* name : {"corvale-bench.png", "corvale-bench-t.png", "corvale-bench-3.png", "corvale-bench.svg"})
            ::DeleteFileA((folder + name).c_str());
    }
    bench::Pump();
    ::DeleteFileA(source.c_str());
    if (!hadSettings) ::RegDeleteKeyA(HKEY_CURRENT_USER, bench::kSettingsKey);
    return 0;
}
