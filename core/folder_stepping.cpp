#include "core/folder_stepping.hpp"

#include <algorithm>
#include <array>

#include "core/natural_order.hpp"
#include "core/shown_file.hpp"

namespace core {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; }

bool EndsWithFolded(std::string_view name, std::string_view suffix) {
    if (name.size() < suffix.size()) return false;
    const std::string_view end = name.substr(name.size() - suffix.size());
    return std::equal(end.begin(), end.end(), suffix.begin(), [](char a, char b) { return Lower(a) == b; });
}

}  // namespace

bool IsViewerFileName(std::string_view name) {
    static constexpr std::array<std::string_view, 5> kExtensions = {".nfo", ".diz", ".bbs", ".ion", ".txt"};
    return std::any_of(kExtensions.begin(), kExtensions.end(),
                       [name](std::string_view extension) { return EndsWithFolded(name, extension); });
}

std::vector<std::string> SteppingOrder(std::vector<std::string> names) {
    std::erase_if(names, [](const std::string& name) { return !IsViewerFileName(name); });
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return NaturalLess(a, b); });
    return names;
}

// Names that differ only in case are one file to the file system: a step from "A.NFO" must not
// land on "a.nfo", so the side of `from` a name is on is judged without the bytes' tie-break.
std::optional<StepTarget> StepFrom(const std::vector<std::string>& names, std::string_view from,
                                   StepDirection direction) {
    const bool next = direction == StepDirection::Next;
    const std::string* best = nullptr;
    std::size_t count = 0;
    for (const std::string& name : names) {
        if (!IsViewerFileName(name)) continue;
        ++count;
        const int side = NaturalCompare(name, from);
        if (next ? side <= 0 : side >= 0) continue;
        if (!best || (next ? NaturalLess(name, *best) : NaturalLess(*best, name))) best = &name;
    }
    if (!best) return std::nullopt;
    std::size_t before = 0;
    for (const std::string& name : names)
        if (IsViewerFileName(name) && NaturalLess(name, *best)) ++before;
    return StepTarget{*best, FolderPlace{before + 1, count}};
}

std::string StepCursor::From(std::string_view shownPath, StepDirection direction) const {
    if (!tried_.empty() && shownPath == shownPath_ && direction == direction_) return tried_;
    return std::string(FileNameOf(shownPath));
}

void StepCursor::Tried(std::string_view shownPath, std::string_view triedName, StepDirection direction) {
    shownPath_ = shownPath;
    tried_ = triedName;
    direction_ = direction;
}

// MainCaption's "name - title", the name with what the window knows of it.
std::string ShownCaption(const CaptionFacts& facts, std::string_view appTitle) {
    const std::string_view name = FileNameOf(facts.path);
    if (name.empty()) return MainCaption(facts.path, appTitle);
    std::string described(name);
    if (facts.place)
        described += " (" + std::to_string(facts.place->number) + " of " + std::to_string(facts.place->count) + ")";
    if (facts.deleted) described += " (deleted)";
    return MainCaption(described, appTitle);
}

}  // namespace core
