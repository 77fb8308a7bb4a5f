#include "platform/prompts.hpp"

#include "platform/unicode.hpp"

namespace platform {

const char kAppTitle[] = "Corvale";

int SystemPrompts::Message(HWND owner, const std::string& text, UINT flags) {
    return ::MessageBoxW(owner, Widen(text).c_str(), Widen(kAppTitle).c_str(), flags);
}

bool SystemPrompts::OpenFileName(OPENFILENAMEW& request) { return ::GetOpenFileNameW(&request) != FALSE; }

bool SystemPrompts::SaveFileName(OPENFILENAMEW& request) { return ::GetSaveFileNameW(&request) != FALSE; }

}  // namespace platform
