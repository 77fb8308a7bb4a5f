#include "platform/locale.hpp"

#include <windows.h>

namespace platform {
namespace {

std::string LocaleText(LCID locale, LCTYPE item, const char* fallback) {
    char buffer[256] = {};
    int length = ::GetLocaleInfoA(locale, item, buffer, sizeof buffer);
    if (length <= 1) return fallback;
    return std::string(buffer, static_cast<std::size_t>(length - 1));
}

bool LocaleFlag(LCID locale, LCTYPE item) { return LocaleText(locale, item, "0") != "0"; }

}  // namespace

core::LocaleValues ReadUserLocale() {
    const LCID locale = ::GetThreadLocale();
    core::LocaleValues values;
    values.shortDate = LocaleText(locale, LOCALE_SSHORTDATE, "m/d/yy");
    values.dateSeparator = LocaleText(locale, LOCALE_SDATE, "/");
    values.timeSeparator = LocaleText(locale, LOCALE_STIME, ":");
    values.thousandSeparator = LocaleText(locale, LOCALE_STHOUSAND, "");
    values.hourLeadingZero = LocaleFlag(locale, LOCALE_ITLZERO);
    values.twentyFourHour = LocaleFlag(locale, LOCALE_ITIME);
    values.amDesignator = LocaleText(locale, LOCALE_S1159, "");
    values.pmDesignator = LocaleText(locale, LOCALE_S2359, "");
    values.designatorFirst = LocaleFlag(locale, LOCALE_ITIMEMARKPOSN);
    return values;
}

}  // namespace platform
