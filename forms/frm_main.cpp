#include "forms/frm_main.hpp"

#include <commctrl.h>

#include <vector>

#include "core/app_error.hpp"
#include "core/search.hpp"
#include "core/settings_values.hpp"
#include "core/system_report.hpp"
#include "core/export_geometry.hpp"
#include "core/links.hpp"
#include "forms/colour_presets.hpp"
#include "forms/encoding_menu.hpp"
#include "forms/file_opening.hpp"
#include "forms/selection_copy.hpp"
#include "forms/frm_about.hpp"
#include "forms/frm_settings.hpp"
#include "forms/picture_saving.hpp"
#include "forms/settings_host.hpp"
#include "platform/clipboard.hpp"
#include "platform/dpi.hpp"
#include "platform/executable_path.hpp"
#include "platform/export_bitmap.hpp"
#include "platform/files.hpp"
#include "platform/system_info.hpp"
#include "platform/unicode.hpp"

namespace forms {
namespace {

constexpr wchar_t kWindowClass[] = L"TFrmMain";

void RegisterWindowClass(WNDPROC proc) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconW(instance, L"MAINICON");
    windowClass.hIconSm = static_cast<HICON>(::LoadImageW(instance, L"MAINICON", IMAGE_ICON, 16, 16, 0));
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);  // a system cursor: no text goes through the call
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    ::RegisterClassExW(&windowClass);  // a second window of the class (tests) finds it registered
}

int ClientWidth(HWND wnd) {
    RECT client{};
    ::GetClientRect(wnd, &client);
    return client.right;
}

}  // namespace

TFrmMain::TFrmMain(FrmMainServices services)
    : services_(std::move(services)),
      busy_([this] { ::PostMessageW(wnd_, WM_CLOSE, 0, 0); }),
      boxes_(services_.prompts, busy_),
      shell_(services_.shell ? *services_.shell : systemShell_) {}

TFrmMain::~TFrmMain() {
    dlgFind_.reset();
    if (wnd_ && ::IsWindow(wnd_)) {
        services_.endsProgram = false;
        ::DestroyWindow(wnd_);
    }
}

// ---- creation and messages -------------------------------------------------------------------

void TFrmMain::Create() {
    RegisterWindowClass(&TFrmMain::Proc);
    dpi_ = platform::SystemDpi();  // the window is made on the primary screen
    RECT frame{0, 0, platform::ScaleToDpi(kDesignedClientWidth, dpi_), platform::ScaleToDpi(kDesignedClientHeight, dpi_)};
    platform::AdjustFrameForDpi(frame, WS_OVERLAPPEDWINDOW, 0, dpi_);
    // A Unicode window, so that its caption holds any file name and gives it back as it is.
    ::CreateWindowExW(0, kWindowClass, platform::Widen(platform::kAppTitle).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                      CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                      nullptr, ::GetModuleHandleW(nullptr), this);
    if (!wnd_) throw core::AppError("Cannot create the main window");
    boxes_.Guard([this] { FormCreate(); });
}

void TFrmMain::CreateControls() {
    boxes_.SetOwner(wnd_);
    dpi_ = platform::WindowDpi(wnd_);
    memo_ = std::make_unique<platform::TextView>(wnd_, kMemoId, static_cast<platform::TextViewEvents&>(*this));
    zoom_ = std::make_unique<ViewZoom>(*memo_, dpi_);
    memo_->SetFont(std::string(core::kStartViewFont.face), core::FontHeightFromPoints(core::kStartViewFont.points, dpi_));
    commands_ = std::make_unique<CommandBar>(wnd_, kToolBarId, ClientWidth(wnd_), dpi_);
    statusBar_ = std::make_unique<platform::StatusBar>(wnd_, kStatusBarId, dpi_);
    opening_ = std::make_unique<FileOpening>(*this, services_.loadProgressDelay);
    stepping_ = std::make_unique<FolderStepping>(*opening_, boxes_);
    dlgFind_ = std::make_unique<forms::FindDialog>(wnd_);
}

