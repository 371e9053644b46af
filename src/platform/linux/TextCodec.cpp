#include "platform/TextCodec.h"

#include <algorithm>
#include <cerrno>

#include <iconv.h>

namespace Platform {
namespace {

bool InRange(unsigned char c, unsigned char low, unsigned char high) {
    return c >= low && c <= high;
}

// True when the bytes at p (left of them) cannot begin any GB18030 character: 0x80 and
// 0xFF, a lead byte without a fitting second byte, or a cut-short four-byte form. Such a
// byte is one U+FFFD, as iconv would refuse it.
bool StartsMalformedGb18030(const unsigned char* p, size_t left) {
    if (p[0] == 0x80 || p[0] == 0xFF || left < 2)
        return true;
    if (InRange(p[1], 0x40, 0x7E) || InRange(p[1], 0x80, 0xFE))
        return false;
    if (InRange(p[1], 0x30, 0x39))
        return !(left >= 4 && InRange(p[2], 0x81, 0xFE) && InRange(p[3], 0x30, 0x39));
    return true;
}

// The UTF-8 text being made, written into by iconv; it only ever doubles.
class TUtf8Out {
public:
    explicit TUtf8Out(size_t expected) : FText(expected, '\0') {}
    // At least needed bytes free at End().
    void Room(size_t needed) {
        if (FText.size() - FUsed < needed)
            FText.resize(std::max(FText.size() * 2, FUsed + needed));
    }
    char* End() { return FText.data() + FUsed; }
    size_t Free() const { return FText.size() - FUsed; }
    void Grew(size_t bytes) { FUsed += bytes; }
    std::string Take() {
        FText.resize(FUsed);
        return std::move(FText);
    }

private:
    std::string FText;
    size_t FUsed = 0;
};

// Copies ASCII and turns bytes that can never decode into U+FFFD, from p on, up to the
// first byte that may begin a GB18030 character; returns how many bytes it took.
size_t CopyPlainBytes(const unsigned char* p, size_t left, TUtf8Out& out) {
    out.Room(left * 3);
    char* dst = out.End();
    size_t taken = 0;
    for (; taken < left; ++taken) {
        if (p[taken] < 0x80) {
            *dst++ = static_cast<char>(p[taken]);
        } else if (StartsMalformedGb18030(p + taken, left - taken)) {
            *dst++ = '\xEF';
            *dst++ = '\xBF';
            *dst++ = '\xBD';
        } else {
            break;
        }
    }
    out.Grew(static_cast<size_t>(dst - out.End()));
    return taken;
}

// Converts with iconv from p on until the end or the first byte iconv refuses; returns
// how many bytes it took (0 when it refused the first).
size_t ConvertWithTable(iconv_t cd, const unsigned char* p, size_t left, TUtf8Out& out) {
    char* in = reinterpret_cast<char*>(const_cast<unsigned char*>(p));
    size_t inLeft = left;
    for (;;) {
        char* dst = out.End();
        size_t outLeft = out.Free();
        const size_t result = iconv(cd, &in, &inLeft, &dst, &outLeft);
        out.Grew(static_cast<size_t>(dst - out.End()));
        if (result != static_cast<size_t>(-1) || errno != E2BIG)
            return left - inLeft;
        out.Room(out.Free() + 16);
    }
}

// Decodes in one pass, in time linear in the length whatever the bytes: plain ASCII and
// bytes that can never decode are handled here without a call into iconv, so a long run
// of invalid bytes costs one replacement character each and nothing more; iconv converts
// the stretches that hold GB18030 characters. A sequence of the right form that the
// table does not know is also one U+FFFD for its first byte.
std::string DecodeGb18030(std::string_view bytes) {
    iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string(bytes);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t left = bytes.size();
    TUtf8Out out(bytes.size() * 2 + 16);
    while (left > 0) {
        size_t taken = CopyPlainBytes(p, left, out);
        if (taken == 0 && (taken = ConvertWithTable(cd, p, left, out)) == 0) {
            out.Room(3);
            std::copy_n("\xEF\xBF\xBD", 3, out.End());
            out.Grew(3);
            taken = 1;
        }
        p += taken;
        left -= taken;
    }
    iconv_close(cd);
    return out.Take();
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
    return DecodeGb18030(bytes);
}

std::string Utf8ToSystem(std::string_view text) { return std::string(text); }

} // namespace Platform
