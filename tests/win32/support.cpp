#include "tests/win32/support.hpp"

#include <cstring>
#include <cwchar>
#include <fstream>
#include <iterator>

#include <shlobj.h>

#include "platform/files.hpp"
#include "platform/unicode.hpp"

namespace testing_support {

int ScriptedPrompts::Message(HWND, const std::string& text, UINT flags) {
    messages.push_back({text, flags});
    if (onMessage) onMessage();
    if (answers.empty()) return (flags & MB_YESNO) ? IDYES : IDOK;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

bool ScriptedPrompts::OpenFileName(OPENFILENAMEA& request) {
    openRequests.push_back(request);
    openInitialPaths.emplace_back(request.lpstrFile ? request.lpstrFile : "");
    if (openAnswers.empty()) return false;
    const FileAnswer answer = openAnswers.front();
    openAnswers.pop_front();
    std::strncpy(request.lpstrFile, answer.path.c_str(), request.nMaxFile - 1);
    request.lpstrFile[request.nMaxFile - 1] = '\0';
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
    return true;
}

ScratchFolder::ScratchFolder() {
    static int counter = 0;
    path_ = platform::GetTempDir() + "corvale-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(++counter);
    ::CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    WIN32_FIND_DATAA found{};
    HANDLE search = ::FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string full = path_ + "\\" + name;
            ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                ::RemoveDirectoryA(full.c_str());
            else
                ::DeleteFileA(full.c_str());
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryA(path_.c_str());
}

std::string ScratchFolder::Write(const std::string& name, const std::string& bytes) const {
    const std::string full = path_ + "\\" + name;
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return full;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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
    std::string list;
    for (const std::string& path : paths) list += path + '\0';
    list += '\0';
    if (paths.empty()) list += '\0';
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list.size());
    ::GlobalUnlock(memory);
    return memory;
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
    frm_ = std::make_unique<forms::TFrmMain>(forms::FrmMainServices{prompts_, registry_, *ini_, commandLine, false});
    frm_->Create();
    ::ShowWindow(frm_->Handle(), SW_SHOWNORMAL);
    Pump();
}

void MainWindowTest::Pump() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        if (frm_ && frm_->Handle() && frm_->PreTranslateMessage(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
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
