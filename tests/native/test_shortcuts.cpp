#include "core/shortcuts.hpp"

#include <gtest/gtest.h>

namespace {

core::Keys Pressed(std::uint16_t key, bool ctrl, bool shift, bool alt) { return {key, ctrl, shift, alt}; }

}  // namespace

// The four ways a command takes its key, against every combination of the three modifiers.
TEST(Shortcuts, EachMatchLooksAtTheModifiersItShould) {
    struct Case { core::Shortcut shortcut; bool ctrl, shift, alt, matches; } cases[] = {
        {core::CtrlOnly('C'), true, false, false, true},
        {core::CtrlOnly('C'), true, true, false, false},   // Ctrl+Shift+C is another value
        {core::CtrlOnly('C'), true, false, true, false},
        {core::CtrlOnly('C'), false, false, false, false},
        {core::CtrlHeld('O'), true, false, false, true},
        {core::CtrlHeld('O'), true, true, false, true},
        {core::CtrlHeld('O'), true, false, true, true},
        {core::CtrlHeld('O'), true, true, true, true},
        {core::CtrlHeld('O'), false, false, true, false},  // Alt+O without Ctrl
        {core::CtrlHeld('O'), false, true, false, false},
        {core::CtrlHeld('O'), false, false, false, false},
        {core::AnyModifiers(core::kKeyF1), false, false, false, true},
        {core::AnyModifiers(core::kKeyF1), false, true, false, true},
        {core::AnyModifiers(core::kKeyF1), true, true, true, true},
        {core::CtrlNoAlt(core::kKeyOemPlus), true, false, false, true},
        {core::CtrlNoAlt(core::kKeyOemPlus), true, true, false, true},    // Shift+= is + on a US layout
        {core::CtrlNoAlt(core::kKeyOemPlus), true, false, true, false},   // AltGr+= types a character
        {core::CtrlNoAlt(core::kKeyOemPlus), true, true, true, false},
        {core::CtrlNoAlt(core::kKeyOemPlus), false, true, false, false},
        {core::Shortcut{}, false, false, false, false},    // no shortcut never matches, not even key 0
    };
    for (const auto& c : cases) {
        const core::Keys pressed = Pressed(c.shortcut.keys.key, c.ctrl, c.shift, c.alt);
        EXPECT_EQ(core::Matches(c.shortcut, pressed), c.matches)
            << core::ShortcutText(c.shortcut) << " ctrl " << c.ctrl << " shift " << c.shift << " alt " << c.alt;
    }
    EXPECT_FALSE(core::Matches(core::CtrlHeld('O'), Pressed('P', true, false, false)));
    EXPECT_FALSE(core::Matches(core::AnyModifiers(core::kKeyF1), Pressed(core::kKeyF1 + 1, false, false, false)));
}

TEST(Shortcuts, AreNamedAsMenusAndToolTipsShowThem) {
    EXPECT_EQ(core::ShortcutText(core::CtrlOnly('C')), "Ctrl+C");
    EXPECT_EQ(core::ShortcutText(core::CtrlHeld('W')), "Ctrl+W");
    EXPECT_EQ(core::ShortcutText(core::CtrlHeld(core::kKeyInsert)), "Ctrl+Ins");
    EXPECT_EQ(core::ShortcutText(core::AnyModifiers(core::kKeyF1)), "F1");
    EXPECT_EQ(core::ShortcutText(core::AnyModifiers(core::kKeyF1 + 11)), "F12");
    EXPECT_EQ(core::ShortcutText({{'5', true, true, true}, core::KeyMatch::Exact}), "Ctrl+Shift+Alt+5");
    EXPECT_EQ(core::ShortcutText(core::Shortcut{}), "");
    EXPECT_EQ(core::ShortcutText(core::CtrlNoAlt(core::kKeyOemPlus)), "Ctrl++");
    EXPECT_EQ(core::ShortcutText(core::CtrlNoAlt(core::kKeyOemMinus)), "Ctrl+-");
    EXPECT_EQ(core::ShortcutText(core::CtrlNoAlt(core::kKeyAdd)), "Ctrl+Num +");
    EXPECT_EQ(core::ShortcutText(core::CtrlNoAlt(core::kKeySubtract)), "Ctrl+Num -");
    EXPECT_EQ(core::ShortcutText(core::CtrlNoAlt('0')), "Ctrl+0");
    EXPECT_EQ(core::ShortcutText(core::CtrlNoAlt(core::kKeyNumpad0)), "Ctrl+Num 0");
}
