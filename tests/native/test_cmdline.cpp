#include "core/cmdline.hpp"

#include <gtest/gtest.h>

using Items = std::vector<std::string>;

TEST(CommandLineSplit, BlanksQuotesAndControlBytes) {
    struct Case { std::string line; Items items; } cases[] = {
        {"prog.exe", {"prog.exe"}},
        {"prog.exe a.nfo", {"prog.exe", "a.nfo"}},
        {"prog.exe   a.nfo  b.nfo   ", {"prog.exe", "a.nfo", "b.nfo"}},
        {"prog.exe\ta.nfo\t\tb.nfo", {"prog.exe", "a.nfo", "b.nfo"}},
        {std::string("prog.exe\x01" "a\x1F" "b\r\nc", 15), {"prog.exe", "a", "b", "c"}},
        {"\"C:\\Program Files\\Corvale\\corvale.exe\" \"my file.nfo\"",
         {"C:\\Program Files\\Corvale\\corvale.exe", "my file.nfo"}},
        {"prog a\"b c\"d e", {"prog", "ab cd", "e"}},
        {"prog \"\" next", {"prog", "", "next"}},
        {"prog \"unterminated quote", {"prog", "unterminated quote"}},
        {"prog \"C:\\dir\\\" x", {"prog", "C:\\dir\\", "x"}},  // no backslash escaping
        {"prog \xB0\xB1.nfo", {"prog", "\xB0\xB1.nfo"}},       // high bytes are not blanks
        {"prog \"C:\\\u65E5 \u672C.diz\" \u00E9", {"prog", "C:\\\u65E5 \u672C.diz", "\u00E9"}},  // UTF-8
        {"", {}},
        {"   \t ", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(core::SplitCommandLine(c.line), c.items) << c.line;
}

TEST(CommandLineFirstArgument, SkipsTheProgramPathAndIgnoresFurtherArguments) {
    struct Case { const char* line; std::optional<std::string> first; } cases[] = {
        {"\"C:\\Program Files\\corvale.exe\" \"C:\\My Files\\a b.nfo\" second.nfo", "C:\\My Files\\a b.nfo"},
        {"corvale.exe ..\\rel\\file.diz", "..\\rel\\file.diz"},
        {"corvale.exe   ", std::nullopt},
        {"\"C:\\Program Files\\corvale.exe\"", std::nullopt},
        {"", std::nullopt},
        {"corvale.exe \"\"", ""},  // typed, so reported as a missing file by the caller
    };
    for (const auto& c : cases) EXPECT_EQ(core::FirstArgument(c.line), c.first) << c.line;
}
