// From process start to the file's text on screen, measured from outside as a user sees it: the
// program is started with a file, and the screen under its view is read until the first row shows
// dark pixels (text) or, for an empty start, until the view is painted white. Needs a real display
// (a Wine desktop under Xvfb); the null driver draws nothing to read back. Prints the median of the
// runs for each size. Arguments: [path of corvalex.exe] [runs]; results also go to the file named
// by the environment variable CORVALE_BENCH_OUT when set.
#include "bench/win32_support.hpp"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace bench;

struct Found {
    DWORD pid;
    HWND wnd;
};

BOOL CALLBACK MatchProcess(HWND wnd, LPARAM lp) {
    auto* found = reinterpret_cast<Found*>(lp);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(wnd, &owner);
    if (owner != found->pid || !::IsWindowVisible(wnd) || ::GetWindow(wnd, GW_OWNER)) return TRUE;
    found->wnd = wnd;
    return FALSE;
}

HWND MainWindowOf(DWORD pid) {
    Found found{pid, nullptr};
    ::EnumWindows(&MatchProcess, reinterpret_cast<LPARAM>(&found));
    return found.wnd;
}

HWND ViewOf(HWND main) {
    if (HWND view = ::FindWindowExW(main, nullptr, L"CorvaleTextView", nullptr)) return view;
    return ::FindWindowExW(main, nullptr, L"EDIT", nullptr);
}

// Reads a band of the screen: the view's first rows.
bool ViewShows(HWND view, bool wantText) {
    RECT area;
    if (!::GetWindowRect(view, &area) || area.right - area.left < 40 || area.bottom - area.top < 40) return false;
    const int width = std::min<int>(area.right - area.left - 20, 400);
    const int height = 30;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(memory, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, area.left + 2, area.top + 2, SRCCOPY);
    ::GdiFlush();
    bool shown = false;
    const auto* pixels = static_cast<const DWORD*>(bits);
    if (wantText) {
        for (int i = 0; i < width * height && !shown; ++i) shown = (pixels[i] & 0xFFFFFF) == 0;
    } else {
        shown = (pixels[width * height / 2 + width / 2] & 0xFFFFFF) == 0xFFFFFF;
    }
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return shown;
}

// One start: seconds until the view shows what is wanted, or a negative figure after the timeout.
double StartToScreen(const std::string& exe, const std::string& file, double timeout) {
    std::string commandLine = "\"" + exe + "\"" + (file.empty() ? "" : " \"" + file + "\"");
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const auto start = std::chrono::steady_clock::now();
    if (!::CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return -1;
    auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    double took = -1;
    HWND main = nullptr;
    while (elapsed() < timeout) {
        if (!main) main = MainWindowOf(process.dwProcessId);
        HWND view = main ? ViewOf(main) : nullptr;
        if (view && ViewShows(view, !file.empty())) {
            took = elapsed();
            break;
        }
        ::Sleep(2);
    }
    if (main) ::PostMessageA(main, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) ::TerminateProcess(process.hProcess, 1);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return took;
}

std::string ExeBesideThis() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of('\\') + 1) + "corvalex.exe";
}

}  // namespace

int main(int argc, char** argv) {
    const std::string exe = argc > 1 ? argv[1] : ExeBesideThis();
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    const char* outPath = std::getenv("CORVALE_BENCH_OUT");
    FILE* out = outPath ? std::fopen(outPath, "w") : stdout;
    struct Size {
        const char* label;
        std::size_t bytes;
        double timeout;
    } sizes[] = {{"empty", 0, 30}, {"64 KiB", 64u << 10, 30}, {"1 MiB", 1u << 20, 60}, {"64 MiB", 64u << 20, 90}};
    std::fprintf(out, "%s, median of %d starts, process start to text on screen:\n", exe.c_str(), runs);
    StartToScreen(exe, "", 30);  // a first start warms the prefix and writes the first-run settings
    for (const Size& size : sizes) {
        const std::string file = size.bytes ? WriteFile("corvale-start-" + std::to_string(size.bytes) + ".nfo", MakeNfo(size.bytes)) : "";
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            const double took = StartToScreen(exe, file, size.timeout);
            times.push_back(took < 0 ? size.timeout : took);
            if (took < 0) break;  // no text within the timeout: once is enough
        }
        std::sort(times.begin(), times.end());
        std::fprintf(out, "  %-7s %8.3f s%s\n", size.label, times[times.size() / 2],
                     times.back() >= size.timeout ? "  (timed out)" : "");
        std::fflush(out);
        if (!file.empty()) ::DeleteFileA(file.c_str());
    }
    if (out != stdout) std::fclose(out);
    return 0;
}
