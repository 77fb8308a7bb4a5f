#include "platform/text_file.hpp"

#include "core/app_error.hpp"
#include "core/shown_file.hpp"
#include "core/text_pipeline.hpp"
#include "platform/files.hpp"
#include "platform/win_handles.hpp"

#include <memory>
#include <vector>

namespace platform {
namespace {

constexpr DWORD kReadBlock = 1 << 20;  // line reading is not pumped, so a large block is free

// The loader only reads, so it lets other programs go on reading and writing: a viewer shows
// files that a download or a log writer still holds open.
UniqueFile OpenForReading(const std::string& path) {
    return UniqueFile(::CreateFileW(FileApiPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

[[noreturn]] void ThrowFileError(const char* what, const std::string& path, DWORD code) {
    throw core::AppError(std::string(what) + " file \"" + AbsolutePath(path) + "\". " + SystemErrorText(code));
}

// Reads up to two bytes; fewer means the file is too short to carry a mark.
core::TextEncoding ReadMark(HANDLE file) {
    char mark[2] = {};
    DWORD got = 0;
    if (!::ReadFile(file, mark, 2, &got, nullptr)) return core::TextEncoding::kEightBit;
    return core::EncodingOfMark(mark, got);
}

DWORD ReadBlock(HANDLE file, char* buffer, DWORD size) {
    DWORD got = 0;
    if (!::ReadFile(file, buffer, size, &got, nullptr)) return 0;  // a failed read ends the input
    return got;
}

DWORD WriteBlock(HANDLE file, const char* buffer, DWORD size) {
    DWORD put = 0;
    if (!::WriteFile(file, buffer, size, &put, nullptr)) return 0;
    return put;
}

void CopyCleaned(HANDLE source, HANDLE target, LoadHooks& hooks) {
    std::vector<char> block(core::kCopyBlock);
    for (;;) {
        DWORD n = ReadBlock(source, block.data(), static_cast<DWORD>(block.size()));
        if (n == 0) return;
        core::CleanBlock(block.data(), n);
        DWORD w = WriteBlock(target, block.data(), n);
        hooks.ProcessPendingMessages();
        hooks.ShowProgress();
        if (w != n) return;
    }
}

}  // namespace

std::string CleanToTempFile(const std::string& path, LoadHooks& hooks) {
    {
        UniqueFile probe = OpenForReading(path);
        if (!probe) {
            hooks.ShowWarning(core::UnableToOpenText(path, SystemErrorText(::GetLastError())));
            return {};
        }
        if (ReadMark(probe.get()) != core::TextEncoding::kEightBit) return path;
    }
    UniqueFile source = OpenForReading(path);
    if (!source) ThrowFileError("Cannot open", path, ::GetLastError());
    const std::string tempPath = TempFilePath();
    if (FileExists(tempPath)) DeleteFileAt(tempPath);
    // The copy itself stays exclusive: another instance must not read it half-written.
    UniqueFile target(::CreateFileW(FileApiPath(tempPath).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!target) ThrowFileError("Cannot create", tempPath, ::GetLastError());
    CopyCleaned(source.get(), target.get(), hooks);
    return tempPath;
}

std::optional<std::string> ReadViewText(const std::string& readPath) {
    UniqueFile file = OpenForReading(readPath);
    if (!file) return std::nullopt;
    const core::TextEncoding encoding = ReadMark(file.get());
    if (encoding == core::TextEncoding::kEightBit) {
        file = OpenForReading(readPath);  // line reading starts at the first byte
        if (!file) return std::nullopt;
    }
    core::ViewTextBuilder text;
    if (auto size = GetFileSize64(readPath); size && *size > 0) {
        // Room for the text plus a CR LF for a short-line file, so the buffer rarely regrows.
        text.Reserve(static_cast<std::size_t>(*size + *size / 16 + 64));
    }
    core::LineReader reader(encoding);
    std::unique_ptr<char[]> block(new char[kReadBlock]);
    for (;;) {
        DWORD n = ReadBlock(file.get(), block.get(), kReadBlock);
        if (n == 0 || !reader.Feed(block.get(), n, text)) break;
    }
    reader.Finish(text);
    return text.Take();
}

}  // namespace platform
