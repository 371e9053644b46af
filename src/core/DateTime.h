#pragma once

#include "platform/Clock.h"
#include "platform/Locale.h"

#include <string>

// Days since 30 December 1899, 00:00, local time; the fraction is the time of day.
using TDateTime = double;

// The date value of a calendar day (no time part). Throws EMorvaneError
// "Invalid argument to date encode" for a day that does not exist.
TDateTime EncodeDate(int year, int month, int day);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
// The fraction of a day for a time of day. Throws EMorvaneError
// "Invalid argument to time encode" outside 0:00:00.000 .. 23:59:59.999.
TDateTime EncodeTime(int hour, int minute, int second, int milliseconds);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& milliseconds);

TDateTime SystemTimeToDateTime(const Platform::TSystemTime& time);

// The current local date and time.
TDateTime Now();

// Formats a date-time with the letters d, dd, m, mm, yy, yyyy (date) and h, hh, n, nn,
// s, ss, z, zzz (time; "m" right after h/hh means minutes). ddddd is the locale's short
// date, tt its long time, c both (the time left out at midnight); ampm is the locale's
// AM or PM text and am/pm "am" or "pm", and either makes the hours 12-hour. "/" is
// written as the locale's date separator and ":" as its time separator; text in double
// or single quotes is copied as it stands; any other character is copied.
std::string FormatDateTime(const std::string& format, TDateTime value,
                           const Platform::TLocaleFormats& locale);
