#include "platform/prompts.hpp"

namespace platform {

const char kAppTitle[] = "Corvale";

int SystemPrompts::Message(HWND owner, const std::string& text, UINT flags) {
    return ::MessageBoxA(owner, text.c_str(), kAppTitle, flags);
}

bool SystemPrompts::OpenFileName(OPENFILENAMEA& request) { return ::GetOpenFileNameA(&request) != FALSE; }

bool SystemPrompts::SaveFileName(OPENFILENAMEW& request) { return ::GetSaveFileNameW(&request) != FALSE; }

}  // namespace platform
