#pragma once
// The main window: tool bar, text view, status bar, and every handler of the viewer.
#include <windows.h>
#include <commdlg.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/file_associations.hpp"
#include "core/file_info_text.hpp"
#include "core/settings_store.hpp"
#include "forms/find_dialog.hpp"
#include "platform/prompts.hpp"
#include "platform/shell.hpp"
#include "platform/status_bar.hpp"
#include "platform/text_file.hpp"
#include "platform/text_view.hpp"
#include "platform/win_handles.hpp"

namespace forms {

class TFrmAbout;

// Command ids: tool buttons and menu items share the one WM_COMMAND table.
enum CommandId : int {
    kBtnOpen = 1001, kBtnExport, kBtnCopy, kBtnWrap, kBtnFind, kBtnSettings, kBtnAbout,
    kCmdCopySelection = 2001, kCmdSelectAll, kCmdStayonTop, kCmdCopyonSelect,
};
enum ControlId : int { kMemoId = 100, kToolBarId, kStatusBarId };

// What the main window needs from outside; the program passes the real ones, tests their own.
class TFrmSettings;

struct FrmMainServices {
    platform::Prompts& prompts;
    core::Registry& registry;
    core::IniFile& ini;
    std::string commandLine;   // GetCommandLineW's text, as UTF-8
    bool endsProgram = true;   // destroying the window ends the message loop
};

// What the settings dialog's file associations need from outside.
struct AssociationServices {
    core::ClassesRoots classes;
    platform::ShellNotifications& shell;  // told after the associations changed
};

class TFrmMain final : private core::SettingsHost, private platform::TextViewEvents, private platform::LoadHooks {
public:
    static constexpr int kDesignedClientWidth = 692;
    static constexpr int kDesignedClientHeight = 511;

    explicit TFrmMain(FrmMainServices services);
    TFrmMain(const TFrmMain&) = delete;
    TFrmMain& operator=(const TFrmMain&) = delete;
    ~TFrmMain() override;

    // Creates the window hidden and runs FormCreate; the message loop shows it.
    void Create();
    // The settings dialog is owned by this window, so it is made after it and attached here,
    // with the two parts of the classes root the file associations are read from and written to.
    void AttachSettingsDialog(TFrmSettings& dialog, const AssociationServices& associations);
    HWND Handle() const { return wnd_; }
    // Messages the loop must route before translating them: the find dialog's keys, menu shortcuts.
    bool PreTranslateMessage(MSG& msg);
    // Runs every waiting message through the same routing as the main loop.
    void ProcessPendingMessages() override;
    // The about dialog BtnAboutClick fills and shows; it must outlive this window's handlers.
    void AttachAboutDialog(TFrmAbout& dialog) { frmAbout_ = &dialog; }

    // What the window shows, for the program's own checks and for tests.
    platform::TextView& Memo() { return *memo_; }
    HWND ToolBar() const { return toolBar_; }
    HWND StatusBar() const { return statusBar_->Handle(); }
    HMENU MainMenu() const { return static_cast<HMENU>(mnuMain_.get()); }
    HWND FindDialog() const { return dlgFind_ ? dlgFind_->Handle() : nullptr; }
    std::string StatusText(int panel) const;
    std::array<int, 5> PanelWidths() const { return statusBar_->Widths(); }
    int ToolBarAreaHeight() const { return toolBarHeight_; }
    bool Loading() const { return loading_; }
    bool Exporting() const { return exporting_; }

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
    void mnuMainPopup();
    void DlgFindFind();
    void WMDropFiles(HDROP drop);
    void MemoKeyDown(WORD key);
    void MemoKeyPress(wchar_t ch);
    void MemoKeyUp(WORD key);
    void MemoMouseUp();
    void FormKeyPress(wchar_t ch);

