#include "forms/frm_main.hpp"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <new>
#include <vector>

#include "core/app_error.hpp"
#include "core/cmdline.hpp"
#include "core/file_associations.hpp"
#include "core/export_geometry.hpp"
#include "core/search.hpp"
#include "core/settings_values.hpp"
#include "core/shown_file.hpp"
#include "core/system_report.hpp"
#include "core/text_load.hpp"
#include "forms/frm_about.hpp"
#include "forms/frm_settings.hpp"
#include "platform/clipboard.hpp"
#include "platform/executable_path.hpp"
#include "platform/export_bitmap.hpp"
#include "platform/files.hpp"
#include "platform/locale.hpp"
#include "platform/system_info.hpp"
#include "platform/unicode.hpp"
#include "resources/resource.h"

namespace forms {
namespace {

constexpr wchar_t kWindowClass[] = L"TFrmMain";
constexpr int kButtonWidth = 46;
constexpr int kButtonHeight = 37;
constexpr int kSeparatorWidth = 8;
constexpr int kToolBarEdge = 2;  // the etched line under the buttons
constexpr COLORREF kImageMask = RGB(255, 0, 255);
// The longest path the Unicode file API takes (with the \\?\ prefix), in UTF-16 units.
constexpr std::size_t kLongestPath = 32768;

struct ToolButton {
    int id;        // 0 for a separator
    const char* caption;
    const char* hint;
    int image;
    BYTE style;
};

constexpr ToolButton kToolButtons[] = {
    {kBtnOpen, "Open", "Ctrl+O", 0, BTNS_BUTTON},
    {0, nullptr, nullptr, 0, BTNS_SEP},
    {kBtnExport, "Export", "Ctrl+E", 1, BTNS_BUTTON},
    {0, nullptr, nullptr, 0, BTNS_SEP},
    {kBtnCopy, "Copy", "Ctrl+C", 2, BTNS_BUTTON},
    {0, nullptr, nullptr, 0, BTNS_SEP},
    {kBtnWrap, "Wrap", "Ctrl+W", 3, BTNS_CHECK},
    {0, nullptr, nullptr, 0, BTNS_SEP},
    {kBtnFind, "Find", "Ctrl+F", 4, BTNS_BUTTON},
    {0, nullptr, nullptr, 0, BTNS_SEP},
    {kBtnSettings, "Settings", "Ctrl+S", 5, BTNS_BUTTON},
    {0, nullptr, nullptr, 0, BTNS_SEP},
    {kBtnAbout, "About", "F1", 6, BTNS_BUTTON},
};

struct MenuShortcut {
    int shortcut;  // key code + 8192 Shift + 16384 Ctrl + 32768 Alt
    int item;
};
constexpr MenuShortcut kMenuShortcuts[] = {
    {16384 + 'C', kCmdCopySelection},
    {16384 + 'A', kCmdSelectAll},
    {16384 + 'T', kCmdStayonTop},
};

bool KeyHeld(int key) { return ::GetKeyState(key) < 0; }

int ShortcutValue(WORD key) {
    return key + (KeyHeld(VK_SHIFT) ? 8192 : 0) + (KeyHeld(VK_CONTROL) ? 16384 : 0) + (KeyHeld(VK_MENU) ? 32768 : 0);
}

RECT WindowRectOf(HWND wnd) {
    RECT rect{};
    ::GetWindowRect(wnd, &rect);
    return rect;
}

// Clears a flag when the scope ends, whichever way it ends.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;
    ~FlagScope() { flag_ = false; }

private:
    bool& flag_;
};

}  // namespace

class TFrmMain::NestedLoopScope {
public:
    explicit NestedLoopScope(TFrmMain& frm) : frm_(frm) { ++frm_.nestedLoops_; }
    NestedLoopScope(const NestedLoopScope&) = delete;
    NestedLoopScope& operator=(const NestedLoopScope&) = delete;
    ~NestedLoopScope() {
        if (--frm_.nestedLoops_ == 0 && frm_.closePending_) {
            frm_.closePending_ = false;
            ::PostMessageA(frm_.wnd_, WM_CLOSE, 0, 0);
        }
    }

private:
    TFrmMain& frm_;
};