LRESULT TFrmMain::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    boxes_.Guard([&] { result = Route(msg, wp, lp); });
    return result;
}

LRESULT TFrmMain::Route(UINT msg, WPARAM wp, LPARAM lp) {
    if (bool findNext = false; dlgFind_ && dlgFind_->TakeMessage(msg, lp, findNext)) {
        if (findNext) DlgFindFind();
        return 0;
    }
    switch (msg) {
    case WM_CREATE: CreateControls(); return 0;
    case WM_SIZE: FormResize(); return 0;
    case WM_COMMAND:
        if (!FindCommand(LOWORD(wp))) break;
        RunCommand(static_cast<CommandId>(LOWORD(wp)),
                   HIWORD(wp) == kKeyNotification ? CommandSource::Key : CommandSource::Click);
        return 0;
    case WM_NOTIFYFORMAT: return NFR_UNICODE;
    case WM_NOTIFY:
        if (commands_ && commands_->AnswerHint(*reinterpret_cast<NMHDR*>(lp))) return 0;
        if (statusBar_ && IsEncodingPanelClick(*reinterpret_cast<NMHDR*>(lp), StatusBar())) ShowEncodingMenu();
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(wnd_, &paint);
        if (commands_) commands_->PaintEdge(dc, ClientWidth(wnd_));
        ::EndPaint(wnd_, &paint);
        return 0;
    }
    case platform::kWmDpiChanged: OnDpiChanged(LOWORD(wp), *reinterpret_cast<const RECT*>(lp)); return 0;
    case WM_MOUSEWHEEL:  // the view hands on a wheel turned with Ctrl held
        if (!(LOWORD(wp) & MK_CONTROL) || !zoom_) break;
        zoom_->Wheel(static_cast<short>(HIWORD(wp)));
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE && memo_) memo_->Focus();
        return 0;
    case WM_SETFOCUS: return 0;
    case WM_CHAR: FormKeyPress(static_cast<wchar_t>(wp)); return 0;
    case WM_DROPFILES: opening_->OpenDropped(reinterpret_cast<HDROP>(wp)); return 0;
    case WM_WININICHANGE:
        if (opening_) opening_->ReadLocale();
        break;
    case WM_CLOSE: FormClose(); return 0;
    case WM_DESTROY:
        if (dlgFind_) dlgFind_->Close();
        if (services_.endsProgram) ::PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY: memo_.reset(); return 0;
    default: break;
    }
    return ::DefWindowProcW(wnd_, msg, wp, lp);
}

bool TFrmMain::PreTranslateMessage(MSG& msg) {
    if (dlgFind_ && dlgFind_->PreTranslateMessage(msg)) return true;
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    return memo_ && memo_->Owns(msg.hwnd) && TakeShortcut(static_cast<WORD>(msg.wParam), msg.hwnd);
}

