#include "core/cmdline.hpp"

namespace core {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

// Reads the item that starts at or after pos, leaving pos behind it; nullopt when only blanks
// remain.
std::optional<std::string> NextItem(std::string_view line, std::size_t& pos) {
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos >= line.size()) return std::nullopt;

    std::string item;
    bool quoted = false;
    for (; pos < line.size(); ++pos) {
        const char c = line[pos];
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && IsBlank(c))
            break;
        else
            item.push_back(c);
    }
    return item;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    std::vector<std::string> items;
    std::size_t pos = 0;
    while (auto item = NextItem(commandLine, pos)) items.push_back(std::move(*item));
    return items;
}

std::optional<std::string> FirstArgument(std::string_view commandLine) {
    std::size_t pos = 0;
    if (!NextItem(commandLine, pos)) return std::nullopt;  // not even a program path
    return NextItem(commandLine, pos);
}

}  // namespace core
