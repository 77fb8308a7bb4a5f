#pragma once
// What the Win32 benchmarks share: prompts that answer at once, a main window made as the program
// makes it, timing, message pumping and the sampling of the process's private bytes.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "bench/synthetic_nfo.hpp"
#include "forms/frm_main.hpp"
#include "platform/files.hpp"
#include "platform/ini_file.hpp"
#include "platform/prompts.hpp"
#include "platform/registry.hpp"

namespace bench {

inline constexpr char kSettingsKey[] = "Software\\corvalex";

// Every prompt is answered at once: the save dialog with saveTarget (cancelled while it is empty);
// any message box means the figures are not valid.
class BenchPrompts final : public platform::Prompts {
public:
    std::wstring saveTarget;
    int Message(HWND, const std::string& text, UINT flags) override {
        std::printf("  unexpected message: %s\n", text.c_str());
        return (flags & MB_YESNO) ? IDYES : IDOK;
    }
    bool OpenFileName(OPENFILENAMEW&) override { return false; }
    bool SaveFileName(OPENFILENAMEW& request) override {
        if (saveTarget.empty() || saveTarget.size() >= request.nMaxFile) return false;
        saveTarget.copy(request.lpstrFile, saveTarget.size());
        request.lpstrFile[saveTarget.size()] = L'\0';
        return true;
    }
};

inline std::string WriteFile(const std::string& name, const std::string& bytes) {
    const std::string path = platform::GetTempDir() + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

inline double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return took.count();
}

inline void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// K32GetProcessMemoryInfo lives in kernel32 from Windows 7 on and in every Wine; looked up at run
// time so the bench needs no psapi import.
using MemoryInfoFn = BOOL(WINAPI*)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);

inline MemoryInfoFn FindMemoryInfo() {
    return reinterpret_cast<MemoryInfoFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo")));
}

inline PROCESS_MEMORY_COUNTERS_EX MemoryNow(MemoryInfoFn info) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (info) info(::GetCurrentProcess(), reinterpret_cast<PPROCESS_MEMORY_COUNTERS>(&counters), sizeof counters);
    return counters;
}

// The private bytes of the process: PrivateUsage where the system reports it, else the page
// file usage (Wine 8 leaves PrivateUsage at 0 and reports the committed private memory there).
inline SIZE_T PrivateBytes(const PROCESS_MEMORY_COUNTERS_EX& counters) {
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

inline double MiB(SIZE_T bytes) { return static_cast<double>(bytes) / (1 << 20); }

struct Window {
    BenchPrompts prompts;
    platform::Win32Registry registry;
    platform::ProfileIniFile ini{platform::GetTempDir() + "corvale-bench-absent.ini"};
    forms::TFrmMain frm{forms::FrmMainServices{prompts, registry, ini, "corvalex.exe", false}};

    Window() {
        frm.Create();
        ::ShowWindow(frm.Handle(), SW_SHOWNORMAL);
        Pump();
    }
};

inline bool SettingsKeyExists() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

}  // namespace bench
