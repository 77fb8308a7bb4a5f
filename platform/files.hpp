#pragma once
// File system facts the viewer asks for. Paths are UTF-8 here and go to the system's Unicode file
// API, so any name the file system holds works, and long ones too where the system allows them.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "core/file_info_text.hpp"

namespace platform {

// The longest path the Unicode file API takes (with the \\?\ prefix), in UTF-16 units: the room
// every buffer that receives a path from the system gets, so no name is ever cut.
inline constexpr std::size_t kLongestPath = 32768;

// The form a UTF-8 path takes for the Unicode file API: as it is when short, absolute with the
// \\?\ prefix when longer than the classic MAX_PATH limit lets through.
std::wstring FileApiPath(const std::string& path);
// The absolute form of a path; the path itself when the system cannot make one.
std::wstring FullPath(const std::wstring& path);

// The system temp directory, always ending in a backslash.
std::string GetTempDir();
// GetTempDir() + "corvalex.tmp": the one name older versions gave every cleaning copy, and left
// behind until their window closed. Loads no longer use it; the close still clears it up.
std::string TempFilePath();
// A file's size as a signed 32-bit number; -1 when it cannot be opened or measured.
std::int32_t GetFileSizeBytes(const std::string& path);
// The true 64-bit size (nullopt when unknown): guards against files this process cannot hold.
std::optional<std::int64_t> GetFileSize64(const std::string& path);
// Exists and is not a directory.
bool FileExists(const std::string& path);
// Exists and is a directory.
bool FolderExists(const std::string& path);
// Whether two paths name the same file: compared by identity (volume and file index) when both
// can be looked at, so case, 8.3 names, the \\?\ form and hard links are all seen through;
// otherwise by their full paths with case folded. Relative paths are taken from the current folder.
bool SameFile(const std::string& first, const std::string& second);
// Result ignored by every caller: a file that cannot be deleted is simply left.
void DeleteFileAt(const std::string& path);
std::string AbsolutePath(const std::string& path);
// The system's text for an error code, without trailing blanks, line breaks and full stops.
std::string SystemErrorText(DWORD code);
// Last-write time of a file (not a directory) in local time, whatever its year; nullopt when the
// file is not found.
std::optional<core::CalendarTime> GetFileLocalWriteTime(const std::string& path);

}  // namespace platform
