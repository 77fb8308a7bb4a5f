#include "platform/replacing_file.hpp"

#include <algorithm>

#include "core/app_error.hpp"
#include "core/export_geometry.hpp"
#include "platform/files.hpp"
#include "platform/unicode.hpp"

namespace platform {
namespace {

constexpr DWORD kWriteChunk = 1u << 20;

std::wstring FolderOf(const std::wstring& fullPath) {
    const std::size_t slash = fullPath.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : fullPath.substr(0, slash + 1);
}

}  // namespace

ReplacingFile::ReplacingFile(const std::wstring& target) : target_(FullPath(target)) {
    wchar_t name[MAX_PATH] = {};
    if (!::GetTempFileNameW(FolderOf(target_).c_str(), L"cvx", 0, name)) FailCreate(::GetLastError());
    temporary_ = name;  // GetTempFileName made it, empty, to claim the name
    file_.reset(::CreateFileW(temporary_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) {
        const DWORD error = ::GetLastError();
        Discard();
        FailCreate(error);
    }
}

ReplacingFile::~ReplacingFile() {
    if (!committed_) Discard();
}

void ReplacingFile::Write(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(size, kWriteChunk));
        DWORD written = 0;
        if (!file_ || !::WriteFile(file_.get(), bytes, piece, &written, nullptr) || written != piece)
            throw core::AppError(core::kExportWriteErrorText);
        bytes += piece;
        size -= piece;
    }
}

void ReplacingFile::Commit() {
    file_.reset();  // the move needs the file closed
    // Windows refuses to replace a read-only file, Wine does not: keep it on both.
    const DWORD attributes = ::GetFileAttributesW(target_.c_str());
    const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (readOnly || !::MoveFileExW(temporary_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const DWORD error = readOnly ? ERROR_ACCESS_DENIED : ::GetLastError();
        Discard();
        FailCreate(error);
    }
    committed_ = true;
}

void ReplacingFile::FailCreate(DWORD error) const {
    throw core::AppError(core::ExportCannotCreateText(Narrow(target_), SystemErrorText(error)));
}

void ReplacingFile::Discard() {
    file_.reset();
    if (!temporary_.empty()) ::DeleteFileW(temporary_.c_str());
    temporary_.clear();
}

}  // namespace platform
