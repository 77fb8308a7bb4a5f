#pragma once
// The main window: tool bar, text view and status bar, and the viewer's commands. The commands'
// buttons, items and keys come from the command table; the roads a file takes in, the busy state
// and the settings' view of the controls have units of their own.
#include <windows.h>

#include <array>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "core/file_associations.hpp"
#include "core/settings_store.hpp"
#include "forms/busy_state.hpp"
#include "forms/commands.hpp"
#include "forms/find_dialog.hpp"
#include "forms/folder_stepping.hpp"
#include "forms/message_boxes.hpp"
#include "forms/view_zoom.hpp"
#include "platform/base_window.hpp"
#include "platform/prompts.hpp"
#include "platform/shell.hpp"
#include "platform/status_bar.hpp"
#include "platform/text_view.hpp"

namespace forms {

class FileOpening;
class TFrmAbout;
class TFrmSettings;

enum ControlId : int { kMemoId = 100, kToolBarId, kStatusBarId };

// What the main window needs from outside; the program passes the real ones, tests their own.
struct FrmMainServices {
    platform::Prompts& prompts;
    core::Registry& registry;
    core::IniFile& ini;
    std::string commandLine;   // GetCommandLineW's text, as UTF-8
    bool endsProgram = true;   // destroying the window ends the message loop
    platform::Shell* shell = nullptr;  // opens the links of the text; none: the system's shell
    // How long a load read in the background runs before its progress shows.
    std::chrono::milliseconds loadProgressDelay{300};
};

// What the settings dialog's file associations need from outside.
struct AssociationServices {
    core::ClassesRoots classes;
    platform::ShellNotifications& shell;  // told after the associations changed
};

class TFrmMain final : private platform::BaseWindow<TFrmMain>, private platform::TextViewEvents {
public:
    static constexpr int kDesignedClientWidth = 692;
    static constexpr int kDesignedClientHeight = 511;

    explicit TFrmMain(FrmMainServices services);
    ~TFrmMain() override;

    // Creates the window hidden and runs FormCreate; the message loop shows it.
    void Create();
    // The dialogs are made after this window, which owns them, and attached here; the settings
    // dialog with the two parts of the classes root the file associations are read from and written to.
    void AttachSettingsDialog(TFrmSettings& dialog, const AssociationServices& associations);
    void AttachAboutDialog(TFrmAbout& dialog) { frmAbout_ = &dialog; }
    HWND Handle() const { return wnd_; }
    // The DPI the window's parts are laid out for: its screen's.
    int Dpi() const { return dpi_; }
    // Messages the loop must route before translating them: the find dialog's keys, shortcut keys.
    bool PreTranslateMessage(MSG& msg);
    // Runs every waiting message through the same routing as the main loop.
    void ProcessPendingMessages();

    // The parts, for the units that work on them and for tests.
    platform::TextView& Memo() { return *memo_; }
    // The tool bar and the context menu.
    CommandBar& Commands() { return *commands_; }
    ViewZoom& Zoom() { return *zoom_; }
    HWND StatusBar() const { return statusBar_->Handle(); }
    platform::StatusBar& Status() { return *statusBar_; }
    std::string StatusText(int panel) const { return statusBar_->Text(panel); }
    void SetStatusText(int panel, const std::string& text) { statusBar_->SetText(panel, text); }
    std::array<int, platform::StatusBar::kPanels> PanelWidths() const { return statusBar_->Widths(); }
    HWND FindDialog() const { return dlgFind_ ? dlgFind_->Handle() : nullptr; }
    BusyState& Busy() { return busy_; }
    bool Loading() const { return busy_.Loading(); }
    MessageBoxes& Boxes() { return boxes_; }

    // Every command runs here, from its button, its item, its keys or the settings loader.
    void RunCommand(CommandId id, CommandSource source);
    void UpdateCommandStates(CommandMoment moment);
    void ShowFile(const std::string& path);
    bool LoadTextFile(const std::string& path);

