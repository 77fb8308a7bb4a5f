#include "platform/prompts.hpp"

#include <algorithm>
#include <cwchar>

#include "core/app_error.hpp"
#include "platform/files.hpp"
#include "platform/unicode.hpp"

namespace platform {

const char kAppTitle[] = "Corvale";

int SystemPrompts::Message(HWND owner, const std::string& text, UINT flags) {
    return ::MessageBoxW(owner, Widen(text).c_str(), Widen(kAppTitle).c_str(), flags);
}

bool SystemPrompts::OpenFileName(OPENFILENAMEW& request) { return ::GetOpenFileNameW(&request) != FALSE; }

bool SystemPrompts::SaveFileName(OPENFILENAMEW& request) { return ::GetSaveFileNameW(&request) != FALSE; }

void ShowErrorBox(Prompts& prompts, HWND owner, const std::string& message) {
    prompts.Message(owner, core::WithFullStop(message), MB_OK | MB_ICONERROR);
}

std::optional<FileChoice> AskFileName(Prompts& prompts, const FileDialog& dialog) {
    std::wstring name(kLongestPath, L'\0');
    dialog.startName.copy(name.data(), std::min(dialog.startName.size(), name.size() - 1));
    OPENFILENAMEW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = dialog.owner;
    request.lpstrFilter = dialog.filter;
    request.nFilterIndex = dialog.filterIndex;
    request.lpstrFile = name.data();
    request.nMaxFile = static_cast<DWORD>(name.size());
    request.lpstrInitialDir = dialog.startFolder.empty() ? nullptr : dialog.startFolder.c_str();
    request.lpstrTitle = dialog.title;
    request.Flags = dialog.flags;
    request.hInstance = dialog.templateName ? ::GetModuleHandleW(nullptr) : nullptr;
    request.lpTemplateName = dialog.templateName;
    request.lpfnHook = dialog.hook;
    request.lCustData = dialog.hookData;
    const bool chosen = dialog.kind == FileDialog::Kind::Open ? prompts.OpenFileName(request)
                                                              : prompts.SaveFileName(request);
    if (!chosen) return std::nullopt;
    name.back() = L'\0';  // whatever the dialog wrote, the name ends inside the buffer
    name.resize(std::wcslen(name.c_str()));
    if (name.empty()) return std::nullopt;
    return FileChoice{std::move(name), request.nFilterIndex};
}

}  // namespace platform
