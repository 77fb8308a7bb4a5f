// Corvale: a viewer for scene text files whose DOS block and line art must keep its shape.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "core/app_error.hpp"
#include "forms/frm_about.hpp"
#include "forms/frm_main.hpp"
#include "forms/frm_settings.hpp"
#include "platform/ini_file.hpp"
#include "platform/prompts.hpp"
#include "platform/registry.hpp"
#include "platform/shell.hpp"
#include "platform/unicode.hpp"

// The program's three windows: created in this order at start-up, alive until it ends.
std::unique_ptr<forms::TFrmMain> FrmMain;
std::unique_ptr<forms::TFrmSettings> FrmSettings;
std::unique_ptr<forms::TFrmAbout> FrmAbout;

namespace {

int InitialShowCommand(int requested) {
    if (requested == SW_SHOWMAXIMIZED) return SW_SHOWMAXIMIZED;
    if (requested == SW_SHOWMINNOACTIVE) return SW_SHOWMINNOACTIVE;
    return SW_SHOWNORMAL;
}

int RunMessageLoop() {
    MSG msg;
    // Unicode all the way, so text typed into the find box keeps characters outside the ANSI code page.
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (FrmMain && FrmMain->PreTranslateMessage(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    platform::SystemPrompts prompts;
    platform::SystemShell shell;
    platform::Win32Registry registry;
    // The associations are the user's own: a standard user may not write the machine-wide part,
    // which the shell shows beneath the user's.
    platform::Win32Registry userClasses(HKEY_CURRENT_USER, platform::kClassesSubkey);
    platform::Win32Registry machineClasses(HKEY_LOCAL_MACHINE, platform::kClassesSubkey);
    platform::ProfileIniFile ini(platform::ProfileIniFile::DefaultPath());
    FrmMain = std::make_unique<forms::TFrmMain>(
        forms::FrmMainServices{prompts, registry, ini, platform::Narrow(::GetCommandLineW()), true, &shell});
    try {
        FrmMain->Create();
    } catch (const std::exception& error) {  // no window could be made: nothing to run
        prompts.Message(nullptr, core::WithFullStop(error.what()), MB_OK | MB_ICONERROR);
        return 1;
    }
    FrmSettings = std::make_unique<forms::TFrmSettings>(FrmMain->Handle(), prompts);
    FrmMain->AttachSettingsDialog(*FrmSettings, {{userClasses, machineClasses}, shell});
    FrmAbout = std::make_unique<forms::TFrmAbout>(FrmMain->Handle(), shell, prompts);
    FrmMain->AttachAboutDialog(*FrmAbout);

    ::ShowWindow(FrmMain->Handle(), InitialShowCommand(showCommand));
    ::UpdateWindow(FrmMain->Handle());
    const int result = RunMessageLoop();

    FrmAbout.reset();
    FrmSettings.reset();
    FrmMain.reset();
    return result;
}
