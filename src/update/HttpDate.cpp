#include "update/HttpDate.h"

#include "platform/Clock.h"

#include <array>
#include <cctype>
#include <cmath>

namespace {

constexpr std::array<const char*, 7> WeekDays = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
constexpr std::array<const char*, 12> Months = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

std::string Upper3(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size() && i < 3; ++i)
        out += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    return out;
}

std::string Trim(const std::string& text) {
    auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// Takes the text up to the next separator (runs of blanks count as one) off the front.
std::string NextField(std::string& text, char separator) {
    text = Trim(text);
    auto end = text.find(separator);
    std::string field = Trim(text.substr(0, end));
    text = end == std::string::npos ? std::string() : text.substr(end + 1);
    return field;
}

std::optional<int> Number(const std::string& text) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoi(text);
}

int MonthNumber(const std::string& field) {
    const std::string key = Upper3(field);
    for (std::size_t i = 0; i < Months.size(); ++i)
        if (field.size() >= 3 && key == Months[i])
            return static_cast<int>(i) + 1;
    return 0;
}

bool IsLeap(int y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }

int DaysIn(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// Days from 1970-01-01 to the given civil date.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

} // namespace

std::optional<int64_t> ParseHttpDateUnix(const std::string& input) {
    std::string text = Trim(input);
    if (text.empty())
        return std::nullopt;
    for (const char* day : WeekDays)
        if (Upper3(text) == day) {
            auto blank = text.find(' ');
            text = blank == std::string::npos ? std::string() : text.substr(blank + 1);
            break;
        }
    text = Trim(text);
    const auto blank = text.find(' ');
    const auto dash = text.find('-');
    const char separator = dash != std::string::npos && dash >= 1 && dash < blank ? '-' : ' ';

    std::string first = NextField(text, separator);
    std::string second = NextField(text, separator);
    int month = MonthNumber(first);
    std::string dayText = second;
    if (month == 0) {
        month = MonthNumber(second);
        dayText = first;
    }
    const int day = Number(dayText).value_or(1);

    std::string yearField = NextField(text, ' ');
    auto year = Number(yearField);
    if (!year) {
        // asctime form: the time comes before the year, which ends the text.
        std::string rest = Trim(text);
        year = Number(NextField(rest, ' '));
        text = yearField + " " + rest;
    }
    if (!year || month == 0)
        return std::nullopt;
    int y = *year < 80 ? *year + 2000 : *year < 100 ? *year + 1900 : *year;
    if (day < 1 || day > DaysIn(y, month))
        return std::nullopt;

    int hms[3] = {0, 0, 0};
    text = Trim(text);
    std::string timeField = text.find(':') != std::string::npos ? NextField(text, ' ') : "";
    for (int i = 0; i < 3 && !timeField.empty(); ++i) {
        auto value = Number(NextField(timeField, ':'));
        if (!value)
            return std::nullopt;
        hms[i] = *value;
    }
    if (hms[0] > 23 || hms[1] > 59 || hms[2] > 60)
        return std::nullopt;
    int64_t seconds = DaysFromCivil(y, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 +
                      hms[0] * 3600 + hms[1] * 60 + hms[2];

    text = Trim(text);
    if (text.size() > 4) {
        const char sign = text[0];
        auto hh = Number(text.substr(1, 2));
        auto mm = Number(text.substr(3, 2));
        if ((sign != '+' && sign != '-') || !hh || !mm)
            return std::nullopt;
        const int offset = *hh * 3600 + *mm * 60;
        seconds -= sign == '+' ? offset : -offset;
    }
    return seconds;
}

TDateTime UnixTimeToLocalDateTime(int64_t seconds) {
    Platform::TSystemTime local;
    Platform::TFileTime time{seconds * 10000000 + Platform::UnixEpochTicks};
    if (!Platform::FileTimeToLocalSystemTime(time, local))
        return 0;
    try {
        return SystemTimeToDateTime(local);
    } catch (...) {
        return 0;
    }
}

TDateTime HttpDateToDateTime(const std::string& text) {
    auto seconds = ParseHttpDateUnix(text);
    return seconds ? UnixTimeToLocalDateTime(*seconds) : 0;
}