TFrmMain::TFrmMain(FrmMainServices services) : services_(std::move(services)) {
    locale_ = platform::ReadUserLocale();
}

TFrmMain::~TFrmMain() {
    dlgFind_.reset();
    if (wnd_ && ::IsWindow(wnd_)) {
        services_.endsProgram = false;
        ::DestroyWindow(wnd_);
    }
}

// ---- creation ---------------------------------------------------------------------------------

void TFrmMain::Create() {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    // A Unicode window, so that its caption holds any file name and gives it back as it is.
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &TFrmMain::WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconW(instance, L"MAINICON");
    windowClass.hIconSm = static_cast<HICON>(::LoadImageW(instance, L"MAINICON", IMAGE_ICON, 16, 16, 0));
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    ::RegisterClassExW(&windowClass);  // a second window of the class (tests) finds it registered

    RECT frame{0, 0, kDesignedClientWidth, kDesignedClientHeight};
    ::AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    wnd_ = ::CreateWindowExW(0, kWindowClass, platform::Widen(platform::kAppTitle).c_str(),
                             WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                             frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, this);
    if (!wnd_) throw core::AppError("Cannot create the main window");
    Guarded([this] { FormCreate(); });
}

LRESULT CALLBACK TFrmMain::WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<TFrmMain*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->wnd_ = wnd;
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TFrmMain*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(wnd, msg, wp, lp);
    LRESULT result = 0;
    bool handled = false;
    self->Guarded([&] {
        result = self->HandleMessage(msg, wp, lp);
        handled = true;
    });
    return handled ? result : 0;
}

template <typename Handler>
void TFrmMain::Guarded(Handler&& handler) {
    try {
        handler();
    } catch (const core::AppError& error) {
        ShowError(error.what());
    } catch (const std::bad_alloc&) {
        ShowError("There is not enough memory to finish this command");
    } catch (const std::exception& error) {
        ShowError(error.what());
    }
}

void TFrmMain::ShowError(const std::string& message) { Message(core::WithFullStop(message), MB_OK | MB_ICONERROR); }

int TFrmMain::Message(const std::string& text, UINT flags) { return MessageOwnedBy(wnd_, text, flags); }

int TFrmMain::MessageOwnedBy(HWND owner, const std::string& text, UINT flags) {
    NestedLoopScope modal(*this);
    return services_.prompts.Message(owner, text, flags);
}

void TFrmMain::Warn(std::string_view text) { Message(std::string(text), MB_OK | MB_ICONEXCLAMATION); }

void TFrmMain::CreateControls() {
    windowFont_.reset(::CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, OEM_CHARSET, OUT_DEFAULT_PRECIS,
                                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Tahoma"));
    {
        platform::WindowDC screen(nullptr);
        pixelsPerInch_ = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    memo_ = std::make_unique<platform::TextView>(wnd_, kMemoId, static_cast<platform::TextViewEvents&>(*this));
    memo_->SetFont("Terminal", core::FontHeightFromPoints(9, pixelsPerInch_));
    CreateToolBar();
    statusBar_ = std::make_unique<platform::StatusBar>(wnd_, kStatusBarId);
    CreateMenu();
    dlgFind_ = std::make_unique<forms::FindDialog>(wnd_);
}

void TFrmMain::CreateToolBar() {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    toolBar_ = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TRANSPARENT |
                                     TBSTYLE_WRAPABLE | TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NOPARENTALIGN |
                                     CCS_NODIVIDER,
                                 0, 0, kDesignedClientWidth, toolBarHeight_ - kToolBarEdge, wnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kToolBarId)), instance, nullptr);
    ::SendMessageA(toolBar_, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont_.get()), FALSE);
    ::SendMessageA(toolBar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    imageList_.reset(ImageList_LoadImageA(instance, MAKEINTRESOURCEA(IDB_TOOLBAR), 16, 0, kImageMask, IMAGE_BITMAP,
                                          LR_CREATEDIBSECTION));
    ::SendMessageA(toolBar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(imageList_.get()));
    ::SendMessageA(toolBar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 16));
    ::SendMessageA(toolBar_, TB_SETBUTTONSIZE, 0, MAKELPARAM(kButtonWidth, kButtonHeight));
    for (const ToolButton& spec : kToolButtons) {
        TBBUTTON button{};
        button.fsStyle = spec.style;
        if (spec.id) {
            button.iBitmap = spec.image;
            button.idCommand = spec.id;
            button.fsState = TBSTATE_ENABLED;
            button.iString = reinterpret_cast<INT_PTR>(spec.caption);
        } else {
            button.iBitmap = kSeparatorWidth;  // a separator's image index is its width
        }
        ::SendMessageA(toolBar_, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
    }
    ::SendMessageA(toolBar_, TB_SETBUTTONSIZE, 0, MAKELPARAM(kButtonWidth, kButtonHeight));
}

