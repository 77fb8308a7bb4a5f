// The loader end to end in a real main window: from LoadTextFile called to the view filled, the
// edit control's own share of that, and the private memory a 16 MiB load needs at its peak.
// Synthetic NFO-like files: block-art logo lines, box lines and prose with CR LF breaks. Prints
// figures only; it passes or fails nothing.
#include "bench/synthetic_nfo.hpp"
#include "bench/win32_bench.hpp"
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/cp437.hpp"
#include "forms/frm_main.hpp"
#include "platform/files.hpp"
#include "platform/ini_file.hpp"
#include "platform/prompts.hpp"
#include "platform/registry.hpp"

namespace {

// Every prompt is answered at once; a message during a load means the figures are not valid.
class BenchPrompts final : public platform::Prompts {
public:
    int Message(HWND, const std::string& text, UINT flags) override {
        std::printf("  unexpected message: %s\n", text.c_str());
        return (flags & MB_YESNO) ? IDYES : IDOK;
    }
    bool OpenFileName(OPENFILENAMEW&) override { return false; }
    bool SaveFileName(OPENFILENAMEW&) override { return false; }
};

using bench::MakeNfo;

std::string WriteFile(const std::string& name, const std::string& bytes) {
    const std::string path = platform::GetTempDir() + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

// K32GetProcessMemoryInfo lives in kernel32 from Windows 7 on and in every Wine; looked up at run
// time so the bench needs no psapi import.
using MemoryInfoFn = BOOL(WINAPI*)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);

MemoryInfoFn FindMemoryInfo() {
    return reinterpret_cast<MemoryInfoFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo")));
}

PROCESS_MEMORY_COUNTERS_EX MemoryNow(MemoryInfoFn info) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (info) info(::GetCurrentProcess(), reinterpret_cast<PPROCESS_MEMORY_COUNTERS>(&counters), sizeof counters);
    return counters;
}

// The private bytes of the process: PrivateUsage where the system reports it, else the page
// file usage (Wine 8 leaves PrivateUsage at 0 and reports the committed private memory there).
SIZE_T PrivateBytes(const PROCESS_MEMORY_COUNTERS_EX& counters) {
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

// Polls the private bytes while a piece of work runs on this thread, keeping the highest figure.
class PrivateBytesSampler {
public:
    explicit PrivateBytesSampler(MemoryInfoFn info) : info_(info), peak_(PrivateBytes(MemoryNow(info))) {
        thread_ = std::thread([this] {
            while (!stop_) {
                const SIZE_T now = PrivateBytes(MemoryNow(info_));
                SIZE_T seen = peak_;
                while (now > seen && !peak_.compare_exchange_weak(seen, now)) {
                }
                ::Sleep(1);
            }
        });
    }
    PrivateBytesSampler(const PrivateBytesSampler&) = delete;
    PrivateBytesSampler& operator=(const PrivateBytesSampler&) = delete;
    ~PrivateBytesSampler() { Stop(); }
    SIZE_T Stop() {
        if (thread_.joinable()) {
            stop_ = true;
            thread_.join();
        }
        return peak_;
    }

private:
    MemoryInfoFn info_;
    std::atomic<SIZE_T> peak_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

double MiB(SIZE_T bytes) { return static_cast<double>(bytes) / (1 << 20); }

struct Window {
    BenchPrompts prompts;
    platform::Win32Registry registry;
    platform::ProfileIniFile ini{platform::GetTempDir() + "corvale-bench-absent.ini"};
    forms::TFrmMain frm{forms::FrmMainServices{prompts, registry, ini, "corvalex.exe", false}};

    Window() {
        frm.Create();
        ::ShowWindow(frm.Handle(), SW_SHOWNORMAL);
        bench::Pump();
    }
};

// A fresh edit control of the view's kind, to time the control alone taking the glyph text.
double FreshControlSetText(HWND parent, const std::u16string& glyphs) {
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"",
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                                      ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                                  0, 0, 600, 400, parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(edit, EM_LIMITTEXT, 0, 0);
    const double took = bench::Seconds([&] {
        ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(reinterpret_cast<const wchar_t*>(glyphs.c_str())));
    });
    ::DestroyWindow(edit);
    return took;
}

struct Figures {
    double load = 1e30;        // LoadTextFile, best of the rounds
    double loadWorst = 0;
    double setText = 1e30;     // TextView::SetText of the same bytes (glyph map + control)
    double control = 1e30;     // WM_SETTEXT of the glyphs to a fresh edit control
};

Figures Measure(Window& window, const std::string& path, int rounds) {
    Figures figures;
    for (int round = 0; round < rounds; ++round) {
        window.frm.ShowFile(platform::GetTempDir() + "corvale-bench-small.nfo");  // start from another file
        bench::Pump();
        const double load = bench::Seconds([&] { window.frm.LoadTextFile(path); });
        figures.load = std::min(figures.load, load);
        figures.loadWorst = std::max(figures.loadWorst, load);
        bench::Pump();
        const std::string text = window.frm.Memo().Text();
        figures.setText = std::min(figures.setText, bench::Seconds([&] { window.frm.Memo().SetText(text); }));
        bench::Pump();
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
    const bool hadSettings = bench::SettingsKeyExists();  // a user's own settings are left alone

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
        std::printf("(load: LoadTextFile called to the view filled; view SetText: glyph map + WM_SETTEXT of the\n"
                    " same text; fresh control: WM_SETTEXT of the glyphs alone to a new edit control)\n");
    }
    bench::Pump();
    for (const std::string& path : paths) ::DeleteFileA(path.c_str());
    ::DeleteFileA((platform::GetTempDir() + "corvale-bench-small.nfo").c_str());
    ::DeleteFileA(platform::TempFilePath().c_str());
    if (!hadSettings) ::RegDeleteKeyA(HKEY_CURRENT_USER, bench::kSettingsKey);
    return 0;
}
