#pragma once

#include <string>

namespace Platform {

// The user's date and time conventions. ShortDateFormat uses the letters of our date
// formatter: d, dd, m, mm, yy, yyyy and "/" for the date separator.
struct TLocaleFormats {
    std::string ShortDateFormat = "yyyy/m/d";
    char DateSeparator = '/';
    char TimeSeparator = ':';
};

TLocaleFormats LocaleFormats();

} // namespace Platform