void TFrmMain::CreateMenu() {
    mnuMain_.reset(::CreatePopupMenu());
    HMENU menu = MainMenu();
    ::AppendMenuA(menu, MF_STRING | MF_GRAYED, kCmdCopySelection, "&Copy\tCtrl+C");
    ::AppendMenuA(menu, MF_STRING | MF_GRAYED, kCmdSelectAll, "&Select All\tCtrl+A");
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, kCmdStayonTop, "Stay on &Top\tCtrl+T");
    ::AppendMenuA(menu, MF_STRING, kCmdCopyonSelect, "Copy o&n Select");
}

// ---- message routing --------------------------------------------------------------------------

LRESULT TFrmMain::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (bool findNext = false; dlgFind_ && dlgFind_->TakeMessage(msg, lp, findNext)) {
        if (findNext) DlgFindFind();
        return 0;
    }
    switch (msg) {
    case WM_CREATE:
        CreateControls();
        return 0;
    case WM_SIZE:
        FormResize();
        return 0;
    case WM_COMMAND:
        if (RunCommand(LOWORD(wp))) return 0;
        break;
    case WM_NOTIFYFORMAT:  // the tool bar's hints are ANSI texts
        return NFR_ANSI;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lp);
        if (header->code == TTN_GETDISPINFOA) {
            auto* info = reinterpret_cast<NMTTDISPINFOA*>(lp);
            for (const ToolButton& spec : kToolButtons)
                if (spec.id && static_cast<UINT_PTR>(spec.id) == header->idFrom) info->lpszText = const_cast<char*>(spec.hint);
            return 0;
        }
        break;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(wnd_, &paint);
        PaintToolBarEdge(dc);
        ::EndPaint(wnd_, &paint);
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE && memo_) memo_->Focus();
        return 0;
    case WM_SETFOCUS:
        return 0;
    case WM_CHAR:
        FormKeyPress(static_cast<wchar_t>(wp));
        return 0;
    case WM_DROPFILES:
        WMDropFiles(reinterpret_cast<HDROP>(wp));
        return 0;
    case WM_WININICHANGE:
        locale_ = platform::ReadUserLocale();
        break;
    case WM_CLOSE:
        FormClose();
        return 0;
    case WM_DESTROY:
        if (dlgFind_) dlgFind_->Close();
        if (services_.endsProgram) ::PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        ::SetWindowLongPtrW(wnd_, GWLP_USERDATA, 0);
        memo_.reset();
        wnd_ = nullptr;
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(wnd_, msg, wp, lp);
}

bool TFrmMain::RunCommand(int id) {
    switch (id) {
    case kBtnOpen: BtnOpenClick(); return true;
    case kBtnExport: BtnExportClick(); return true;
    case kBtnCopy: BtnCopyClick(); return true;
    case kBtnWrap: BtnWrapClick(); return true;
    case kBtnFind: BtnFindClick(); return true;
    case kBtnSettings: BtnSettingsClick(); return true;
    case kBtnAbout: BtnAboutClick(); return true;
    case kCmdCopySelection: cmdCopySelectionClick(); return true;
    case kCmdSelectAll: cmdSelectAllClick(); return true;
    case kCmdStayonTop: cmdStayonTopClick(); return true;
    case kCmdCopyonSelect: cmdCopyonSelectClick(); return true;
    default: return false;
    }
}

