#pragma once
#include "core/file_info_text.hpp"

namespace platform {

// The user's regional settings that the status bar texts use (GetThreadLocale, GetLocaleInfoA).
core::LocaleValues ReadUserLocale();

}  // namespace platform
