#include "core/shortcuts.hpp"

namespace core {
namespace {

constexpr std::uint16_t kKeyF24 = 0x87;

std::string KeyName(std::uint16_t key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
    if (key >= kKeyF1 && key <= kKeyF24) return "F" + std::to_string(key - kKeyF1 + 1);
    if (key == kKeyInsert) return "Ins";
    if (key == kKeySpace) return "Space";
    if (key == kKeyPageUp) return "PgUp";
    if (key == kKeyPageDown) return "PgDn";
    if (key == kKeyLeft) return "Left";
    if (key == kKeyRight) return "Right";
    if (key == kKeyOemPlus) return "+";
    if (key == kKeyOemMinus) return "-";
    if (key == kKeyAdd) return "Num +";
    if (key == kKeySubtract) return "Num -";
    if (key >= kKeyNumpad0 && key <= kKeyNumpad0 + 9) return "Num " + std::to_string(key - kKeyNumpad0);
    return "#" + std::to_string(key);
}

}  // namespace

bool Matches(const Shortcut& shortcut, const Keys& pressed) {
    const Keys& wanted = shortcut.keys;
    if (pressed.key != wanted.key) return false;
    switch (shortcut.match) {
    case KeyMatch::None: return false;
    case KeyMatch::Exact:
        return pressed.ctrl == wanted.ctrl && pressed.shift == wanted.shift && pressed.alt == wanted.alt;
    case KeyMatch::CtrlHeld: return pressed.ctrl;
    case KeyMatch::AnyModifiers: return true;
    case KeyMatch::CtrlNoAlt: return pressed.ctrl && !pressed.alt;
    }
    return false;
}

std::string ShortcutText(const Shortcut& shortcut) {
    if (shortcut.match == KeyMatch::None) return {};
    const Keys& keys = shortcut.keys;
    std::string text;
    if (keys.ctrl) text += "Ctrl+";
    if (keys.shift) text += "Shift+";
    if (keys.alt) text += "Alt+";
    return text + KeyName(keys.key);
}

}  // namespace core
