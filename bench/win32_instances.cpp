// Several instances of the program started at once, as a user who selects a handful of NFOs in
// Explorer and presses Enter starts them: each on a file of its own of 3-4 MiB (below the cleaning
// threshold, so every load makes a cleaning copy while the others make theirs). From outside, as
// automation sees them, it prints for each instance what its view shows (read back with
// WM_GETTEXTLENGTH and WM_GETTEXT from the "CorvaleTextView" window), whether that is the text of
// its own file, how long it took from the start to that text, and any message box that came up.
// Arguments: [path of corvalex.exe] [instances, default 6]. Exits with 1 when an instance did not
// show its own text or put up a message box.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/synthetic_nfo.hpp"
#include "core/cp437.hpp"
#include "core/text_load.hpp"
#include "platform/unicode.hpp"

namespace {

constexpr double kTimeoutSeconds = 120;

struct Instance {
    std::string file;
    std::u16string expected;  // the glyphs the view must show
    PROCESS_INFORMATION process{};
    HWND main = nullptr;
    double shownAfter = -1;  // seconds from the start, once the view shows the whole text
    std::size_t shownLength = 0;
    bool matches = false;
    std::vector<std::string> boxes;  // texts of message boxes seen
};

std::string ExeBesideThis() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    dir.erase(dir.find_last_of(L'\\') + 1);
    return platform::Narrow(dir) + "corvalex.exe";
}

std::string TempDir() {
    char dir[MAX_PATH + 1] = {};
    ::GetTempPathA(MAX_PATH + 1, dir);
    return dir;
}

// File i: a line that names it, then NFO-like art, 3 MiB + i * 200 KiB in all.
std::string MakeFile(std::size_t i, std::string& bytes) {
    bytes = "instance " + std::to_string(i) + " of the multi-instance bench\r\n";
    bytes += bench::MakeNfo((3u << 20) + i * (200u << 10) - bytes.size());
    const std::string path = TempDir() + "corvale-instance-" + std::to_string(i) + ".nfo";
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

bool Start(const std::string& exe, Instance& instance) {
    std::string commandLine = "\"" + exe + "\" \"" + instance.file + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    return ::CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &instance.process);
}

struct Search {
    DWORD pid;
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND wnd, LPARAM lp) {
    auto* search = reinterpret_cast<Search*>(lp);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(wnd, &owner);
    char name[64] = {};
    ::GetClassNameA(wnd, name, sizeof name);
    if (owner == search->pid && ::IsWindowVisible(wnd) && std::string(name) == search->className)
        search->found.push_back(wnd);
    return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD pid, const char* className) {
    Search search{pid, className, {}};
    ::EnumWindows(&Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A message box's text: its static control (id 0xFFFF), read through the system's marshalling.
std::string BoxText(HWND box) {
    wchar_t text[1024] = {};
    ::SendMessageW(::GetDlgItem(box, 0xFFFF), WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return platform::Narrow(text);
}

std::u16string ViewText(HWND view) {
    const auto length = static_cast<std::size_t>(::SendMessageW(view, WM_GETTEXTLENGTH, 0, 0));
    std::u16string text(length + 1, u'\0');
    const auto got = static_cast<std::size_t>(
        ::SendMessageW(view, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(std::min(got, length));
    return text;
}

// One look at an instance: a message box, or the view holding as much text as its file gives.
void Look(Instance& instance, double now) {
    const DWORD pid = instance.process.dwProcessId;
    for (HWND box : TopLevelWindows(pid, "#32770")) {
        const std::string text = BoxText(box);
        bool seen = false;
        for (const std::string& known : instance.boxes) seen = seen || known == text;
        if (!seen) instance.boxes.push_back(text);
    }
    if (!instance.main) {
        const std::vector<HWND> mains = TopLevelWindows(pid, "TFrmMain");
        if (!mains.empty()) instance.main = mains.front();
    }
    HWND view = instance.main ? ::FindWindowExW(instance.main, nullptr, L"CorvaleTextView", nullptr) : nullptr;
    if (!view) return;
    const auto length = static_cast<std::size_t>(::SendMessageW(view, WM_GETTEXTLENGTH, 0, 0));
    if (length != instance.expected.size()) return;
    instance.shownAfter = now;
    const std::u16string shown = ViewText(view);
    instance.shownLength = shown.size();
    instance.matches = shown == instance.expected;
}

void Close(Instance& instance) {
    if (instance.main) ::PostMessageW(instance.main, WM_CLOSE, 0, 0);
    if (instance.process.hProcess && ::WaitForSingleObject(instance.process.hProcess, 20000) != WAIT_OBJECT_0)
        ::TerminateProcess(instance.process.hProcess, 1);
    if (instance.process.hProcess) ::CloseHandle(instance.process.hProcess);
    if (instance.process.hThread) ::CloseHandle(instance.process.hThread);
    ::DeleteFileA(instance.file.c_str());
}

bool Done(const Instance& instance) { return instance.shownAfter >= 0 || !instance.boxes.empty(); }

}  // namespace

int main(int argc, char** argv) {
    const std::string exe = argc > 1 ? argv[1] : ExeBesideThis();
    const int count = argc > 2 ? std::max(1, std::atoi(argv[2])) : 6;
    std::vector<Instance> instances(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < instances.size(); ++i) {
        std::string bytes;
        instances[i].file = MakeFile(i, bytes);
        instances[i].expected = core::ToGlyphs(core::BuildViewText(bytes, true));
    }
    std::printf("%s: %d instances started at once, each on a file of its own\n", exe.c_str(), count);
    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    for (Instance& instance : instances) {
        if (!Start(exe, instance)) std::printf("  could not start %s (error %lu)\n", exe.c_str(), ::GetLastError());
    }
    for (bool all = false; !all && elapsed() < kTimeoutSeconds; ::Sleep(20)) {
        all = true;
        for (Instance& instance : instances) {
            if (!Done(instance) && instance.process.hProcess) Look(instance, elapsed());
            all = all && (Done(instance) || !instance.process.hProcess);
        }
    }
    int good = 0;
    for (std::size_t i = 0; i < instances.size(); ++i) {
        Instance& instance = instances[i];
        const bool ok = instance.matches && instance.boxes.empty();
        good += ok;
        char when[32] = "never";
        if (instance.shownAfter >= 0) std::snprintf(when, sizeof when, "after %.2f s", instance.shownAfter);
        std::printf("  %zu: %-24s %7zu of %7zu characters shown, %s, %s%s\n", i,
                    instance.file.substr(instance.file.find_last_of('\\') + 1).c_str(), instance.shownLength,
                    instance.expected.size(), instance.matches ? "its own text" : "NOT its text", when,
                    instance.boxes.empty() ? ", no message box" : "");
        for (const std::string& box : instance.boxes) std::printf("     message box: %s\n", box.c_str());
        Close(instance);
    }
    std::printf("%d of %d instances show their own file with no message box\n", good, count);
    return good == count ? 0 : 1;
}