void TFrmMain::ProcessPendingMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));  // the main loop must still see it
            return;
        }
        if (!PreTranslateMessage(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

// ---- commands ---------------------------------------------------------------------------------

// The keys of the view, before it sees them. A menu shortcut is the menu's: used up whether or not
// its item acts. Any other command's key runs it, then goes on to the view as the key it is.
bool TFrmMain::TakeShortcut(WORD key, HWND view) {
    const KeyRoute route = RouteKey(HeldWith(key));
    if (!route.command) return false;
    if (!route.menuShortcut || ShortcutAvailable(*route.command))
        ::SendMessageW(wnd_, WM_COMMAND, MAKEWPARAM(route.command->id, kKeyNotification), 0);
    return route.menuShortcut || !::IsWindow(view);
}

// Ctrl+C follows the selection, as the Copy button and its hint do: the item's enabled state is
// refreshed only when the menu opens, so it may be stale. The other items' keys follow the item.
bool TFrmMain::ShortcutAvailable(const Command& command) const {
    if (command.flags & kNeedsSelection) return memo_->GetSelection().length() > 0;
    return commands_->Enabled(command.id);
}

void TFrmMain::RunCommand(CommandId id, CommandSource source) {
    const Command* command = FindCommand(id);
    if (!command || ((command->flags & kRefusedWhileBusy) && busy_.RefuseWhileBusy())) return;
    // A check button flips itself only when clicked; a key flips it as the click would have.
    if (source == CommandSource::Key && (command->flags & kCheck) && (command->flags & kToolButton))
        commands_->SetChecked(id, !commands_->Checked(id));
    (this->*command->handler)();
}

// Copy's item is looked at only when the menu opens, Select All's only after a load; the link's
// items are in the menu only when it opens over a link.
void TFrmMain::UpdateCommandStates(CommandMoment moment) {
    const unsigned rule = moment == CommandMoment::MenuOpens ? kNeedsSelection : kNeedsText;
    const bool met = moment == CommandMoment::MenuOpens ? memo_->GetSelection().length() > 0 : !memo_->Text().empty();
    for (const Command& command : CommandTable()) {
        if (command.flags & rule) commands_->SetEnabled(command.id, met);
        if ((command.flags & kNeedsFile) && moment == CommandMoment::FileShown) commands_->SetEnabled(command.id, true);
        if ((command.flags & kOverLink) && moment == CommandMoment::MenuOpens)
            commands_->SetShown(command.id, menuLinkAddress_.has_value());
    }
    if (moment != CommandMoment::MenuOpens) return;
    MarkShownPreset(*commands_, memo_->FontColor(), memo_->BackColor());
    MarkEncodingChoice(*commands_, opening_->Choice());
}

void TFrmMain::ShowFile(const std::string& path) { opening_->ShowFile(path); }
void TFrmMain::cmdReloadClick() { opening_->ReloadShownFile(opening_->Choice(), true); }
bool TFrmMain::LoadTextFile(const std::string& path) { return opening_->LoadTextFile(path); }

// ---- start, layout and close --------------------------------------------------------------------

void TFrmMain::FormCreate() {
    MainSettingsHost host(*this);
    core::SettingsStore store(services_.registry, services_.ini, host);
    store.ImportIniSettings();
    store.WriteFirstRunDefaults();
    store.Load();
    opening_->OpenCommandLineFile(services_.commandLine);
    ::DragAcceptFiles(wnd_, TRUE);
}

void TFrmMain::FormClose() {
    if (busy_.DeferClose()) return;  // the handler running a loop finishes first, then the close comes again
    MainSettingsHost host(*this);
    core::SettingsStore store(services_.registry, services_.ini, host);
    store.Save();  // an error here keeps the window open
    opening_->RemoveTempFile();
    opening_->StopWatching();
    ::DestroyWindow(wnd_);
}

// Moved to a screen of another DPI: every part follows, then the window takes the frame the
// system suggests, which keeps its physical size.
void TFrmMain::OnDpiChanged(int dpi, const RECT& suggested) {
    if (dpi <= 0 || !commands_ || !statusBar_ || !zoom_) return;
    dpi_ = dpi;
    commands_->ApplyDpi(dpi);
    statusBar_->ApplyDpi(dpi);
    zoom_->SetDpi(dpi);
    ::SetWindowPos(wnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    FormResize();
}

void TFrmMain::FormResize() {
    if (!commands_ || !statusBar_ || !memo_) return;
    RECT client{};
    ::GetClientRect(wnd_, &client);
    const int top = commands_->Layout(client.right);
    const int barHeight = statusBar_->Layout();
    memo_->Move(0, top, client.right, client.bottom - barHeight - top);
    const RECT edge = commands_->Edge(client.right);
    ::InvalidateRect(wnd_, &edge, TRUE);
}

// ---- the commands' handlers ---------------------------------------------------------------------

void TFrmMain::BtnOpenClick() { opening_->OpenByDialog(); }

void TFrmMain::BtnExportClick() {
    BusyState::NestedLoopScope running(busy_);  // prompts and the drawing pump: a close waits for the end
    BusyState::FlagScope busy(busy_, BusyState::Task::Exporting);
    const std::string shownPath = StatusText(0);
    if (shownPath.empty()) return boxes_.Warn(core::kExportNoFileText);
    const int count = platform::ExportLineCount(*memo_);
    if (auto refusal = core::ExportLineCountRefusal(count)) return boxes_.Warn(*refusal);
    const std::vector<std::string> lines = platform::ReadExportLines(*memo_, count);
    if (auto refusal = core::ExportLineLengthRefusal(core::LongestLine(lines))) return boxes_.Warn(*refusal);
    const auto target = platform::AskExportFile(services_.prompts, wnd_, core::DefaultExportName(shownPath));
    if (!target) return;
    // Writing over the shown file would replace the text with its own picture.
    if (platform::SameFile(opening_->ShownFullPath(), platform::Narrow(*target)))
        return boxes_.Warn(core::ExportOverShownFileText(platform::Narrow(*target)));
    // No is the default: a stray Enter keeps the file.
    if (platform::ExportTargetExists(*target) &&
        boxes_.Show(core::kExportOverwriteText, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES)
        return;
    // Esc while it draws stops it: the target is left as it was.
    platform::ExportBitmap(*target, lines, platform::PictureStyleOf(*memo_), [this] {
        ProcessPendingMessages();
        return !busy_.CancelRequested();
    });
}

void TFrmMain::AttachSettingsDialog(TFrmSettings& dialog, const AssociationServices& associations) {
    frmSettings_ = &dialog;
    associations_.emplace(associations);
}

void TFrmMain::BtnSettingsClick() {
    if (!frmSettings_ || frmSettings_->Showing()) return;
    TFrmSettings& dialog = *frmSettings_;
    MainSettingsHost view(*this);
    core::FileAssociations associations(associations_->classes, [this] { associations_->shell.AssociationsChanged(); });
    dialog.SelectFontName(view.FontName());
    dialog.SelectPointSize(view.FontPointSize());
    dialog.SelectColours(view.FontColor(), view.BackColor());
    dialog.TickAssociated(associations.ReadAssociated());
    {
        BusyState::NestedLoopScope modal(busy_);
        if (!dialog.ShowModal()) return;
    }
    // A list left without a selection keeps the view's own value.
    if (const auto name = dialog.ChosenFontName()) view.SetFontName(*name);
    if (const auto points = dialog.ChosenPointSize()) {
        view.SetFontPointSize(*points);
        view.SetChosenPointSize(*points);  // what Ctrl+0 returns to from now on
    }
    if (const auto colour = dialog.ChosenTextColour()) view.SetFontColor(*colour);
    if (const auto colour = dialog.ChosenBackColour()) view.SetBackColor(*colour);
    associations.Write(platform::ShellExecutablePath(), dialog.Ticked());
}

void TFrmMain::BtnAboutClick() {
    if (!frmAbout_) return;
    const std::string osVersion = core::OsVersionLine(platform::QueryOsVersion());
    const core::MemoryFigures memory = platform::QueryMemoryFigures();
    frmAbout_->SetSystemLines(osVersion, core::PhysicalMemoryLine(memory), core::PageFileLine(memory));
    BusyState::NestedLoopScope modal(busy_);
    frmAbout_->ShowModal();
}

void TFrmMain::BtnCopyClick() { CopySelectionAsked(*memo_, wnd_); }

void TFrmMain::cmdCopySelectionClick() { CopySelectionAsked(*memo_, wnd_); }

void TFrmMain::cmdSelectAllClick() { memo_->SelectAll(); }

void TFrmMain::cmdCopyAsPictureClick() { PictureSaving(*this, *opening_).CopyAsPicture(); }

void TFrmMain::cmdSaveAsPictureClick() { PictureSaving(*this, *opening_).SaveAsPicture(); }

void TFrmMain::BtnWrapClick() {
    memo_->SetWrap(commands_->Checked(kBtnWrap));
    FormResize();
}

void TFrmMain::cmdStayonTopClick() {
    const bool onTop = !commands_->Checked(kCmdStayonTop);
    commands_->SetChecked(kCmdStayonTop, onTop);
    ::SetWindowPos(wnd_, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

// As the settings dialog would set them.
void TFrmMain::ApplyColourPreset(CommandId id) {
    const core::ColourPreset* preset = PresetOf(id);
    if (!preset) return;
    MainSettingsHost view(*this);
    view.SetFontColor(preset->text);
    view.SetBackColor(preset->back);
}

void TFrmMain::cmdCopyonSelectClick() {
    commands_->SetChecked(kCmdCopyonSelect, !commands_->Checked(kCmdCopyonSelect));
}

// The address is kept from the moment the menu opened: the text may have changed since.
void TFrmMain::cmdCopyLinkAddressClick() {
    if (menuLinkAddress_) platform::CopyBytesToClipboard(wnd_, *menuLinkAddress_);
}

void TFrmMain::BtnFindClick() { dlgFind_->Show(); }

// The typed text is looked for as the bytes the view draws it with.
void TFrmMain::DlgFindFind() {
    const platform::Selection selection = memo_->GetSelection();
    const std::optional<std::string> needle = core::Cp437FindText(dlgFind_->Text());
    const auto match =
        needle ? core::FindNext(memo_->Text(), selection.start, selection.length(), *needle) : std::nullopt;
    if (!match) {
        // Owned by the find dialog, the box gives the activation back to it when it closes; owned
        // by the main window, it would activate that one, which then covers the dialog.
        HWND dialog = dlgFind_->Handle();
        boxes_.ShowOwnedBy(dialog ? dialog : wnd_, "Cannot find specified text.", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    memo_->SetSelection(*match, *match + needle->size());
    memo_->ScrollCaret();
}

// ---- the view's events ----------------------------------------------------------------------------

// Esc stops a running load or export; with nothing running it closes the window.
void TFrmMain::MemoKeyPress(wchar_t ch) {
    if (ch == 27 && !busy_.RequestCancel()) ::PostMessageW(wnd_, WM_CLOSE, 0, 0);
}

void TFrmMain::ViewKeyUp(WORD) {
    boxes_.Guard([this] { CopyOnSelect(*commands_, *memo_, wnd_); });
}

void TFrmMain::ViewMouseUp() {
    boxes_.Guard([this] { CopyOnSelect(*commands_, *memo_, wnd_); });
}

void TFrmMain::ViewChar(wchar_t ch) {
    boxes_.Guard([&] { MemoKeyPress(ch); });
}

void TFrmMain::ViewContextMenu(POINT screen) {
    boxes_.Guard([&] {
        POINT client = screen;
        ::ScreenToClient(memo_->Handle(), &client);
        const auto link = memo_->LinkAt(client);
        menuLinkAddress_ = link ? std::optional(core::LinkAddress(memo_->Text(), *link)) : std::nullopt;
        mnuMainPopup();
    });
    BusyState::NestedLoopScope menuLoop(busy_);
    ::TrackPopupMenu(commands_->Menu(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, wnd_, nullptr);
}

void TFrmMain::ViewLinkClick(const core::Link& link) {
    boxes_.Guard([&] { OpenLink(core::LinkTarget(memo_->Text(), link)); });
}

// Only an address the recogniser made goes to the shell, and the last check says so again: the
// text is untrusted, and the shell would run whatever it is given.
void TFrmMain::OpenLink(const std::string& target) {
    if (!core::IsOpenableTarget(target)) return;
    const platform::Launch launch = shell_.Open(target);
    if (!launch.started) boxes_.Warn(core::LinkNotOpenedText(target, launch.reason));
}

}  // namespace forms
