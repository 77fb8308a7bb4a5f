#include "forms/colour_presets.hpp"

#include <iterator>

namespace forms {
namespace {

// In the order of core::kColourPresets.
constexpr CommandId kPresetCommands[] = {kCmdColoursBlackOnWhite, kCmdColoursDos, kCmdColoursWhiteOnNavy,
                                         kCmdColoursYellowOnBlack, kCmdColoursLimeOnBlack};
static_assert(std::size(kPresetCommands) == core::kColourPresets.size());

}  // namespace

const core::ColourPreset* PresetOf(CommandId id) {
    for (std::size_t i = 0; i < std::size(kPresetCommands); ++i)
        if (kPresetCommands[i] == id) return &core::kColourPresets[i];
    return nullptr;
}

void MarkShownPreset(CommandBar& commands, std::int32_t text, std::int32_t back) {
    for (const CommandId id : kPresetCommands) {
        const core::ColourPreset& preset = *PresetOf(id);
        commands.SetChecked(id, preset.text == text && preset.back == back);
    }
}

}  // namespace forms
