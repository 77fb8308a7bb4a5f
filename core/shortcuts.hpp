#pragma once
// Keyboard shortcuts: a key with the modifiers held, and the four ways a command takes one. The
// context menu's shortcuts are exact values (Ctrl+C, and only Ctrl); the tool buttons' keys want
// Ctrl held whatever else is (Ctrl+Shift+O opens too); F1 takes any modifiers; the zoom keys want
// Ctrl without Alt, since Ctrl+Alt is AltGr, which types characters on many layouts, and with or
// without Shift, which a layout may need for '+'.
#include <cstdint>
#include <string>

namespace core {

// A key code (the Windows virtual-key numbering: 'A'..'Z', 0x70 for F1) and the modifiers held.
struct Keys {
    std::uint16_t key = 0;
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
};

enum class KeyMatch : std::uint8_t {
    None,          // no shortcut
    Exact,         // a menu shortcut: these modifiers and no others
    CtrlHeld,      // Ctrl down; Shift and Alt not looked at
    AnyModifiers,  // the key alone decides
    CtrlNoAlt,     // Ctrl down and Alt up; Shift not looked at
};

struct Shortcut {
    Keys keys;
    KeyMatch match = KeyMatch::None;
};

constexpr std::uint16_t kKeySpace = 0x20;
constexpr std::uint16_t kKeyPageUp = 0x21;
constexpr std::uint16_t kKeyPageDown = 0x22;
constexpr std::uint16_t kKeyLeft = 0x25;
constexpr std::uint16_t kKeyRight = 0x27;
constexpr std::uint16_t kKeyInsert = 0x2D;
constexpr std::uint16_t kKeyF1 = 0x70;
constexpr std::uint16_t kKeyF5 = 0x74;
constexpr std::uint16_t kKeyNumpad0 = 0x60;
constexpr std::uint16_t kKeyAdd = 0x6B;        // the number pad's +
constexpr std::uint16_t kKeySubtract = 0x6D;   // the number pad's -
constexpr std::uint16_t kKeyOemPlus = 0xBB;    // the main keyboard's = / + key
constexpr std::uint16_t kKeyOemMinus = 0xBD;   // the main keyboard's - key

// Ctrl and the key, nothing else held: how the context menu's shortcuts are given.
constexpr Shortcut CtrlOnly(std::uint16_t key) { return {{key, true, false, false}, KeyMatch::Exact}; }
// Alt and the key, nothing else held; the key alone, nothing held: menu shortcuts too.
constexpr Shortcut AltOnly(std::uint16_t key) { return {{key, false, false, true}, KeyMatch::Exact}; }
constexpr Shortcut KeyAlone(std::uint16_t key) { return {{key, false, false, false}, KeyMatch::Exact}; }
constexpr Shortcut CtrlHeld(std::uint16_t key) { return {{key, true, false, false}, KeyMatch::CtrlHeld}; }
constexpr Shortcut AnyModifiers(std::uint16_t key) { return {{key, false, false, false}, KeyMatch::AnyModifiers}; }
constexpr Shortcut CtrlNoAlt(std::uint16_t key) { return {{key, true, false, false}, KeyMatch::CtrlNoAlt}; }

bool Matches(const Shortcut& shortcut, const Keys& pressed);

// As menus and tool tips name it: "Ctrl+C", "F1", "Ctrl+Ins", "Ctrl++", "Ctrl+Num -"; empty for no
// shortcut.
std::string ShortcutText(const Shortcut& shortcut);

}  // namespace core
