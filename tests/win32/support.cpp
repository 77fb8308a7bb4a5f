#include "tests/win32/support.hpp"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <cwchar>
#include <fstream>
#include <iterator>

#include <commctrl.h>
#include <shlobj.h>

#include "core/file_info_text.hpp"
#include "platform/files.hpp"
#include "platform/locale.hpp"
#include "platform/unicode.hpp"
#include "platform/win_handles.hpp"

namespace testing_support {

namespace {

// Presses Enter in the message box that the thread's timer finds active.
void CALLBACK PressEnterInTheBox(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    HWND focus = ::GetFocus();
    ::PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 1);
    ::PostMessageW(focus, WM_KEYUP, VK_RETURN, 0xC0000001);
}

}  // namespace

int ScriptedPrompts::Message(HWND owner, const std::string& text, UINT flags) {
    messages.push_back({text, flags, owner});
    if (realBoxes) {
        ::SetTimer(nullptr, 0, 50, &PressEnterInTheBox);
        return ::MessageBoxW(owner, platform::Widen(text).c_str(), platform::Widen(platform::kAppTitle).c_str(), flags);
    }
    if (onMessage) onMessage();
    if (answers.empty()) return (flags & MB_YESNO) ? IDYES : IDOK;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

bool ScriptedPrompts::OpenFileName(OPENFILENAMEW& request) {
    openRequests.push_back(request);
    openInitialPaths.push_back(request.lpstrFile ? platform::Narrow(request.lpstrFile) : "");
    openInitialFolders.push_back(request.lpstrInitialDir ? platform::Narrow(request.lpstrInitialDir) : "");
    if (openAnswers.empty()) return false;
    const FileAnswer answer = openAnswers.front();
    openAnswers.pop_front();
    const std::wstring path = platform::Widen(answer.path);
    std::wcsncpy(request.lpstrFile, path.c_str(), request.nMaxFile - 1);
    request.lpstrFile[request.nMaxFile - 1] = L'\0';
    request.nFilterIndex = answer.filterIndex;
    return true;
}

namespace {

// A double-NUL-ended list of strings, with its inner NULs and without the final one.
std::wstring_view FilterOf(const wchar_t* filter) {
    if (!filter) return {};
    std::size_t length = 0;
    while (filter[length] || filter[length + 1]) ++length;
    return std::wstring_view(filter, length + 1);
}

}  // namespace

bool ScriptedPrompts::SaveFileName(OPENFILENAMEW& request) {
    saveRequests.push_back({platform::Narrow(request.lpstrTitle ? request.lpstrTitle : L""),
                            platform::Narrow(FilterOf(request.lpstrFilter)),
                            platform::Narrow(request.lpstrFile ? request.lpstrFile : L""), request.Flags,
                            request.lpstrDefExt != nullptr, request.lpstrInitialDir != nullptr});
    if (saveAnswers.empty()) return false;
    const std::wstring answer = platform::Widen(saveAnswers.front());
    saveAnswers.pop_front();
    if (answer.size() >= request.nMaxFile) return false;
    std::wcscpy(request.lpstrFile, answer.c_str());
    if (onSave) onSave(request);
    return true;
}

ScratchFolder::ScratchFolder() {
    static int counter = 0;
    path_ = platform::GetTempDir() + "corvale-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(++counter);
    ::CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    const std::wstring folder = platform::Widen(path_);
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring full = platform::FileApiPath(platform::Narrow(folder + L"\\" + name));
            ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                ::RemoveDirectoryW(full.c_str());
            else
                ::DeleteFileW(full.c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(folder.c_str());
}

std::string ScratchFolder::Write(const std::string& name, const std::string& bytes) const {
    const std::string full = path_ + "\\" + name;
    platform::UniqueFile file(::CreateFileW(platform::FileApiPath(full).c_str(), GENERIC_WRITE, 0, nullptr,
                                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file && !bytes.empty())
        ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    EXPECT_TRUE(file && written == bytes.size()) << full;
    return full;
}

std::string ReadFileBytes(const std::string& path) {
    platform::UniqueFile file(::CreateFileW(platform::FileApiPath(path).c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    char block[65536];
    DWORD got = 0;
    while (file && ::ReadFile(file.get(), block, sizeof block, &got, nullptr) && got > 0) bytes.append(block, got);
    return bytes;
}

void SetLocalWriteTime(const std::string& path, WORD year, WORD month, WORD day, WORD hour, WORD minute) {
    const SYSTEMTIME local{year, month, 0, day, hour, minute, 30, 0};
    FILETIME localTime{}, utc{};
    ASSERT_TRUE(::SystemTimeToFileTime(&local, &localTime));
    ASSERT_TRUE(::LocalFileTimeToFileTime(&localTime, &utc));
    platform::UniqueFile file(::CreateFileW(platform::FileApiPath(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                            FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file) << path;
    EXPECT_TRUE(::SetFileTime(file.get(), nullptr, nullptr, &utc));
}

std::string ExpectedDateText(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(platform::FileApiPath(path).c_str(), GetFileExInfoStandard, &data))
        return "<not found>";
    FILETIME local{};
    SYSTEMTIME t{};
    ::FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
    ::FileTimeToSystemTime(&local, &t);
    const core::CalendarTime when{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
    return core::FormatDateText(when, platform::ReadUserLocale());
}

std::string ExpectedSizeText(std::int32_t size) {
    return core::FormatSizeText(size, platform::ReadUserLocale().thousandSeparator);
}

TempDirOverride::TempDirOverride(const std::string& dir) {
    for (const wchar_t* name : {L"TMP", L"TEMP"}) {
        std::wstring value(::GetEnvironmentVariableW(name, nullptr, 0), L'\0');
        const DWORD length = ::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
        value.resize(length < value.size() ? length : 0);
        saved_.push_back({name, value, length != 0});
        ::SetEnvironmentVariableW(name, platform::Widen(dir).c_str());
    }
}

TempDirOverride::~TempDirOverride() {
    for (const Saved& saved : saved_) ::SetEnvironmentVariableW(saved.name, saved.existed ? saved.value.c_str() : nullptr);
}

void DeleteSettingsKey() { ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\corvalex"); }

std::string ClipboardText(UINT format) {
    std::string result;
    if (!::OpenClipboard(nullptr)) return result;
    if (HANDLE data = ::GetClipboardData(format)) {
        if (const void* bytes = ::GlobalLock(data)) {
            if (format == CF_UNICODETEXT) {
                const auto* wide = static_cast<const wchar_t*>(bytes);
                result.assign(reinterpret_cast<const char*>(wide), std::wcslen(wide) * sizeof(wchar_t));
            } else {
                result = static_cast<const char*>(bytes);
            }
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return result;
}

void SetClipboardMarker(const std::string& text) {
    if (!::OpenClipboard(nullptr)) return;
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(::GlobalLock(memory), text.c_str(), text.size() + 1);
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_TEXT, memory);
    ::CloseClipboard();
}

void SetKeys(std::initializer_list<int> held) {
    BYTE state[256] = {};
    for (int key : held) state[key] = 0x80;
    ::SetKeyboardState(state);
}

HGLOBAL MakeDrop(const std::vector<std::string>& paths) {
    std::wstring list;
    for (const std::string& path : paths) list += platform::Widen(path) + L'\0';
    list += L'\0';
    if (paths.empty()) list += L'\0';
    const std::size_t bytes = list.size() * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + bytes);
    auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), bytes);
    ::GlobalUnlock(memory);
    return memory;
}

std::string Lines(int count, const std::string& line) {
    std::string text;
    for (int i = 0; i < count; ++i) text += line + "\r\n";
    return text;
}

SIZE CellOf(HFONT font) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, font);
    SIZE a{};
    ::GetTextExtentPoint32W(dc, L"A", 1, &a);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return a;
}

std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string CaptionOf(HWND wnd) {
    wchar_t caption[512] = {};
    ::GetWindowTextW(wnd, caption, 512);
    return platform::Narrow(caption);
}

namespace {
constexpr const char* kRecorderProp = "CorvaleTestStatusRecorder";
}  // namespace

StatusRecorder::StatusRecorder(HWND bar) : bar_(bar) {
    ::SetPropA(bar_, kRecorderProp, this);
    previous_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(bar_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StatusRecorder::Proc)));
}

StatusRecorder::~StatusRecorder() {
    if (!::IsWindow(bar_)) return;
    ::SetWindowLongPtrW(bar_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    ::RemovePropA(bar_, kRecorderProp);
}

std::vector<std::string> StatusRecorder::Of(int panel) const {
    std::vector<std::string> of;
    for (const Text& t : texts_)
        if (t.panel == panel) of.push_back(t.text);
    return of;
}

LRESULT CALLBACK StatusRecorder::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = static_cast<StatusRecorder*>(::GetPropA(wnd, kRecorderProp));
    if (msg == kPumped) {
        self->texts_.push_back({0, kPumpedMark});
        return 0;
    }
    if (msg == SB_SETTEXTW) {
        const int panel = static_cast<int>(wp & 0xFF);
        self->texts_.push_back({panel, platform::Narrow(reinterpret_cast<const wchar_t*>(lp))});
        if (panel == 0 && self->onText) self->onText(self->texts_.back().text);
    }
    return ::CallWindowProcW(self->previous_, wnd, msg, wp, lp);
}

std::string MainWindowTest::ShowColoured(const std::string& bytes, COLORREF ink, COLORREF paper,
                                         const std::string& name) {
    if (!frm_) Start();
    const std::string path = scratch_.Write(name, bytes);
    Frm().ShowFile(path);
    Memo().SetFontColor(static_cast<std::int32_t>(ink));
    Memo().SetBackColor(static_cast<std::int32_t>(paper));
    Pump();
    return path;
}

void MainWindowTest::SetUp() {
    DeleteSettingsKey();
    ini_ = std::make_unique<platform::ProfileIniFile>(scratch_.Path() + "\\corvalex.ini");
    SetKeys({});
}

void MainWindowTest::TearDown() {
    SetKeys({});
    frm_.reset();
    Pump();
    DeleteSettingsKey();
    const std::string temp = platform::TempFilePath();
    ::SetFileAttributesA(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(temp.c_str());
}

void MainWindowTest::Start(const std::string& commandLine) {
    frm_ = std::make_unique<forms::TFrmMain>(
        forms::FrmMainServices{prompts_, registry_, *ini_, commandLine, false, shell_, loadProgressDelay_});
    frm_->Create();
    ::ShowWindow(frm_->Handle(), SW_SHOWNORMAL);
    Pump();
}

void MainWindowTest::Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        if (frm_ && frm_->Handle() && frm_->PreTranslateMessage(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void MainWindowTest::PressKey(WORD key, std::initializer_list<int> modifiers) {
    SetKeys(modifiers);
    HWND memo = Memo().Handle();
    ::PostMessageA(memo, WM_KEYDOWN, key, 1);
    Pump();
    if (frm_ && frm_->Handle()) ::PostMessageA(Memo().Handle(), WM_KEYUP, key, 0xC0000001);
    Pump();
    SetKeys({});
}

bool MainWindowTest::WindowAlive() const { return frm_ && frm_->Handle() && ::IsWindow(frm_->Handle()); }

}  // namespace testing_support
