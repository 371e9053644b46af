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

// Windows writes months as "M"; our formatter uses "m". The separator becomes "/".
std::string FromWindowsPattern(const std::string& pattern, char separator) {
    std::string out;
    bool quoted = false;
    for (char c : pattern) {
        if (c == '\'') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && c == 'M')
            out += 'm';
        else if (!quoted && c == separator)
            out += '/';
        else
            out += c;
    }
    return out;
}

} // namespace

TLocaleFormats LocaleFormats() {
    TLocaleFormats f;
    const std::string dateSep = LocaleText(LOCALE_SDATE);
    const std::string timeSep = LocaleText(LOCALE_STIME);
    if (dateSep.size() == 1)
        f.DateSeparator = dateSep[0];
    if (timeSep.size() == 1)
        f.TimeSeparator = timeSep[0];
    const std::string shortDate = LocaleText(LOCALE_SSHORTDATE);
    if (!shortDate.empty())
        f.ShortDateFormat = FromWindowsPattern(shortDate, f.DateSeparator);
    return f;
}

} // namespace Platform
