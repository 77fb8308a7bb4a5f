#include "core/shown_file.hpp"

namespace core {

std::string_view FileNameOf(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/:");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string_view FolderOf(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/");
    if (separator == std::string_view::npos) return {};
    const bool root = separator == 2 && path[1] == ':';
    return path.substr(0, root ? separator + 1 : separator);
}

std::string MainCaption(std::string_view shownPath, std::string_view appTitle) {
    const std::string_view name = FileNameOf(shownPath);
    if (name.empty()) return std::string(appTitle);
    return std::string(name) + " - " + std::string(appTitle);
}

std::string FileMissingText(std::string_view path) {
    return "File '" + std::string(path) + "' does not exist.";
}

std::string FolderNotFileText(std::string_view path) { return "'" + std::string(path) + "' is a folder, not a file."; }

std::string UnableToOpenText(std::string_view path, std::string_view reason) {
    std::string text = "Unable to open '" + std::string(path) + "'.";
    // The system's texts end in a full stop, which the caller has usually cut: one is put back.
    while (!reason.empty() && (reason.back() == '.' || reason.back() == ' ')) reason.remove_suffix(1);
    if (!reason.empty()) text += " " + std::string(reason) + ".";
    return text;
}

}  // namespace core