    // Handlers, named after their control and event.
    void FormCreate();
    void FormClose();
    void FormResize();
    void BtnOpenClick();
    void BtnExportClick();
    void BtnCopyClick();
    void BtnWrapClick();
    void BtnFindClick();
    void BtnSettingsClick();
    void BtnAboutClick();
    void cmdCopySelectionClick();
    void cmdSelectAllClick();
    void cmdStayonTopClick();
    void cmdCopyonSelectClick();
    void cmdCopyLinkAddressClick();
    void cmdNextFileClick() { stepping_->Step(core::StepDirection::Next); }
    void cmdPreviousFileClick() { stepping_->Step(core::StepDirection::Previous); }
    void cmdReloadClick();
    void cmdCopyAsPictureClick();
    void cmdSaveAsPictureClick();
    void cmdZoomInClick() { zoom_->Step(1); }
    void cmdZoomOutClick() { zoom_->Step(-1); }
    void cmdZoomResetClick() { zoom_->Reset(); }
    void cmdColoursBlackOnWhiteClick() { ApplyColourPreset(kCmdColoursBlackOnWhite); }
    void cmdColoursDosClick() { ApplyColourPreset(kCmdColoursDos); }
    void cmdColoursWhiteOnNavyClick() { ApplyColourPreset(kCmdColoursWhiteOnNavy); }
    void cmdColoursYellowOnBlackClick() { ApplyColourPreset(kCmdColoursYellowOnBlack); }
    void cmdColoursLimeOnBlackClick() { ApplyColourPreset(kCmdColoursLimeOnBlack); }
    void cmdEncodingAutomaticClick() { ChooseEncoding(kCmdEncodingAutomatic); }
    void cmdEncodingDos437Click() { ChooseEncoding(kCmdEncodingDos437); }
    void cmdEncodingUtf8Click() { ChooseEncoding(kCmdEncodingUtf8); }
    void cmdEncodingUtf16LeClick() { ChooseEncoding(kCmdEncodingUtf16Le); }
    void cmdEncodingUtf16BeClick() { ChooseEncoding(kCmdEncodingUtf16Be); }
    void cmdEncodingWindows1252Click() { ChooseEncoding(kCmdEncodingWindows1252); }
    // The Encoding submenu on its own, opened by a click on the status bar's encoding panel.
    void ShowEncodingMenu();
    void mnuMainPopup() { UpdateCommandStates(CommandMoment::MenuOpens); }
    void DlgFindFind();
    void MemoKeyPress(wchar_t ch);
    void FormKeyPress(wchar_t ch) { MemoKeyPress(ch); }

private:
    friend class platform::BaseWindow<TFrmMain>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Route(UINT msg, WPARAM wp, LPARAM lp);
    void CreateControls();
    void OnDpiChanged(int dpi, const RECT& suggested);
    bool TakeShortcut(WORD key, HWND view);
    bool ShortcutAvailable(const Command& command) const;
    void ApplyColourPreset(CommandId id);
    void ChooseEncoding(CommandId id);  // encoding_menu.cpp

    // platform::TextViewEvents
    void ViewChar(wchar_t ch) override;
    void ViewKeyUp(WORD key) override;
    void ViewMouseUp() override;
    void ViewContextMenu(POINT screen) override;
    void ViewLinkClick(const core::Link& link) override;
    void OpenLink(const std::string& target);

    FrmMainServices services_;
    int dpi_ = 96;
    BusyState busy_;
    MessageBoxes boxes_;
    std::unique_ptr<CommandBar> commands_;
    std::unique_ptr<platform::StatusBar> statusBar_;
    std::unique_ptr<platform::TextView> memo_;
    std::unique_ptr<ViewZoom> zoom_;
    std::unique_ptr<FileOpening> opening_;
    std::unique_ptr<FolderStepping> stepping_;
    // DlgFind: modeless, so it lives as long as the window.
    std::unique_ptr<forms::FindDialog> dlgFind_;
    TFrmSettings* frmSettings_ = nullptr;
    std::optional<AssociationServices> associations_;
    TFrmAbout* frmAbout_ = nullptr;
    platform::SystemShell systemShell_;
    platform::Shell& shell_;
    std::optional<std::string> menuLinkAddress_;  // of the link the context menu last opened over
};

}  // namespace forms
