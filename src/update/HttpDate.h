#pragma once

#include "core/DateTime.h"

#include <cstdint>
#include <optional>
#include <string>

// Reads an HTTP date text in any of the three forms servers send ("Sun, 06 Nov 1994
// 08:49:37 GMT", "Sunday, 06-Nov-94 08:49:37 GMT", "Sun Nov  6 08:49:37 1994"), with an
// optional "+hhmm" / "-hhmm" zone, and gives it as seconds since 1970-01-01 UTC.
// nullopt for an empty or unreadable text.
std::optional<int64_t> ParseHttpDateUnix(const std::string& text);

// The same moment as a local date-time of the user's time zone; 0 for an empty or
// unreadable text.
TDateTime HttpDateToDateTime(const std::string& text);

// Seconds since 1970 UTC as a local date-time; 0 when it cannot be represented.
TDateTime UnixTimeToLocalDateTime(int64_t seconds);
