#pragma once
// Splitting the process command line (the text of GetCommandLineW, as UTF-8) into its items. The
// bytes of a UTF-8 sequence are all 0x80 or above, so no name outside ASCII is split or unquoted.
//
// Items are separated by blanks, where a blank is any byte up to 0x20 (tabs and other control
// bytes included). A double quote opens or closes a quoted stretch, in which blanks belong to the
// item; the quotes themselves are dropped and may sit anywhere in an item: a"b c"d gives "ab cd".
// A quote left open runs to the end of the line. There is no backslash escaping, so a path such
// as "C:\dir\" keeps its trailing backslash.
//
// A pair of quotes with nothing between them still makes an item, the empty text: the user typed
// an argument, so the caller reports "File '' does not exist." rather than silently ignoring it.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// Every item, the program path first.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The first item after the program path, as typed (quotes removed); nullopt when there is none.
std::optional<std::string> FirstArgument(std::string_view commandLine);

}  // namespace core
