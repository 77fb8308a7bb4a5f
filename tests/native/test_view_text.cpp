#include "core/view_text.hpp"

#include <gtest/gtest.h>

#include <string>

// Texts short enough to sit inside the string object and long ones on the heap: either way the
// index reads the view's own bytes after a replace, never the caller's (ASan sees a stale read).
TEST(ViewText, AReplacedTextIsIndexedAndLaidOutOverItsOwnBytes) {
    core::ViewText text;
    EXPECT_EQ(text.Bytes(), "");
    EXPECT_EQ(text.Rows().Count(), 1u) << "an empty text has one empty row";

    const std::string texts[] = {"ab\r\ncd", std::string(300, 'x') + "\r\n" + std::string(40, 'y'), "\r\n", "z"};
    std::string previous;
    for (const std::string& wanted : texts) {
        std::string bytes = wanted;
        ASSERT_TRUE(text.Replace(bytes, core::WrapWidth{}));
        EXPECT_EQ(bytes, previous) << "the old text comes back";
        bytes.assign(bytes.size(), '#');  // the caller's string is not the view's
        EXPECT_EQ(text.Bytes(), wanted);
        EXPECT_EQ(text.Index().Text(), wanted);
        const core::Row last = text.Rows().At(text.Rows().Count() - 1);
        EXPECT_EQ(text.Rows().BytesOf(last), wanted.substr(wanted.rfind('\n') == std::string::npos ? 0 : wanted.rfind('\n') + 1));
        previous = wanted;
    }
}

TEST(ViewText, RewrapLaysTheRowsOutAnewAndKeepsTheWidthAskedFor) {
    core::ViewText text;
    std::string bytes = "abcd efgh ijkl\r\n" + std::string(25, 'w');
    ASSERT_TRUE(text.Replace(bytes, core::WrapWidth{70, 7}));  // ten cells
    EXPECT_EQ(text.WrapPixels(), 70);
    EXPECT_EQ(text.Rows().Count(), 5u);  // "abcd efgh ", "ijkl", and the w's cut at 10, 10, 5
    text.Rewrap(core::WrapWidth{});
    EXPECT_EQ(text.WrapPixels(), 0);
    EXPECT_EQ(text.Rows().Count(), 2u);
    text.Rewrap(core::WrapWidth{140, 7});
    EXPECT_EQ(text.Rows().Count(), 3u);
    EXPECT_EQ(text.Rows().BytesOf(text.Rows().At(2)), std::string(5, 'w'));
}