    // The show sequence every road ends in, and the loader; true when the view took the file.
    void ShowFile(const std::string& path);
    bool LoadTextFile(const std::string& path);
    std::string GetFileDateText(const std::string& path) const;

private:
    static LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    bool RunCommand(int id);
    template <typename Handler> void Guarded(Handler&& handler);
    void ShowError(const std::string& message);

    void CreateControls();
    void CreateToolBar();
    void CreateMenu();
    void LayoutToolBar(int width);
    void PaintToolBarEdge(HDC dc);
    void SetStatusText(int panel, const std::string& text);
    void ShowCaption(const std::string& shownPath);
    bool RefuseFolder(const std::string& path);
    void OpenCommandLineFile();
    void DeleteTempFile();
    bool TakeMenuShortcut(WORD key);
    bool ShortcutEnabled(int item) const;
    bool WrapDownState() const;
    void SetMenuItemEnabled(int id, bool enabled);
    void SetMenuItemChecked(int id, bool checked);
    bool MenuItemChecked(int id) const;
    bool MenuItemEnabled(int id) const;
    void CopySelection();
    void ApplyStayOnTop();
    bool RefuseWhileBusy() const;
    int Message(const std::string& text, UINT flags);
    int MessageOwnedBy(HWND owner, const std::string& text, UINT flags);
    void Warn(std::string_view text);

    // core::SettingsHost: the controls the settings live in.
    std::int32_t FontColor() const override;
    void SetFontColor(std::int32_t colour) override;
    std::int32_t BackColor() const override;
    void SetBackColor(std::int32_t colour) override;
    std::string FontName() const override;
    void SetFontName(const std::string& name) override;
    int FontPointSize() const override;
    void SetFontPointSize(int points) override;
    bool WrapDown() const override;
    void PressWrap() override;
    bool CopyOnSelect() const override;
    void CheckCopyOnSelect() override;
    bool StayOnTop() const override;
    void CheckStayOnTop() override;
    core::WindowBounds SavedBounds() const override;
    void SetLeft(int left) override;
    void SetTop(int top) override;
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    core::Size OuterSize() const override;
    core::Size ScreenSize() const override;
    void ShowMessage(const std::string& text) override;

    // platform::TextViewEvents
    void ViewKeyDown(WORD key) override;
    void ViewChar(wchar_t ch) override;
    void ViewKeyUp(WORD key) override;
    void ViewMouseUp() override;
    void ViewContextMenu(POINT screen) override;

    // platform::LoadHooks
    void ShowWarning(const std::string& text) override;
    void ShowProgress() override;

    FrmMainServices services_;
    HWND wnd_ = nullptr;
    HWND toolBar_ = nullptr;
    std::unique_ptr<platform::StatusBar> statusBar_;
    std::unique_ptr<platform::TextView> memo_;
    platform::UniqueMenu mnuMain_;
    platform::UniqueImageList imageList_;
    platform::UniqueGdi windowFont_;
    int toolBarHeight_ = 43;
    core::LocaleValues locale_;
    int pixelsPerInch_ = 96;

    // The shown file's full path, taken when it was loaded: panel 0 holds the path as the road
    // received it, which may be relative to a current folder that the file dialogs change since.
    std::string shownFullPath_;

    // DlgOpen: remembered for the window's lifetime.
    std::wstring openPath_;
    DWORD openFilterIndex_ = 1;

    // DlgFind: modeless, so it lives as long as the window.
    std::unique_ptr<forms::FindDialog> dlgFind_;

    // A load and an export pump messages, and prompts and menus run loops of their own: a second
    // load or export is refused meanwhile, and a close waits until the handler that runs the loop is back.
    class NestedLoopScope;
    bool loading_ = false;
    bool exporting_ = false;
    int nestedLoops_ = 0;
    TFrmSettings* frmSettings_ = nullptr;
    std::optional<AssociationServices> associations_;
    bool closePending_ = false;

    TFrmAbout* frmAbout_ = nullptr;
};

}  // namespace forms
