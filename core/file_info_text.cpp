#include "core/file_info_text.hpp"

#include <array>

namespace core {
namespace {

constexpr std::array<const char*, 12> kMonthNames = {"January", "February", "March",     "April",
                                                     "May",     "June",     "July",      "August",
                                                     "September", "October", "November", "December"};
constexpr std::array<const char*, 7> kDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};

std::string GroupDigits(std::int64_t value, char separator) {
    const std::string digits = std::to_string(value);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped.push_back(separator);
        grouped.push_back(digits[i]);
    }
    return grouped;
}

std::string TwoDigits(int value) {
    return (value >= 0 && value < 10) ? "0" + std::to_string(value) : std::to_string(value);
}

std::string Number(int value, bool leadingZero) { return leadingZero ? TwoDigits(value) : std::to_string(value); }

// Full or three-letter name; empty when the index is out of range.
template <std::size_t N>
std::string Name(const std::array<const char*, N>& names, int index, bool full) {
    if (index < 0 || index >= static_cast<int>(N)) return {};
    const std::string name = names[static_cast<std::size_t>(index)];
    return full ? name : name.substr(0, 3);
}

// 0 = Sunday, for Gregorian dates from year 1; -1 when the date cannot be placed.
int DayOfWeek(const CalendarTime& t) {
    if (t.year < 1 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31) return -1;
    static constexpr std::array<int, 12> kOffsets = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    const int y = t.month < 3 ? t.year - 1 : t.year;
    return (y + y / 4 - y / 100 + y / 400 + kOffsets[static_cast<std::size_t>(t.month - 1)] + t.day) % 7;
}

std::string DayToken(const CalendarTime& t, std::size_t run) {
    if (run >= 3) return Name(kDayNames, DayOfWeek(t), run >= 4);
    return Number(t.day, run == 2);
}

std::string MonthToken(const CalendarTime& t, std::size_t run) {
    if (run >= 3) return Name(kMonthNames, t.month - 1, run >= 4);
    return Number(t.month, run == 2);
}

std::string YearToken(const CalendarTime& t, std::size_t run) {
    if (run >= 3) return std::to_string(t.year);
    return Number(t.year % 100, run == 2);
}

// Copies the quoted text that starts after the opening quote at pos; returns the offset after the
// closing quote (or the end, when the quote is never closed). '' inside stands for one quote.
std::size_t CopyQuoted(std::string_view pattern, std::size_t pos, std::string& out) {
    for (++pos; pos < pattern.size(); ++pos) {
        if (pattern[pos] != '\'') {
            out.push_back(pattern[pos]);
        } else if (pos + 1 < pattern.size() && pattern[pos + 1] == '\'') {
            out.push_back('\'');
            ++pos;
        } else {
            return pos + 1;
        }
    }
    return pos;
}

std::size_t RunLength(std::string_view pattern, std::size_t pos) {
    std::size_t end = pos;
    while (end < pattern.size() && pattern[end] == pattern[pos]) ++end;
    return end - pos;
}

std::string FormatShortDate(const CalendarTime& t, const LocaleValues& locale) {
    const std::string_view pattern = locale.shortDate.empty() ? std::string_view("m/d/yy") : locale.shortDate;
    std::string out;
    std::size_t pos = 0;
    while (pos < pattern.size()) {
        const char c = pattern[pos];
        if (c == '\'' && pos + 1 < pattern.size() && pattern[pos + 1] == '\'') {
            out.push_back('\'');
            pos += 2;
            continue;
        }
        if (c == '\'') {
            pos = CopyQuoted(pattern, pos, out);
            continue;
        }
        if (c == '/') {
            out += locale.dateSeparator;
            ++pos;
            continue;
        }
        const std::size_t run = RunLength(pattern, pos);
        if (c == 'd')
            out += DayToken(t, run);
        else if (c == 'M' || c == 'm')
            out += MonthToken(t, run);
        else if (c == 'y')
            out += YearToken(t, run);
        else
            out.append(run, c);
        pos += run;
    }
    return out;
}

std::string FormatShortTime(const CalendarTime& t, const LocaleValues& locale) {
    int hour = t.hour;
    if (!locale.twentyFourHour) {
        hour %= 12;
        if (hour == 0) hour = 12;
    }
    std::string time = Number(hour, locale.hourLeadingZero) + locale.timeSeparator + TwoDigits(t.minute);
    if (locale.twentyFourHour) return time;

    const std::string& designator = t.hour < 12 ? locale.amDesignator : locale.pmDesignator;
    if (designator.empty()) return time;
    return locale.designatorFirst ? designator + " " + time : time + " " + designator;
}

}  // namespace

std::string FormatSizeText(std::int32_t size, std::string_view thousandSeparator) {
    if (size < 0) return "(unknown)";
    const char separator = thousandSeparator.empty() ? ',' : thousandSeparator.front();
    return GroupDigits(size, separator) + " bytes";
}

std::string FormatDateText(const CalendarTime& t, const LocaleValues& locale) {
    return FormatShortDate(t, locale) + " " + FormatShortTime(t, locale);
}

}  // namespace core
