#include "core/export_geometry.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

TEST(ExportLineList, LastEmptyDisplayLineIsNotCounted) {
    struct Case { int displayLines; std::string last; int listed; } cases[] = {
        {1, "", 0},          // an empty view: one empty display line
        {2, "", 1},          // "abc\r\n": the line and the empty one after the break
        {1, "abc", 1},       // a text without a final break keeps its last line
        {301, "", 300},
        {3, "  ", 3},        // blanks are not empty
        {0, "", 0},
        {-1, "", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::ExportLineCount(c.displayLines, c.last), c.listed) << c.displayLines << " '" << c.last << "'";
}

TEST(ExportLimits, RefusalsAtTheirBoundsAndInTheirOrder) {
    EXPECT_FALSE(core::ExportLineCountRefusal(0));
    EXPECT_FALSE(core::ExportLineCountRefusal(300));
    EXPECT_EQ(core::ExportLineCountRefusal(301), "Sorry, cannot export files longer than 300 lines.");
    EXPECT_FALSE(core::ExportLineLengthRefusal(200));
    EXPECT_EQ(core::ExportLineLengthRefusal(201), "Sorry, cannot export files with lines longer than 200 characters.");

    EXPECT_EQ(core::LongestLine({}), 0u);
    EXPECT_EQ(core::LongestLine({"", "", ""}), 0u);
    EXPECT_EQ(core::LongestLine({"ab", std::string(200, 'x'), "abc"}), 200u);
    EXPECT_EQ(core::LongestLine({std::string(201, '\xDB'), "a"}), 201u);  // bytes, one per character
}

TEST(ExportPicture, SizeFollowsCellsAndNeverOverflows) {
    struct Case { core::CellSize cell; std::size_t longest; int lines; int width, height; bool empty; } cases[] = {
        {{8, 16}, 10, 1, 80, 16, false},
        {{8, 16}, 200, 300, 1600, 4800, false},
        {{8, 16}, 0, 5, 0, 80, true},   // only empty lines: no pixels across
        {{8, 16}, 0, 0, 0, 0, true},
        {{0, 0}, 10, 10, 0, 0, true},
        {{-3, 16}, 10, 1, 0, 16, true},
        {{INT_MAX, INT_MAX}, 200, 300, INT_MAX, INT_MAX, false},
        {{8, 16}, static_cast<std::size_t>(-1), 1, INT_MAX, 16, false},
    };
    for (const auto& c : cases) {
        const core::PictureSize size = core::ExportPictureSize(c.cell, c.longest, c.lines);
        EXPECT_EQ(size.width, c.width) << c.cell.width << "x" << c.longest;
        EXPECT_EQ(size.height, c.height) << c.cell.height << "x" << c.lines;
        EXPECT_EQ(size.empty(), c.empty);
    }
}

TEST(ExportDefaultName, LastComponentWithItsLastExtensionReplaced) {
    struct Case { const char* shown; const char* offered; } cases[] = {
        {"C:\\nfo\\release.nfo", "release.bmp"},
        {"C:\\nfo\\README", "README.bmp"},
        {"C:\\nfo\\a.b.diz", "a.b.bmp"},
        {"C:\\dir.x\\plain", "plain.bmp"},        // a dot in a folder is not an extension
        {"C:release.nfo", "release.bmp"},          // drive-relative
        {"release.nfo", "release.bmp"},            // neither separator
        {"Z:/tmp/art.nfo", "art.bmp"},             // forward slashes separate too
        {"C:\\nfo\\.nfo", ".bmp"},
        {"C:\\nfo\\", ".bmp"},
        {"C:\\m\xC3\xBCsic\\\xE2\x95\x94" "art.nfo", "\xE2\x95\x94" "art.bmp"},  // UTF-8 kept whole
    };
    for (const auto& c : cases) EXPECT_EQ(core::DefaultExportName(c.shown), c.offered) << c.shown;
}
