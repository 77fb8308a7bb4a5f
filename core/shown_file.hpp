#pragma once
// What the window says about the file it shows or is asked to show: its caption and the messages
// of the roads that open one. Paths are UTF-8; the separators never occur inside a multi-byte
// character, so byte searches are safe.
#include <string>
#include <string_view>

namespace core {

// The last component of a path: what follows its last '\', '/' or ':' (all of it when it has none).
std::string_view FileNameOf(std::string_view path);

// The folder part of a full path: C:\t of C:\t\a.nfo, C:\ of C:\a.nfo (a drive's root keeps
// its backslash); empty when the path has no separator.
std::string_view FolderOf(std::string_view path);

// "<file name> - <title>" for a shown file, the title alone while none is shown (or the path names
// no file), so the task bar tells two windows apart and automation still finds the title.
std::string MainCaption(std::string_view shownPath, std::string_view appTitle);

// "File '<path>' does not exist."
std::string FileMissingText(std::string_view path);
// "'<path>' is a folder, not a file."
std::string FolderNotFileText(std::string_view path);
// "Unable to open '<path>'." followed by the system's reason when there is one: " <reason>.".
std::string UnableToOpenText(std::string_view path, std::string_view reason);

}  // namespace core
