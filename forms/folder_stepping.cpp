#include "forms/folder_stepping.hpp"

#include <string>
#include <vector>

#include "core/shown_file.hpp"
#include "forms/file_opening.hpp"
#include "forms/message_boxes.hpp"
#include "platform/folder_files.hpp"

namespace forms {

void FolderStepping::Step(core::StepDirection direction) {
    const std::string shown = opening_.ShownFullPath();
    const std::string folder(core::FolderOf(shown));
    const std::vector<std::string> names = folder.empty() ? std::vector<std::string>{} : platform::ListFileNames(folder);
    const auto target = core::StepFrom(names, cursor_.From(shown, direction), direction);
    if (!target) return boxes_.Prompts().Beep();
    const bool rooted = folder.back() == '\\' || folder.back() == '/';
    const std::string path = folder + (rooted ? "" : "\\") + target->name;
    // Noted before the load, which may fail with an error as well as without: once it succeeds
    // another file is shown and the note no longer applies.
    cursor_.Tried(shown, target->name, direction);
    opening_.ShowFile(path, target->place);
}

}  // namespace forms
