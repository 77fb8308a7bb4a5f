// A big file in a real main window, as its user feels it: how long the message loop goes without
// answering while the file loads (a probe thread posts WM_NULL every 10 ms to a window of the GUI
// thread, which notes how long each one waited), how long the load takes, and how long word wrap
// takes to come on over it, then to give an exact line count. Argument: the size in MiB (default
// 512). Prints figures only.
#include "bench/win32_support.hpp"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>

namespace {

using namespace bench;
using Clock = std::chrono::steady_clock;

constexpr UINT kProbeEvery = 10;  // ms
constexpr std::size_t kMaxProbes = 1 << 16;

// A window of the GUI thread that answers the probe's messages and keeps the longest wait.
class Probe {
public:
    Probe() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Probe::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"CorvaleBenchProbe";
        ::RegisterClassW(&wc);
        wnd_ = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        ::SetWindowLongPtrW(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;
    ~Probe() {
        Stop();
        ::DestroyWindow(wnd_);
    }

    void Start() {
        longest_ = 0;
        answered_ = 0;
        sent_ = 0;
        stop_ = false;
        thread_ = std::thread([this] {
            while (!stop_ && sent_ < kMaxProbes) {
                postedAt_[sent_] = Clock::now().time_since_epoch().count();
                ::PostMessageW(wnd_, WM_NULL, sent_, 0);
                ++sent_;
                ::Sleep(kProbeEvery);
            }
        });
    }
    // Stops posting and lets the last messages be answered.
    void Stop() {
        if (!thread_.joinable()) return;
        stop_ = true;
        thread_.join();
        Pump();
    }
    double LongestWaitMs() const { return static_cast<double>(longest_) / 1e6; }
    std::size_t Answered() const { return answered_; }

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<Probe*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
        if (msg == WM_NULL && self && wp < kMaxProbes) {
            const long long waited = Clock::now().time_since_epoch().count() - self->postedAt_[wp];
            self->longest_ = std::max(self->longest_, waited);
            ++self->answered_;
            return 0;
        }
        return ::DefWindowProcW(wnd, msg, wp, lp);
    }

    HWND wnd_ = nullptr;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<std::size_t> sent_{0};
    std::array<std::atomic<long long>, kMaxProbes> postedAt_{};
    long long longest_ = 0;  // nanoseconds; written and read on the GUI thread only
    std::size_t answered_ = 0;
};

void Report(const char* what, double seconds) { std::printf("  %-58s %9.1f ms\n", what, seconds * 1e3); }

}  // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    const bool hadSettings = SettingsKeyExists();  // a user's own settings are left alone
    const std::size_t mib = argc > 1 ? static_cast<std::size_t>(std::strtoul(argv[1], nullptr, 10)) : 512;
    const std::string path = WriteFile("corvale-bench-big.nfo", MakeNfo(mib << 20));
    const std::string small = WriteFile("corvale-bench-small.nfo", "small\r\n");
    {
        Window window;
        Probe probe;
        std::printf("%zu MiB:\n", mib);
        for (int round = 0; round < 2; ++round) {
            window.frm.ShowFile(small);  // the big text goes, so every round loads beside a small one
            Pump();
            probe.Start();
            const double load = Seconds([&] { window.frm.ShowFile(path); });
            probe.Stop();
            Report("load (ShowFile called to the view filled)", load);
            std::printf("  %-58s %9.1f ms  (%zu probes answered)\n",
                        "longest wait of the message loop during the load", probe.LongestWaitMs(), probe.Answered());
        }
        std::printf("  lines: %d\n", window.frm.Memo().LineCount());

        HWND view = window.frm.Memo().Handle();
        window.frm.Memo().Move(0, 43, 300, 446);  // narrow: every line wraps
        ::UpdateWindow(view);
        Report("word wrap on at 300 pixels (Ctrl+W to painted)", Seconds([&] {
                   window.frm.Memo().SetWrap(true);
                   ::UpdateWindow(view);
               }));
        double pageDowns = 0;
        double slowest = 0;
        for (int page = 0; page < 100; ++page) {
            const double took = Seconds([&] {
                ::SendMessageW(view, WM_KEYDOWN, VK_NEXT, 1);
                ::UpdateWindow(view);
            });
            pageDowns += took;
            slowest = std::max(slowest, took);
        }
        Report("100 page-downs with wrap on, each painted: on average", pageDowns / 100);
        Report("  the slowest", slowest);
        Report("a jump to the middle (EM_LINESCROLL), painted", Seconds([&] {
                   SCROLLINFO info{};
                   info.cbSize = sizeof info;
                   info.fMask = SIF_RANGE;
                   ::GetScrollInfo(view, SB_VERT, &info);
                   ::SendMessageW(view, EM_LINESCROLL, 0, info.nMax / 2);
                   ::UpdateWindow(view);
               }));
        LRESULT rows = 0;
        Report("the exact row count asked for (EM_GETLINECOUNT)",
               Seconds([&] { rows = ::SendMessageW(view, EM_GETLINECOUNT, 0, 0); }));
        std::printf("  wrapped rows: %ld\n", static_cast<long>(rows));
        Report("word wrap off", Seconds([&] {
                   window.frm.Memo().SetWrap(false);
                   ::UpdateWindow(view);
               }));
    }
    Pump();
    ::DeleteFileA(path.c_str());
    ::DeleteFileA(small.c_str());
    if (!hadSettings) ::RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    return 0;
}
