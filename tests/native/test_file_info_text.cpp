#include "core/file_info_text.hpp"

#include <gtest/gtest.h>

#include <cstdint>

using core::CalendarTime;
using core::LocaleValues;

TEST(SizeText, GroupingAndSeparators) {
    struct Case { std::int32_t size; const char* separator; const char* text; } cases[] = {
        {0, ",", "0 bytes"},
        {1, ",", "1 bytes"},
        {999, ",", "999 bytes"},
        {1000, ",", "1,000 bytes"},
        {123456, ",", "123,456 bytes"},
        {1234567, ",", "1,234,567 bytes"},
        {4194304, ",", "4,194,304 bytes"},
        {2147483647, ",", "2,147,483,647 bytes"},
        {1234567, ".", "1.234.567 bytes"},
        {1234567, " ", "1 234 567 bytes"},
        {1234567, "'x", "1'234'567 bytes"},  // only the first character is used
        {1234567, "", "1,234,567 bytes"},
        {-1, ",", "(unknown)"},
        {INT32_MIN, ",", "(unknown)"},
    };
    for (const auto& c : cases) EXPECT_EQ(core::FormatSizeText(c.size, c.separator), c.text) << c.size;
}

namespace {

LocaleValues German() {
    LocaleValues l;
    l.shortDate = "dd.MM.yyyy";
    l.dateSeparator = ".";
    l.timeSeparator = ":";
    l.thousandSeparator = ".";
    l.hourLeadingZero = true;
    l.twentyFourHour = true;
    return l;
}

}  // namespace

TEST(DateText, LocalesAndClocks) {
    const LocaleValues us;
    LocaleValues usPadded = us;
    usPadded.hourLeadingZero = true;
    LocaleValues markFirst = us;
    markFirst.designatorFirst = true;
    markFirst.amDesignator = "\xC9\xEB";  // bytes are copied as they are
    markFirst.pmDesignator = "PM.";
    LocaleValues noMark = us;
    noMark.pmDesignator = "";

    struct Case { const char* name; CalendarTime t; LocaleValues l; const char* text; } cases[] = {
        {"US", {2026, 12, 7, 21, 5, 0}, us, "12/7/2026 9:05 PM"},
        {"German", {2026, 12, 7, 21, 5, 0}, German(), "07.12.2026 21:05"},
        {"German morning", {2026, 1, 2, 9, 0, 0}, German(), "02.01.2026 09:00"},
        {"midnight", {2026, 12, 7, 0, 0, 59}, us, "12/7/2026 12:00 AM"},
        {"noon", {2026, 12, 7, 12, 0, 0}, us, "12/7/2026 12:00 PM"},
        {"last minute of the morning", {2026, 12, 7, 11, 59, 0}, us, "12/7/2026 11:59 AM"},
        {"leading zero on a 12-hour clock", {2026, 12, 7, 21, 5, 0}, usPadded, "12/7/2026 09:05 PM"},
        {"designator in front", {2026, 12, 7, 21, 5, 0}, markFirst, "12/7/2026 PM. 9:05"},
        {"designator bytes kept", {2026, 12, 7, 1, 5, 0}, markFirst, "12/7/2026 \xC9\xEB 1:05"},
        {"empty designator adds no blank", {2026, 12, 7, 21, 5, 0}, noMark, "12/7/2026 9:05"},
    };
    for (const auto& c : cases) EXPECT_EQ(core::FormatDateText(c.t, c.l), c.text) << c.name;
}

TEST(DateText, ShortDatePatterns) {
    const CalendarTime t{2026, 3, 4, 15, 7, 0};  // a Wednesday
    struct Case { const char* pattern; const char* separator; const char* date; } cases[] = {
        {"", "/", "3/4/26"},  // the locale gives none
        {"M/d/yy", "-", "3-4-26"},
        {"MM/dd/yyyy", "/", "03/04/2026"},
        {"mm/dd/yy", "/", "03/04/26"},  // lower-case month
        {"yyyy-MM-dd", "/", "2026-03-04"},
        {"d MMM yyyy", "/", "4 Mar 2026"},
        {"dddd, MMMM d, yyyy", "/", "Wednesday, March 4, 2026"},
        {"ddd d", "/", "Wed 4"},
        {"y", "/", "26"},
        {"d'/'M 'de' yyyy", ".", "4/3 de 2026"},  // quoted text is literal, even d, y and '/'
        {"d''M", "/", "4'3"},
        {"'open quote d", "/", "open quote d"},
        {"d.M.yyyy g", "/", "4.3.2026 g"},
    };
    for (const auto& c : cases) {
        LocaleValues l;
        l.shortDate = c.pattern;
        l.dateSeparator = c.separator;
        l.twentyFourHour = true;
        EXPECT_EQ(core::FormatDateText(t, l), std::string(c.date) + " 15:07") << c.pattern;
    }
}

TEST(DateText, OutOfRangeFieldsNeverFail) {
    LocaleValues l;
    l.shortDate = "dddd MMMM yy";
    EXPECT_EQ(core::FormatDateText({1985, 13, 40, 30, 75, 0}, l), "  85 6:75 PM");
    EXPECT_NO_THROW(core::FormatDateText({-5, 0, -1, -3, -1, 0}, l));
}
