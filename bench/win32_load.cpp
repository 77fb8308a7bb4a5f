// The loader end to end in a real main window: from LoadTextFile called to the view filled, the
// view's own share of that, an edit control taking the same text for comparison, and the private memory a 16 MiB load needs at its peak.
// Synthetic NFO-like files: block-art logo lines, box lines and prose with CR LF breaks. Prints
// figures only; it passes or fails nothing.
#include "bench/win32_support.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "core/cp437.hpp"

namespace {

using namespace bench;

// A fresh edit control of the view's kind, to time the control alone taking the glyph text.
double FreshControlSetText(HWND parent, const std::u16string& glyphs) {
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"",
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                                      ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                                  0, 0, 600, 400, parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(edit, EM_LIMITTEXT, 0, 0);
    const double took = Seconds([&] {
        ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(reinterpret_cast<const wchar_t*>(glyphs.c_str())));
    });
    ::DestroyWindow(edit);
    return took;
}

struct Figures {
    double load = 1e30;        // LoadTextFile, best of the rounds
    double loadWorst = 0;
    double setText = 1e30;     // TextView::SetText of the same bytes (the line index)
    double control = 1e30;     // WM_SETTEXT of the glyphs to a fresh edit control
};

Figures Measure(Window& window, const std::string& path, int rounds) {
    Figures figures;
    for (int round = 0; round < rounds; ++round) {
        window.frm.ShowFile(platform::GetTempDir() + "corvale-bench-small.nfo");  // start from another file
        Pump();
        const double load = Seconds([&] { window.frm.LoadTextFile(path); });
        figures.load = std::min(figures.load, load);
        figures.loadWorst = std::max(figures.loadWorst, load);
        Pump();
        const std::string text = window.frm.Memo().Text();
        figures.setText = std::min(figures.setText, Seconds([&] { window.frm.Memo().SetText(text); }));
        Pump();
        figures.control = std::min(figures.control, FreshControlSetText(window.frm.Handle(), core::ToGlyphs(text)));
    }
    return figures;
}

void MeasurePeakMemory(Window& window, const std::string& path, std::size_t size) {
    const MemoryInfoFn info = FindMemoryInfo();
    if (!info) {
        std::printf("memory: K32GetProcessMemoryInfo not available\n");
        return;
    }
    const PROCESS_MEMORY_COUNTERS_EX before = MemoryNow(info);
    PrivateBytesSampler sampler(info);
    window.frm.LoadTextFile(path);
    const SIZE_T sampledPeak = sampler.Stop();
    const PROCESS_MEMORY_COUNTERS_EX after = MemoryNow(info);
    const SIZE_T base = PrivateBytes(before);
    auto times = [size](SIZE_T bytes) { return static_cast<double>(bytes) / static_cast<double>(size); };
    std::printf("memory, loading %.0f MiB (the first large load of the process):\n", MiB(size));
    std::printf("  private bytes (%s): before %.1f MiB, after %.1f MiB, sampled peak %.1f MiB\n",
                before.PrivateUsage ? "PrivateUsage" : "PagefileUsage", MiB(base), MiB(PrivateBytes(after)),
                MiB(sampledPeak));
    std::printf("  peak growth during the load: %.1f MiB = %.2f x the file size\n", MiB(sampledPeak - base),
                times(sampledPeak - base));
    std::printf("  PeakPagefileUsage: before %.1f MiB, after %.1f MiB, growth %.2f x the file size\n",
                MiB(before.PeakPagefileUsage), MiB(after.PeakPagefileUsage),
                times(after.PeakPagefileUsage - before.PeakPagefileUsage));
    std::printf("  still held after the load: %.2f x the file size\n", times(PrivateBytes(after) - base));
}

}  // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    const bool hadSettings = SettingsKeyExists();  // a user's own settings are left alone

    struct Size {
        const char* label;
        std::size_t bytes;
        int rounds;
    } sizes[] = {{"64 KiB", 64u << 10, 9}, {"1 MiB", 1u << 20, 5}, {"4 MiB", 4u << 20, 3}, {"16 MiB", 16u << 20, 2}};
    std::vector<std::string> paths;
    for (const Size& size : sizes)
        paths.push_back(WriteFile("corvale-bench-" + std::to_string(size.bytes) + ".nfo", MakeNfo(size.bytes)));
    WriteFile("corvale-bench-small.nfo", "small\r\n");
    {
        Window window;
        MeasurePeakMemory(window, paths.back(), sizes[3].bytes);  // first, so earlier loads do not hide its peak
        std::printf("\n%-7s %-8s %10s %10s %12s %14s\n", "size", "road", "load best", "load worst", "view SetText",
                    "fresh control");
        for (std::size_t i = 0; i < paths.size(); ++i) {
            const Size& size = sizes[i];
            const Figures f = Measure(window, paths[i], size.rounds);
            std::printf("%-7s %-8s %8.1f ms %8.1f ms %10.1f ms %12.1f ms\n", size.label,
                        size.bytes <= 4194304 ? "cleaned" : "direct", f.load * 1e3, f.loadWorst * 1e3,
                        f.setText * 1e3, f.control * 1e3);
        }
        std::printf("(load: LoadTextFile called to the view filled; view SetText: the view taking the same\n"
                    " bytes and indexing its lines; fresh control: WM_SETTEXT of the glyphs to a new edit control)\n");
    }
    Pump();
    for (const std::string& path : paths) ::DeleteFileA(path.c_str());
    ::DeleteFileA((platform::GetTempDir() + "corvale-bench-small.nfo").c_str());
    ::DeleteFileA(platform::TempFilePath().c_str());
    if (!hadSettings) ::RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    return 0;
}