bool TFrmMain::PreTranslateMessage(MSG& msg) {
    if (dlgFind_ && dlgFind_->PreTranslateMessage(msg)) return true;
    if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && memo_ && memo_->Owns(msg.hwnd)) {
        bool taken = false;
        Guarded([&] { taken = TakeMenuShortcut(static_cast<WORD>(msg.wParam)); });
        return taken;
    }
    return false;
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

// The menu takes its shortcuts before the view: used up even when they do nothing.
bool TFrmMain::TakeMenuShortcut(WORD key) {
    const int value = ShortcutValue(key);
    for (const MenuShortcut& entry : kMenuShortcuts) {
        if (entry.shortcut != value) continue;
        if (ShortcutEnabled(entry.item)) RunCommand(entry.item);
        return true;
    }
    return false;
}

// Ctrl+C follows the selection, as the Copy button and its hint do; the menu item's enabled
// state is only refreshed when the menu opens, so it may be stale. The others follow their item.
bool TFrmMain::ShortcutEnabled(int item) const {
    if (item == kCmdCopySelection) return memo_->GetSelection().length() > 0;
    return MenuItemEnabled(item);
}

// ---- layout -----------------------------------------------------------------------------------

void TFrmMain::LayoutToolBar(int width) {
    ::MoveWindow(toolBar_, 0, 0, width, toolBarHeight_ - kToolBarEdge, FALSE);
    ::SendMessageA(toolBar_, TB_AUTOSIZE, 0, 0);
    // The buttons wrap onto more rows when the window is narrow; the bar grows to hold them.
    int bottom = kButtonHeight;
    const int count = static_cast<int>(::SendMessageA(toolBar_, TB_BUTTONCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        RECT item{};
        if (::SendMessageA(toolBar_, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)))
            bottom = std::max<int>(bottom, item.bottom);
    }
    toolBarHeight_ = bottom + 4 + kToolBarEdge;
    ::MoveWindow(toolBar_, 0, 0, width, toolBarHeight_ - kToolBarEdge, TRUE);
}

void TFrmMain::PaintToolBarEdge(HDC dc) {
    RECT client{};
    ::GetClientRect(wnd_, &client);
    RECT edge{0, toolBarHeight_ - kToolBarEdge, client.right, toolBarHeight_};
    ::DrawEdge(dc, &edge, EDGE_ETCHED, BF_BOTTOM);
}

void TFrmMain::FormResize() {
    if (!toolBar_ || !statusBar_ || !memo_) return;
    RECT client{};
    ::GetClientRect(wnd_, &client);
    LayoutToolBar(client.right);
    const int barHeight = statusBar_->Layout();
    memo_->Move(0, toolBarHeight_, client.right, client.bottom - barHeight - toolBarHeight_);
    RECT edge{0, toolBarHeight_ - kToolBarEdge, client.right, toolBarHeight_};
    ::InvalidateRect(wnd_, &edge, TRUE);
}

void TFrmMain::SetStatusText(int panel, const std::string& text) { statusBar_->SetText(panel, text); }

std::string TFrmMain::StatusText(int panel) const { return statusBar_->Text(panel); }

// ---- start and close ----------------------------------------------------------------------------

void TFrmMain::FormCreate() {
    core::SettingsStore store(services_.registry, services_.ini, *this);
    store.ImportIniSettings();
    store.WriteFirstRunDefaults();
    store.Load();
    OpenCommandLineFile();
    ::DragAcceptFiles(wnd_, TRUE);
}

void TFrmMain::FormClose() {
    if (nestedLoops_ > 0) {
        closePending_ = true;  // the handler running a loop finishes first, then the close is repeated
        return;
    }
    core::SettingsStore store(services_.registry, services_.ini, *this);
    store.Save();  // an error here keeps the window open
    DeleteTempFile();
    ::DestroyWindow(wnd_);
}

