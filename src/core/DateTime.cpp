#include "core/DateTime.h"
#include "core/EMorvaneError.h"

#include <cctype>
#include <cmath>
#include <cstdio>

namespace {

// Days from 1 January 0001 to 30 December 1899.
constexpr int DateDelta = 693594;
constexpr double MsPerDay = 86400000.0;

bool IsLeapYear(int y) {
    return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
}

int DaysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : days[m - 1];
}

std::string TwoDigits(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

std::string Padded(int v, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", width, v);
    return buf;
}

struct TParts {
    int Year, Month, Day, Hour, Minute, Second, Ms;
};

size_t RunLength(const std::string& f, size_t i) {
    size_t n = 1;
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(f[i])));
    while (i + n < f.size() && std::tolower(static_cast<unsigned char>(f[i + n])) == c)
        ++n;
    return n;
}

bool StartsWithNoCase(const std::string& f, size_t i, const char* word) {
    for (size_t k = 0; word[k]; ++k)
        if (i + k >= f.size() || std::tolower(static_cast<unsigned char>(f[i + k])) != word[k])
            return false;
    return true;
}

// Whether the format holds an AM/PM mark outside quotes: then the hours are 12-hour.
bool HasAmPm(const std::string& f) {
    for (size_t i = 0; i < f.size(); ++i) {
        if (f[i] == '"' || f[i] == '\'') {
            const size_t end = f.find(f[i], i + 1);
            if (end == std::string::npos)
                return false;
            i = end;
        } else if (StartsWithNoCase(f, i, "ampm") || StartsWithNoCase(f, i, "am/pm")) {
            return true;
        }
    }
    return false;
}

int Hour12(int hour) {
    return hour % 12 == 0 ? 12 : hour % 12;
}

void Format(const std::string& f, const TParts& p, const Platform::TLocaleFormats& locale,
            std::string& out, int nesting) {
    const bool twelveHour = HasAmPm(f);
    bool afterHour = false;
    for (size_t i = 0; i < f.size();) {
        const char raw = f[i];
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(raw)));
        if (raw == '"' || raw == '\'') {
            const size_t end = f.find(raw, i + 1);
            out += f.substr(i + 1, (end == std::string::npos ? f.size() : end) - i - 1);
            i = end == std::string::npos ? f.size() : end + 1;
            continue;
        }
        if (StartsWithNoCase(f, i, "ampm")) {
            out += p.Hour < 12 ? locale.TimeAMString : locale.TimePMString;
            i += 4;
            continue;
        }
        if (StartsWithNoCase(f, i, "am/pm")) {
            out += p.Hour < 12 ? "am" : "pm";
            i += 5;
            continue;
        }
        const size_t n = std::string("dmyhnszt").find(c) == std::string::npos ? 1 : RunLength(f, i);
        const int hour = twelveHour ? Hour12(p.Hour) : p.Hour;
        switch (c) {
        case 'c':
            // The short date, and the long time unless it is midnight.
            if (nesting == 0) {
                Format(locale.ShortDateFormat, p, locale, out, 1);
                if (p.Hour != 0 || p.Minute != 0 || p.Second != 0 || p.Ms != 0) {
                    out += ' ';
                    Format(locale.LongTimeFormat, p, locale, out, 1);
                }
            }
            break;
        case 'd':
            if (n >= 5 && nesting == 0)
                Format(locale.ShortDateFormat, p, locale, out, 1);
            else
                out += n >= 2 ? TwoDigits(p.Day) : std::to_string(p.Day);
            break;
        case 't':
            if (n >= 2 && nesting == 0)
                Format(locale.LongTimeFormat, p, locale, out, 1);
            else if (n < 2)
                out += raw;
            break;
        case 'm': {
            const int v = afterHour ? p.Minute : p.Month;
            out += n >= 2 ? TwoDigits(v) : std::to_string(v);
            break;
        }
        case 'y':
            out += n <= 2 ? TwoDigits(p.Year % 100) : Padded(p.Year, 4);
            break;
        case 'h':
            out += n >= 2 ? TwoDigits(hour) : std::to_string(hour);
            break;
        case 'n':
            out += n >= 2 ? TwoDigits(p.Minute) : std::to_string(p.Minute);
            break;
        case 's':
            out += n >= 2 ? TwoDigits(p.Second) : std::to_string(p.Second);
            break;
        case 'z':
            out += n >= 3 ? Padded(p.Ms, 3) : std::to_string(p.Ms);
            break;
        case '/':
            out += locale.DateSeparator;
            break;
        case ':':
            out += locale.TimeSeparator;
            break;
        default:
            out += raw;
            break;
        }
        // "m" means minutes when the letter token before it was an hour ("hh:mm").
        if (c == 'h')
            afterHour = true;
        else if (std::string("dmysnz").find(c) != std::string::npos)
            afterHour = false;
        i += n;
    }
}

} // namespace

TDateTime EncodeDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
        throw EMorvaneError("Invalid argument to date encode");
    int days = day;
    for (int m = 1; m < month; ++m)
        days += DaysInMonth(year, m);
    const int y = year - 1;
    return static_cast<TDateTime>(y * 365 + y / 4 - y / 100 + y / 400 + days - DateDelta);
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
    int days = static_cast<int>(std::trunc(value)) + DateDelta; // days since 1 Jan 0001, from 1
    if (days <= 0) {
        year = month = day = 0;
        return;
    }
    int y = 1;
    --days;
    y += (days / 146097) * 400;
    days %= 146097;
    int c = days / 36524;
    if (c == 4)
        c = 3;
    y += c * 100;
    days -= c * 36524;
    y += (days / 1461) * 4;
    days %= 1461;
    int d = days / 365;
    if (d == 4)
        d = 3;
    y += d;
    days -= d * 365;
    int m = 1;
    while (days >= DaysInMonth(y, m)) {
        days -= DaysInMonth(y, m);
        ++m;
    }
    year = y;
    month = m;
    day = days + 1;
}

TDateTime EncodeTime(int hour, int minute, int second, int milliseconds) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        milliseconds < 0 || milliseconds > 999)
        throw EMorvaneError("Invalid argument to time encode");
    return ((hour * 3600000.0) + minute * 60000.0 + second * 1000.0 + milliseconds) / MsPerDay;
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& milliseconds) {
    double frac = std::fabs(value - std::trunc(value));
    long long ms = std::llround(frac * MsPerDay);
    if (ms >= 86400000LL)
        ms = 86399999LL;
    hour = static_cast<int>(ms / 3600000);
    minute = static_cast<int>(ms / 60000 % 60);
    second = static_cast<int>(ms / 1000 % 60);
    milliseconds = static_cast<int>(ms % 1000);
}

TDateTime SystemTimeToDateTime(const Platform::TSystemTime& t) {
    const TDateTime date = EncodeDate(t.Year, t.Month, t.Day);
    const TDateTime time = EncodeTime(t.Hour, t.Minute, t.Second, t.Milliseconds);
    // Before 1899 the day count is negative and the time still counts forward.
    return date < 0 ? date - time : date + time;
}

TDateTime Now() {
    return SystemTimeToDateTime(Platform::LocalNow());
}

std::string FormatDateTime(const std::string& format, TDateTime value,
                           const Platform::TLocaleFormats& locale) {
    TParts p{};
    DecodeDate(value, p.Year, p.Month, p.Day);
    DecodeTime(value, p.Hour, p.Minute, p.Second, p.Ms);
    std::string out;
    Format(format, p, locale, out, 0);
    return out;
}
