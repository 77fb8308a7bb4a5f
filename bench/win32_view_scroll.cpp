// Moving through a large file in a real main window: the load, 1,000 page-downs, a selection
// dragged from the top row past the bottom edge for 1,000 rows of auto-scroll, Ctrl+End and back,
// and word wrap switched on and off. Each step is painted before the next. Prints figures only.
// Argument: the file size in MiB (default 64).
#include "bench/win32_support.hpp"

#include <cstdlib>
#include <string>

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
    }
    Pump();
    ::DeleteFileA(path.c_str());
    ::DeleteFileA(platform::TempFilePath().c_str());
    if (!hadSettings) ::RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    return 0;
}
