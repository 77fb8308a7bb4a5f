#pragma once
// The size and date texts of the status bar, built from values the window code reads from the
// system (the file's size, its local DOS date and time, the user's regional settings).
#include <cstdint>
#include <string>
#include <string_view>

namespace core {

// "(unknown)" when size is negative (the size probe failed); otherwise the size grouped in threes
// with the first character of thousandSeparator (a comma when it is empty) and " bytes", for every
// size including one: "1,234,567 bytes", "0 bytes".
std::string FormatSizeText(std::int32_t size, std::string_view thousandSeparator);

// The user's regional settings as GetLocaleInfoA gives them; the defaults are a United States set.
struct LocaleValues {
    std::string shortDate = "M/d/yyyy";   // LOCALE_SSHORTDATE (when empty "m/d/yy" is used)
    std::string dateSeparator = "/";      // LOCALE_SDATE
    std::string timeSeparator = ":";      // LOCALE_STIME
    std::string thousandSeparator = ",";  // LOCALE_STHOUSAND
    bool hourLeadingZero = false;         // LOCALE_ITLZERO != 0
    bool twentyFourHour = false;          // LOCALE_ITIME != 0
    std::string amDesignator = "AM";      // LOCALE_S1159
    std::string pmDesignator = "PM";      // LOCALE_S2359
    bool designatorFirst = false;         // LOCALE_ITIMEMARKPOSN != 0
};

struct CalendarTime {
    int year, month, day, hour, minute, second;
};

// The user's short date, one blank, the user's short time.
//
// Short-date tokens (a run of one letter is one token):
//   d, dd        day without / with a leading zero; ddd, dddd English day name, short / full
//   M, MM        month without / with a leading zero; MMM, MMMM English month name, short / full;
//                lower-case m runs mean the same, as older patterns write the month that way
//   y, yy        year in the century without / with a leading zero; yyy and longer: full year
//   /            the locale's date separator
//   '...'        literal text; '' is one single quote, inside or outside quoted text
// Any other character is copied as it is. Names are English because the window code does not
// read the locale's names; numeric patterns, the common case for short dates, are unaffected.
//
// Short time: hour (leading zero only with hourLeadingZero), the time separator, two-digit
// minutes, no seconds. The 12-hour clock shows hour 0 as 12 and 13-23 as 1-11, with the AM
// designator before noon and the PM one from noon, after a blank behind the time or, with
// designatorFirst, before it followed by a blank; an empty designator adds no blank.
// Values out of range are printed as numbers and give empty names; they never fail.
std::string FormatDateText(const CalendarTime& t, const LocaleValues& locale);

}  // namespace core
