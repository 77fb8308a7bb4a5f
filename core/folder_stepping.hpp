#pragma once
// Stepping through the viewer's files of a folder, one file a step: which names take part, their
// order, where a step lands and what the title says about the place. Names are UTF-8 file names
// without their folder; the listing is the caller's, read afresh at every step, so files added
// or removed since the last one count.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// A name ending in .nfo, .diz, .bbs, .ion or .txt, in any letter case.
bool IsViewerFileName(std::string_view name);

// The viewer's names among `names`, in natural order (see natural_order.hpp).
std::vector<std::string> SteppingOrder(std::vector<std::string> names);

enum class StepDirection { Previous, Next };

// A file's place among the folder's: number (from 1) and count.
struct FolderPlace {
    std::size_t number = 0;
    std::size_t count = 0;
    bool operator==(const FolderPlace&) const = default;
};

// Where a step from `from` lands among a folder's names (as listed, in any order, other files
// among them): the first viewer's name after it in SteppingOrder, or the last one before it, with
// its place. `from` need not be listed any more. None at either end: nothing wraps. One pass over
// the names, not a sort: a step in a folder of 100,000 files stays quick.
struct StepTarget {
    std::string name;
    FolderPlace place;
    bool operator==(const StepTarget&) const = default;
};
std::optional<StepTarget> StepFrom(const std::vector<std::string>& names, std::string_view from,
                                   StepDirection direction);

// Where the next step starts. Every step notes the file it tries; one that did not load leaves the
// shown file as it was, and the following step in the same direction goes on past the file that
// failed, not back to it. One that loaded shows another file, which the note no longer concerns.
class StepCursor {
public:
    // The name to step from: the last one tried, when the shown file is still the one it was tried
    // from and the step goes the same way; else the shown file's own name.
    std::string From(std::string_view shownPath, StepDirection direction) const;
    void Tried(std::string_view shownPath, std::string_view triedName, StepDirection direction);

private:
    std::string shownPath_;
    std::string tried_;
    StepDirection direction_ = StepDirection::Next;
};

// The window's caption: "name - title", with the file's place when it was reached by stepping,
// "name (3 of 12) - title", and " (deleted)" after the name once the file is gone from the disk.
// The title alone while no file is shown.
struct CaptionFacts {
    std::string_view path;
    std::optional<FolderPlace> place;
    bool deleted = false;
};
std::string ShownCaption(const CaptionFacts& facts, std::string_view appTitle);

}  // namespace core
