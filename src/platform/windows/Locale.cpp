#include "platform/Locale.h"

#include "platform/windows/WinText.h"

#include <windows.h>

namespace Platform {
namespace {

std::string LocaleText(LCTYPE type) {
    wchar_t buffer[128] = {};
    const int n = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, 128);
    return n > 1 ? Win::Narrow(std::wstring_view(buffer, static_cast<size_t>(n - 1))) : "";
}

// The user's separator stands as mark ("/" or ":") in our formats; quoted text stays
// quoted. Windows writes months as "M" and minutes as "m"; our formatter wants "m" and
// "n". Its "H" is the 24-hour clock and "tt" the AM/PM mark, which makes "h" 12-hour
// in our formatter as in Windows'.
std::string FromWindowsPattern(const std::string& pattern, const std::string& separator, char mark,
                               bool time) {
    std::string out;
    bool quoted = false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '\'') {
            quoted = !quoted;
            out += '"';
            continue;
        }
        if (quoted) {
            out += c;
        } else if (!separator.empty() && pattern.compare(i, separator.size(), separator) == 0) {
            out += mark;
            i += separator.size() - 1;
        } else if (c == 'M' && !time) {
            out += 'm';
        } else if (c == 'm' && time) {
            out += 'n';
        } else if (c == 'H') {
            out += 'h';
        } else if (c == 't') {
            while (i + 1 < pattern.size() && pattern[i + 1] == 't')
                ++i;
            out += "ampm";
        } else if (c == '/' || c == ':' || c == '"') {
            out += '"' + std::string(1, c) + '"'; // not our separator: copied as it stands
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

TLocaleFormats LocaleFormats() {
    TLocaleFormats f;
    const std::string dateSep = LocaleText(LOCALE_SDATE);
    const std::string timeSep = LocaleText(LOCALE_STIME);
    if (!dateSep.empty())
        f.DateSeparator = dateSep;
    if (!timeSep.empty())
        f.TimeSeparator = timeSep;
    const std::string shortDate = LocaleText(LOCALE_SSHORTDATE);
    if (!shortDate.empty())
        f.ShortDateFormat = FromWindowsPattern(shortDate, dateSep, '/', false);
    const std::string longTime = LocaleText(LOCALE_STIMEFORMAT);
    if (!longTime.empty())
        f.LongTimeFormat = FromWindowsPattern(longTime, timeSep, ':', true);
    f.TimeAMString = LocaleText(LOCALE_S1159);
    f.TimePMString = LocaleText(LOCALE_S2359);
    return f;
}

} // namespace Platform
