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
// land on "a.nfo".
std::optional<std::size_t> StepIndex(const std::vector<std::string>& ordered, std::string_view from,
                                     StepDirection direction) {
    if (direction == StepDirection::Next) {
        const auto after = std::find_if(ordered.begin(), ordered.end(),
                                        [from](const std::string& name) { return NaturalCompare(name, from) > 0; });
        if (after == ordered.end()) return std::nullopt;
        return static_cast<std::size_t>(after - ordered.begin());
    }
    const auto before = std::find_if(ordered.rbegin(), ordered.rend(),
                                     [from](const std::string& name) { return NaturalCompare(name, from) < 0; });
    if (before == ordered.rend()) return std::nullopt;
    return static_cast<std::size_t>(ordered.rend() - before) - 1;
}

// The name as the file system spells it when it is listed so; else the first of its spellings.
std::optional<FolderPlace> PlaceOf(const std::vector<std::string>& ordered, std::string_view name) {
    auto found = std::find(ordered.begin(), ordered.end(), name);
    if (found == ordered.end())
        found = std::find_if(ordered.begin(), ordered.end(),
                             [name](const std::string& listed) { return NaturalCompare(listed, name) == 0; });
    if (found == ordered.end()) return std::nullopt;
    return FolderPlace{static_cast<std::size_t>(found - ordered.begin()) + 1, ordered.size()};
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

std::string ShownCaption(const CaptionFacts& facts, std::string_view appTitle) {
    const std::string_view name = FileNameOf(facts.path);
    if (name.empty()) return std::string(appTitle);
    std::string caption(name);
    if (facts.place)
        caption += " (" + std::to_string(facts.place->number) + " of " + std::to_string(facts.place->count) + ")";
    if (facts.deleted) caption += " (deleted)";
    return caption + " - " + std::string(appTitle);
}

}  // namespace core
