#pragma once
// File system facts the viewer asks for, over the ANSI file API.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The system temp directory, always ending in a backslash.
std::string GetTempDir();
// GetTempDir() + "corvalex.tmp": the cleaned copy of the last small file.
std::string TempFilePath();
// A file's size as a signed 32-bit number; -1 when it cannot be opened or measured.
std::int32_t GetFileSizeBytes(const std::string& path);
// The true 64-bit size (nullopt when unknown): guards against files this process cannot hold.
std::optional<std::int64_t> GetFileSize64(const std::string& path);
// Exists and is not a directory.
bool FileExists(const std::string& path);
std::string AbsolutePath(const std::string& path);
// The system's text for an error code, without trailing blanks, line breaks and full stops.
std::string SystemErrorText(DWORD code);
// Last-write time of a file (not a directory) as a local DOS date and time; nullopt when the file
// is not found or its time lies outside the DOS range 1980-2107.
struct DosStamp { WORD date; WORD time; };
std::optional<DosStamp> GetFileDosStamp(const std::string& path);

}  // namespace platform
