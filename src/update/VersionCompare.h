#pragma once

#include "core/DateTime.h"

#include <string>

// Compares two dotted versions, leading and trailing blanks aside, by their first four
// numeric parts (missing parts are 0):
// positive when a is newer, negative when older, 0 when equal. When a part of either is
// not a decimal number, the texts are compared byte by byte instead.
int CompareVersions(const std::string& a, const std::string& b);

// A "month/day/year" date; today's date when the text is not one.
TDateTime ParseUpdateDate(const std::string& text);
