#include "platform/TextCodec.h"

#include <cerrno>

#include <iconv.h>

namespace Platform {
namespace {

std::string Convert(std::string_view bytes, const char* from, const char* to) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string(bytes);
    std::string out;
    out.resize(bytes.size() * 2 + 16);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* dst = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG) {
            const size_t used = out.size() - outLeft;
            out.resize(out.size() * 2);
            dst = out.data() + used;
            outLeft = out.size() - used;
        } else {
            // A byte that has no meaning in the source code page: keep it as U+FFFD.
            const size_t used = out.size() - outLeft;
            out.resize(used);
            out += "\xEF\xBF\xBD";
            ++in;
            --inLeft;
            out.resize(out.size() + inLeft * 2 + 16);
            dst = out.data() + used + 3;
            outLeft = out.size() - used - 3;
        }
    }
    out.resize(out.size() - outLeft);
    iconv_close(cd);
    return out;
}

} // namespace

bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    const size_t n = s.size();
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        size_t len = 0;
        unsigned int cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > n)
            return false;
        for (size_t k = 1; k < len; ++k) {
            const unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
            cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

std::string SystemToUtf8(std::string_view bytes) {
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    return Convert(bytes, "GB18030", "UTF-8");
}

std::string Utf8ToSystem(std::string_view text) { return std::string(text); }

} // namespace Platform
