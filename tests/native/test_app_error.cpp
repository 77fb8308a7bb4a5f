#include "core/app_error.hpp"

#include <gtest/gtest.h>

TEST(FullStopRule, AddsOnlyAfterCharactersSortingAfterTheFullStop) {
    struct Case { const char* in; const char* out; } cases[] = {
        {"Invalid argument to date encode", "Invalid argument to date encode."},
        {"Stream write error", "Stream write error."},
        {"Failed to get data for 'X'", "Failed to get data for 'X'"},  // quote sorts before '.'
        {"Ends with a full stop.", "Ends with a full stop."},
        {"Ends with a comma,", "Ends with a comma,"},
        {"Ends with a slash/", "Ends with a slash/."},
        {"Number 7", "Number 7."},
        {"", ""},
        {"\xC9", "\xC9."},  // bytes above 127 sort after '.' as unsigned
    };
    for (const auto& c : cases) EXPECT_EQ(core::WithFullStop(c.in), c.out) << c.in;
}