void TFrmMain::DeleteTempFile() {
    const std::string path = platform::TempFilePath();
    if (platform::FileExists(path)) platform::DeleteFileAt(path);
}

// ---- opening files ----------------------------------------------------------------------------

bool TFrmMain::RefuseWhileBusy() const {
    const bool busy = loading_ || exporting_;
    if (busy) ::MessageBeep(MB_OK);
    return busy;
}

// A folder reaches the roads as easily as a file (a drop, a typed name): it is named for what it is.
bool TFrmMain::RefuseFolder(const std::string& path) {
    if (!platform::FolderExists(path)) return false;
    Warn(core::FolderNotFileText(path));
    return true;
}

void TFrmMain::OpenCommandLineFile() {
    const std::optional<std::string> argument = core::FirstArgument(services_.commandLine);
    if (!argument || RefuseFolder(*argument)) return;
    if (platform::FileExists(*argument))
        ShowFile(*argument);
    else
        Warn(core::FileMissingText(*argument));
}

void TFrmMain::BtnOpenClick() {
    if (RefuseWhileBusy()) return;
    static constexpr wchar_t kFilter[] = L"Text Files\0*.txt;*.nfo;*.diz;*.bbs;*.ion\0All Files\0*.*\0";
    // With a file shown the dialog starts at it, in its folder; otherwise where it was left.
    const std::wstring start = shownFullPath_.empty() ? openPath_ : platform::Widen(shownFullPath_);
    const std::wstring startFolder = platform::Widen(core::FolderOf(shownFullPath_));
    // Room for the longest path the system accepts, so a long name is never cut.
    std::vector<wchar_t> path(kLongestPath, L'\0');
    std::copy_n(start.begin(), std::min(start.size(), path.size() - 1), path.begin());
    OPENFILENAMEW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = wnd_;
    request.lpstrFilter = kFilter;
    request.nFilterIndex = openFilterIndex_;
    request.lpstrFile = path.data();
    request.nMaxFile = static_cast<DWORD>(path.size());
    request.lpstrInitialDir = startFolder.empty() ? nullptr : startFolder.c_str();
    request.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING | OFN_EXPLORER;
    {
        NestedLoopScope modal(*this);
        if (!services_.prompts.OpenFileName(request)) return;
    }
    path.back() = L'\0';
    openPath_ = path.data();
    openFilterIndex_ = request.nFilterIndex;
    const std::string chosen = platform::Narrow(openPath_);
    if (RefuseFolder(chosen)) return;
    ShowFile(chosen);
}

