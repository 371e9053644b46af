#include "platform/Locale.h"

#include <cerrno>
#include <string>
#include <vector>

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

namespace Platform {
namespace {

// One piece of a strftime format: a field in our formatter's letters, or literal text.
struct TPiece {
    bool Field;
    bool Numeric; // a field that prints digits (every field but the AM/PM mark)
    std::string Text;
};

struct TLangInfo {
    std::string DateFormat, TimeFormat, TimeFormatAmPm, Am, Pm;
};

void AddLiteral(std::vector<TPiece>& pieces, const std::string& text) {
    if (text.empty())
        return;
    if (!pieces.empty() && !pieces.back().Field)
        pieces.back().Text += text;
    else
        pieces.push_back({false, false, text});
}

void AddField(std::vector<TPiece>& pieces, const char* letters) {
    pieces.push_back({true, std::string(letters) != "ampm", letters});
}

std::vector<TPiece> Pieces(const std::string& fmt, const std::string& ampmFormat, int depth = 0);

// Spells out a composite conversion ("%T" is "%H:%M:%S") in place.
void AddComposite(std::vector<TPiece>& pieces, const std::string& fmt,
                  const std::string& ampmFormat, int depth) {
    if (depth >= 2) // the locale's 12-hour format naming itself
        return;
    for (const TPiece& p : Pieces(fmt, ampmFormat, depth + 1)) {
        if (p.Field)
            pieces.push_back(p);
        else
            AddLiteral(pieces, p.Text);
    }
}

// Splits a strftime format into pieces. The composite conversions are spelt out; those
// with no counterpart in our formatter (week days, month names, time zones) are dropped.
std::vector<TPiece> Pieces(const std::string& fmt, const std::string& ampmFormat, int depth) {
    std::vector<TPiece> pieces;
    for (size_t i = 0; i < fmt.size(); ++i) {
        if (fmt[i] != '%' || i + 1 == fmt.size()) {
            AddLiteral(pieces, std::string(1, fmt[i]));
            continue;
        }
        char conv = fmt[++i];
        // Flags, widths and the E and O modifiers change nothing we can show.
        while ((conv == '-' || conv == '_' || conv == '0' || conv == '^' || conv == '#' ||
                conv == 'E' || conv == 'O' || (conv >= '1' && conv <= '9')) &&
               i + 1 < fmt.size())
            conv = fmt[++i];
        switch (conv) {
        case 'd':
            AddField(pieces, "dd");
            break;
        case 'e':
            AddField(pieces, "d");
            break;
        case 'm':
            AddField(pieces, "mm");
            break;
        case 'y':
            AddField(pieces, "yy");
            break;
        case 'Y':
            AddField(pieces, "yyyy");
            break;
        case 'H':
        case 'I':
            AddField(pieces, "hh");
            break;
        case 'k':
        case 'l':
            AddField(pieces, "h");
            break;
        case 'M':
            AddField(pieces, "nn");
            break;
        case 'S':
            AddField(pieces, "ss");
            break;
        case 'p':
        case 'P':
            AddField(pieces, "ampm");
            break;
        case 'F':
            AddComposite(pieces, "%Y-%m-%d", ampmFormat, depth);
            break;
        case 'D':
            AddComposite(pieces, "%m/%d/%y", ampmFormat, depth);
            break;
        case 'T':
            AddComposite(pieces, "%H:%M:%S", ampmFormat, depth);
            break;
        case 'R':
            AddComposite(pieces, "%H:%M", ampmFormat, depth);
            break;
        case 'r':
            AddComposite(pieces, ampmFormat, ampmFormat, depth);
            break;
        case 'n':
        case 't':
            AddLiteral(pieces, " ");
            break;
        case '%':
            AddLiteral(pieces, "%");
            break;
        default:
            break;
        }
    }
    return pieces;
}

// The text between the numeric fields when it is one and the same between each pair of
// them ("." in 14.06.2008); empty when the fields are apart by different texts
// ("2008年06月14日") or by nothing.
std::string SeparatorOf(const std::vector<TPiece>& pieces) {
    std::string separator;
    int fields = 0;
    std::string between;
    bool afterField = false;
    for (const TPiece& p : pieces) {
        if (p.Field && p.Numeric) {
            if (afterField) {
                if (between.empty() || (fields > 1 && between != separator))
                    return {};
                separator = between;
            }
            ++fields;
            afterField = true;
            between.clear();
        } else if (!p.Field) {
            between += p.Text;
        } else {
            afterField = false; // the AM/PM mark breaks the run of numbers
        }
    }
    for (char c : separator)
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            return {};
    return separator;
}

// Literal text in a form our formatter copies as it stands.
std::string Quoted(const std::string& text) {
    const char quote = text.find('"') == std::string::npos ? '"' : '\'';
    std::string out(1, quote);
    for (char c : text)
        if (c != quote)
            out += c;
    return out + quote;
}

// Writes the pieces in our letters; the separator, where it stands between two numeric
// fields, becomes mark ("/" or ":"), so that the formatter writes the locale's separator.
std::string Letters(const std::vector<TPiece>& pieces, const std::string& separator, char mark) {
    std::string out;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const TPiece& p = pieces[i];
        if (p.Field) {
            out += p.Text;
            continue;
        }
        const bool betweenNumbers =
            i > 0 && i + 1 < pieces.size() && pieces[i - 1].Numeric && pieces[i + 1].Numeric;
        if (betweenNumbers && !separator.empty() && p.Text == separator)
            out += mark;
        else
            out += Quoted(p.Text);
    }
    return out;
}

std::string ToUtf8(const std::string& text, const std::string& codeset) {
    if (text.empty() || codeset.empty() || codeset == "UTF-8" || codeset == "ANSI_X3.4-1968")
        return text;
    iconv_t cd = iconv_open("UTF-8", codeset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return text;
    std::string out(text.size() * 4 + 8, '\0');
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* dst = out.data();
    size_t outLeft = out.size();
    const size_t done = iconv(cd, &in, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1))
        return {}; // a text we cannot read is better left out than shown broken
    out.resize(out.size() - outLeft);
    return out;
}

// The user's time conventions, converted from the locale's own code page to UTF-8.
bool ReadLangInfo(TLangInfo& info) {
    locale_t loc = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    if (loc == static_cast<locale_t>(0))
        return false;
    const std::string codeset = nl_langinfo_l(CODESET, loc);
    info.DateFormat = ToUtf8(nl_langinfo_l(D_FMT, loc), codeset);
    info.TimeFormat = ToUtf8(nl_langinfo_l(T_FMT, loc), codeset);
    info.TimeFormatAmPm = ToUtf8(nl_langinfo_l(T_FMT_AMPM, loc), codeset);
    info.Am = ToUtf8(nl_langinfo_l(AM_STR, loc), codeset);
    info.Pm = ToUtf8(nl_langinfo_l(PM_STR, loc), codeset);
    freelocale(loc);
    return true;
}

} // namespace

TLocaleFormats LocaleFormats() {
    TLocaleFormats f;
    TLangInfo info;
    if (!ReadLangInfo(info))
        return f;
    const std::string ampm = info.TimeFormatAmPm.empty() ? "%I:%M:%S %p" : info.TimeFormatAmPm;
    const std::vector<TPiece> date = Pieces(info.DateFormat, ampm, 0);
    const std::vector<TPiece> time = Pieces(info.TimeFormat, ampm, 0);
    const std::string dateSeparator = SeparatorOf(date);
    const std::string timeSeparator = SeparatorOf(time);
    if (!dateSeparator.empty())
        f.DateSeparator = dateSeparator;
    if (!timeSeparator.empty())
        f.TimeSeparator = timeSeparator;
    const std::string shortDate = Letters(date, dateSeparator, '/');
    const std::string longTime = Letters(time, timeSeparator, ':');
    if (shortDate.find('y') != std::string::npos)
        f.ShortDateFormat = shortDate;
    if (longTime.find('h') != std::string::npos)
        f.LongTimeFormat = longTime;
    f.TimeAMString = info.Am;
    f.TimePMString = info.Pm;
    return f;
}

} // namespace Platform
