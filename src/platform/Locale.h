#pragma once

#include <string>

namespace Platform {

// The user's date and time conventions, in UTF-8. The formats use the letters of our date
// formatter (core/DateTime.h): d, dd, m, mm, yy, yyyy, h, hh, n, nn, s, ss and ampm, "/"
// for the date separator, ":" for the time separator and text in double quotes as it
// stands. A separator is whole characters ("." or "/", never part of a character); a
// locale whose format has no separator between its fields ("2008年06月14日") keeps "/" and
// ":" for the layouts that ask for one.
struct TLocaleFormats {
    std::string ShortDateFormat = "yyyy/m/d";
    std::string LongTimeFormat = "hh:nn:ss";
    std::string DateSeparator = "/";
    std::string TimeSeparator = ":";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
};

// Read from the user's settings at every call (on Linux the LC_ALL, LC_TIME and LANG
// variables), so a changed setting shows at the next text made.
TLocaleFormats LocaleFormats();

} // namespace Platform
