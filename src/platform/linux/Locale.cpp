#include "platform/Locale.h"

#include <clocale>
#include <string>

#include <langinfo.h>
#include <locale.h>

namespace Platform {
namespace {

// Turns a strftime date format ("%d/%m/%Y", "%Y年%m月%d日") into our day/month/year
// letters. Conversions that have no counterpart are dropped.
std::string FromStrftime(const std::string& fmt, char& separator) {
    std::string out;
    bool separatorSeen = false;
    for (size_t i = 0; i < fmt.size(); ++i) {
        char c = fmt[i];
        if (c != '%' || i + 1 == fmt.size()) {
            if (!separatorSeen && (c == '/' || c == '-' || c == '.')) {
                separator = c;
                separatorSeen = true;
            }
            out += (c == separator && separatorSeen) ? '/' : c;
            continue;
        }
        char conv = fmt[++i];
        if (conv == 'E' || conv == 'O' || conv == '-' || conv == '0') {
            if (i + 1 == fmt.size())
                break;
            conv = fmt[++i];
        }
        switch (conv) {
        case 'd': out += "dd"; break;
        case 'e': out += "d"; break;
        case 'm': out += "mm"; break;
        case 'y': out += "yy"; break;
        case 'Y': out += "yyyy"; break;
        case 'F': out += "yyyy/mm/dd"; separator = '-'; separatorSeen = true; break;
        case 'D': out += "mm/dd/yy"; separator = '/'; separatorSeen = true; break;
        case '%': out += '%'; break;
        default: break;
        }
    }
    return out;
}

} // namespace

TLocaleFormats LocaleFormats() {
    TLocaleFormats f;
    locale_t loc = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
    if (loc == static_cast<locale_t>(0))
        return f;
    const std::string dateFmt = nl_langinfo_l(D_FMT, loc);
    const std::string timeFmt = nl_langinfo_l(T_FMT, loc);
    freelocale(loc);
    char sep = '/';
    std::string shortFmt = FromStrftime(dateFmt, sep);
    if (!shortFmt.empty()) {
        f.ShortDateFormat = shortFmt;
        f.DateSeparator = sep;
    }
    for (size_t i = 0; i + 1 < timeFmt.size(); ++i) {
        if (timeFmt[i] == '%' && (timeFmt[i + 1] == 'H' || timeFmt[i + 1] == 'I') &&
            i + 2 < timeFmt.size() && timeFmt[i + 2] != '%') {
            f.TimeSeparator = timeFmt[i + 2];
            break;
        }
    }
    if (timeFmt == "%T" || timeFmt.empty())
        f.TimeSeparator = ':';
    return f;
}

} // namespace Platform
