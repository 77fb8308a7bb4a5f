#include "core/shown_file.hpp"

#include <gtest/gtest.h>

#include <string>

TEST(ShownFile, CaptionNamesTheFileAndKeepsTheTitle) {
    struct Case { const char* shown; const char* caption; } cases[] = {
        {"", "Corvale"},                                   // nothing shown yet
        {"C:\\t\\victim.nfo", "victim.nfo - Corvale"},
        {"victim.nfo", "victim.nfo - Corvale"},            // relative, from the command line
        {"C:victim.nfo", "victim.nfo - Corvale"},          // drive-relative
        {"Z:/tmp/art.nfo", "art.nfo - Corvale"},
        {"\\\\?\\C:\\long\\a.b.diz", "a.b.diz - Corvale"},
        {"\\\\server\\share\\README", "README - Corvale"},
        {"C:\\t\\", "Corvale"},                            // no name: the title alone, no dangling dash
        {"C:\\m\xC3\xBCsic\\\xE2\x95\x94" "art.nfo", "\xE2\x95\x94" "art.nfo - Corvale"},  // UTF-8 kept whole
    };
    for (const auto& c : cases) EXPECT_EQ(core::MainCaption(c.shown, "Corvale"), c.caption) << c.shown;
}

TEST(ShownFile, FolderOfAFullPathKeepsADrivesRoot) {
    struct Case { const char* path; const char* folder; } cases[] = {
        {"C:\\t\\victim.nfo", "C:\\t"},
        {"C:\\victim.nfo", "C:\\"},
        {"C:\\a\\b\\c.nfo", "C:\\a\\b"},
        {"\\\\server\\share\\x.nfo", "\\\\server\\share"},
        {"Z:/tmp/art.nfo", "Z:/tmp"},
        {"victim.nfo", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(core::FolderOf(c.path), c.folder) << c.path;
}

TEST(ShownFile, UnableToOpenKeepsItsTextAndAppendsTheReasonWithOneFullStop) {
    const std::string base = "Unable to open 'C:\\x.nfo'.";
    struct Case { const char* reason; std::string text; } cases[] = {
        {"", base},
        {"The process cannot access the file because it is being used by another process",
         base + " The process cannot access the file because it is being used by another process."},
        {"Sharing violation.", base + " Sharing violation."},   // the system's own full stop is not doubled
        {"Access denied. ", base + " Access denied."},
        {".", base},                                            // nothing left of it
    };
    for (const auto& c : cases) EXPECT_EQ(core::UnableToOpenText("C:\\x.nfo", c.reason), c.text) << c.reason;
}