void TFrmMain::WMDropFiles(HDROP drop) {
    platform::UniqueDrop owned(drop);  // released on every road out
    if (RefuseWhileBusy()) return;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    if (count > 1) {
        Message("Don't drop more than one file!", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (count == 0) return;
    // The whole name, however long: a cut name would name nothing.
    std::wstring buffer(::DragQueryFileW(drop, 0, nullptr, 0) + 1, L'\0');
    const UINT length = ::DragQueryFileW(drop, 0, buffer.data(), static_cast<UINT>(buffer.size()));
    const std::string path = platform::Narrow(std::wstring_view(buffer.data(), length));
    if (RefuseFolder(path) || !platform::FileExists(path)) return;
    ShowFile(path);
}

void TFrmMain::ShowFile(const std::string& path) {
    const std::string shownPath = StatusText(0);
    if (!LoadTextFile(path)) {
        // The view still shows the earlier file: so do the status bar and Select All, once the
        // copy's progress text is gone.
        SetStatusText(0, shownPath);
        return;
    }
    SetMenuItemEnabled(kCmdSelectAll, !memo_->Text().empty());
    SetStatusText(0, path);
    shownFullPath_ = platform::AbsolutePath(path);
    ShowCaption(path);
    SetStatusText(2, core::FormatSizeText(platform::GetFileSizeBytes(path), locale_.thousandSeparator));
    SetStatusText(4, GetFileDateText(path));
}

bool TFrmMain::LoadTextFile(const std::string& path) {
    if (loading_) return false;
    NestedLoopScope pumping(*this);
    FlagScope busy(loading_);
    const std::string shownPath = StatusText(0);
    std::optional<std::string> text;
    try {
        text = platform::LoadViewText(path, *this);
    } catch (...) {
        SetStatusText(0, shownPath);  // a copy that failed half-way must not leave its progress text
        throw;
    }
    if (!text) return false;  // the loader has said why
    if (!memo_->SetText(std::move(*text))) {  // no memory for its index: the view keeps the old text
        Message(core::NotEnoughMemoryText(path), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

// Any date a file system can hold is shown; only a file that cannot be found has none.
std::string TFrmMain::GetFileDateText(const std::string& path) const {
    const auto when = platform::GetFileLocalWriteTime(path);
    if (!when) throw core::AppError("Invalid argument to date encode");
    return core::FormatDateText(*when, locale_);
}

void TFrmMain::ShowProgress() { SetStatusText(0, "Parsing file..."); }

void TFrmMain::ShowMessage(const std::string& text) { Message(text, MB_OK); }

void TFrmMain::ShowWarning(const std::string& text) { Warn(text); }

void TFrmMain::ShowCaption(const std::string& shownPath) {
    ::SetWindowTextW(wnd_, platform::Widen(core::MainCaption(shownPath, platform::kAppTitle)).c_str());
}

// ---- viewer commands ----------------------------------------------------------------------------

void TFrmMain::BtnExportClick() {
    if (RefuseWhileBusy()) return;
    NestedLoopScope running(*this);  // prompts and the drawing pump: a close waits for the end
    FlagScope busy(exporting_);
    const std::string shownPath = StatusText(0);
    if (shownPath.empty()) return Warn(core::kExportNoFileText);
    const int count = platform::ExportLineCount(*memo_);
    if (auto refusal = core::ExportLineCountRefusal(count)) return Warn(*refusal);
    const std::vector<std::string> lines = platform::ReadExportLines(*memo_, count);
    if (auto refusal = core::ExportLineLengthRefusal(core::LongestLine(lines))) return Warn(*refusal);
    const auto target = platform::AskExportFile(services_.prompts, wnd_, core::DefaultExportName(shownPath));
    if (!target) return;
    // Writing over the shown file would replace the text with its own picture.
    if (platform::SameFile(shownFullPath_, platform::Narrow(*target)))
        return Warn(core::ExportOverShownFileText(platform::Narrow(*target)));
    // No is the default: a stray Enter keeps the file.
    if (platform::ExportTargetExists(*target) &&
        Message(core::kExportOverwriteText, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES)
        return;
    platform::ExportBitmap(*target, lines, platform::PictureStyleOf(*memo_), [this] { ProcessPendingMessages(); });
}

void TFrmMain::AttachSettingsDialog(TFrmSettings& dialog, const AssociationServices& associations) {
    frmSettings_ = &dialog;
    associations_.emplace(associations);
}

void TFrmMain::BtnSettingsClick() {
    if (RefuseWhileBusy() || !frmSettings_ || frmSettings_->Showing()) return;
    TFrmSettings& dialog = *frmSettings_;
    core::FileAssociations associations(associations_->classes, [this] { associations_->shell.AssociationsChanged(); });
    dialog.SelectFontName(FontName());
    dialog.SelectPointSize(FontPointSize());
    dialog.SelectColours(FontColor(), BackColor());
    dialog.TickAssociated(associations.ReadAssociated());
    {
        NestedLoopScope modal(*this);
        if (!dialog.ShowModal()) return;
    }
    // A list left without a selection keeps the view's own value.
    if (const auto name = dialog.ChosenFontName()) SetFontName(*name);
    if (const auto points = dialog.ChosenPointSize()) SetFontPointSize(*points);
    if (const auto colour = dialog.ChosenTextColour()) SetFontColor(*colour);
    if (const auto colour = dialog.ChosenBackColour()) SetBackColor(*colour);
    associations.Write(platform::ShellExecutablePath(), dialog.Ticked());
}

void TFrmMain::BtnAboutClick() {
    if (RefuseWhileBusy() || !frmAbout_) return;
    const std::string osVersion = core::OsVersionLine(platform::QueryOsVersion());
    const core::MemoryFigures memory = platform::QueryMemoryFigures();
    frmAbout_->SetSystemLines(osVersion, core::PhysicalMemoryLine(memory), core::PageFileLine(memory));
    NestedLoopScope modal(*this);
    frmAbout_->ShowModal();
}

void TFrmMain::CopySelection() {
    const platform::Selection selection = memo_->GetSelection();
    if (selection.length() == 0) return;  // an empty selection leaves the clipboard as it was
    platform::CopyBytesToClipboard(wnd_, std::string_view(memo_->Text()).substr(selection.start, selection.length()));
}

void TFrmMain::BtnCopyClick() {
    if (memo_->GetSelection().length() > 0) CopySelection();
}

void TFrmMain::cmdCopySelectionClick() { CopySelection(); }

void TFrmMain::cmdSelectAllClick() { memo_->SelectAll(); }

void TFrmMain::mnuMainPopup() { SetMenuItemEnabled(kCmdCopySelection, memo_->GetSelection().length() > 0); }

bool TFrmMain::WrapDownState() const {
    return (::SendMessageA(toolBar_, TB_GETSTATE, kBtnWrap, 0) & TBSTATE_CHECKED) != 0;
}

void TFrmMain::BtnWrapClick() {
    memo_->SetWrap(WrapDownState());
    FormResize();
}

void TFrmMain::cmdStayonTopClick() {
    SetMenuItemChecked(kCmdStayonTop, !MenuItemChecked(kCmdStayonTop));
    ApplyStayOnTop();
}

void TFrmMain::ApplyStayOnTop() {
    HWND order = MenuItemChecked(kCmdStayonTop) ? HWND_TOPMOST : HWND_NOTOPMOST;
    ::SetWindowPos(wnd_, order, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void TFrmMain::cmdCopyonSelectClick() { SetMenuItemChecked(kCmdCopyonSelect, !MenuItemChecked(kCmdCopyonSelect)); }

void TFrmMain::SetMenuItemEnabled(int id, bool enabled) {
    ::EnableMenuItem(MainMenu(), id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void TFrmMain::SetMenuItemChecked(int id, bool checked) {
    ::CheckMenuItem(MainMenu(), id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool TFrmMain::MenuItemChecked(int id) const {
    return (::GetMenuState(MainMenu(), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

bool TFrmMain::MenuItemEnabled(int id) const {
    return (::GetMenuState(MainMenu(), id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
}

// ---- find ---------------------------------------------------------------------------------------

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
        MessageOwnedBy(dialog ? dialog : wnd_, "Cannot find specified text.", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    memo_->SetSelection(*match, *match + needle->size());
    memo_->ScrollCaret();
}

// ---- keyboard and mouse -----------------------------------------------------------------------

void TFrmMain::ViewKeyDown(WORD key) { Guarded([&] { MemoKeyDown(key); }); }
void TFrmMain::ViewChar(wchar_t ch) { Guarded([&] { MemoKeyPress(ch); }); }
void TFrmMain::ViewKeyUp(WORD key) { Guarded([&] { MemoKeyUp(key); }); }
void TFrmMain::ViewMouseUp() { Guarded([&] { MemoMouseUp(); }); }

void TFrmMain::ViewContextMenu(POINT screen) {
    Guarded([&] { mnuMainPopup(); });
    NestedLoopScope menuLoop(*this);
    ::TrackPopupMenu(MainMenu(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, wnd_, nullptr);
}

void TFrmMain::MemoKeyDown(WORD key) {
    const bool ctrl = KeyHeld(VK_CONTROL);
    if (ctrl && key == 'O') BtnOpenClick();
    if (ctrl && key == 'E') BtnExportClick();
    if (ctrl && key == 'W') {
        const bool down = !WrapDownState();
        ::SendMessageA(toolBar_, TB_CHECKBUTTON, kBtnWrap, MAKELPARAM(down, 0));
        BtnWrapClick();
    }
    if (ctrl && key == 'F') BtnFindClick();
    if (ctrl && key == 'S') BtnSettingsClick();
    if (key == VK_F1) BtnAboutClick();
}

void TFrmMain::MemoKeyPress(wchar_t ch) {
    if (ch == 27) ::PostMessageA(wnd_, WM_CLOSE, 0, 0);
}

void TFrmMain::FormKeyPress(wchar_t ch) {
    if (ch == 27) ::PostMessageA(wnd_, WM_CLOSE, 0, 0);
}

void TFrmMain::MemoKeyUp(WORD) {
    if (MenuItemChecked(kCmdCopyonSelect) && memo_->GetSelection().length() > 0) CopySelection();
}

void TFrmMain::MemoMouseUp() {
    if (MenuItemChecked(kCmdCopyonSelect) && memo_->GetSelection().length() > 0) CopySelection();
}

// ---- the settings' controls ---------------------------------------------------------------------

std::int32_t TFrmMain::FontColor() const { return memo_->FontColor(); }
void TFrmMain::SetFontColor(std::int32_t colour) { memo_->SetFontColor(colour); }
std::int32_t TFrmMain::BackColor() const { return memo_->BackColor(); }
void TFrmMain::SetBackColor(std::int32_t colour) { memo_->SetBackColor(colour); }
std::string TFrmMain::FontName() const { return memo_->FontName(); }
void TFrmMain::SetFontName(const std::string& name) { memo_->SetFont(name, memo_->FontHeight()); }
int TFrmMain::FontPointSize() const { return core::PointsFromFontHeight(memo_->FontHeight(), pixelsPerInch_); }
void TFrmMain::SetFontPointSize(int points) {
    memo_->SetFont(memo_->FontName(), core::FontHeightFromPoints(points, pixelsPerInch_));
}
bool TFrmMain::WrapDown() const { return WrapDownState(); }
void TFrmMain::PressWrap() {
    ::SendMessageA(toolBar_, TB_CHECKBUTTON, kBtnWrap, MAKELPARAM(TRUE, 0));
    BtnWrapClick();
}
bool TFrmMain::CopyOnSelect() const { return MenuItemChecked(kCmdCopyonSelect); }
void TFrmMain::CheckCopyOnSelect() { SetMenuItemChecked(kCmdCopyonSelect, true); }
bool TFrmMain::StayOnTop() const { return MenuItemChecked(kCmdStayonTop); }
void TFrmMain::CheckStayOnTop() {
    SetMenuItemChecked(kCmdStayonTop, true);
    ApplyStayOnTop();
}

core::WindowBounds TFrmMain::SavedBounds() const {
    RECT rect = WindowRectOf(wnd_);
    if (::IsIconic(wnd_)) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        ::GetWindowPlacement(wnd_, &placement);
        rect = placement.rcNormalPosition;
    }
    return core::WindowBounds{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void TFrmMain::SetLeft(int left) {
    const RECT rect = WindowRectOf(wnd_);
    ::SetWindowPos(wnd_, nullptr, left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
void TFrmMain::SetTop(int top) {
    const RECT rect = WindowRectOf(wnd_);
    ::SetWindowPos(wnd_, nullptr, rect.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
void TFrmMain::SetWidth(int width) {
    const RECT rect = WindowRectOf(wnd_);
    ::SetWindowPos(wnd_, nullptr, 0, 0, width, rect.bottom - rect.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
void TFrmMain::SetHeight(int height) {
    const RECT rect = WindowRectOf(wnd_);
    ::SetWindowPos(wnd_, nullptr, 0, 0, rect.right - rect.left, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
core::Size TFrmMain::OuterSize() const {
    const RECT rect = WindowRectOf(wnd_);
    return core::Size{rect.right - rect.left, rect.bottom - rect.top};
}
core::Size TFrmMain::ScreenSize() const {
    return core::Size{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

}  // namespace forms
