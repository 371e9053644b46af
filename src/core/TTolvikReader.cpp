#include "core/TTolvikReader.h"

#include "core/EMorvaneError.h"
#include "core/Extended80.h"
#include "core/TTolvikWriter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

const char* const StreamReadError = "Stream read error";
const char* const InvalidPropertyValue = "Invalid property value";

// The calendar's span, 1 January 0001 to 31 December 9999: a date outside it (or not a
// number at all) cannot be shown or computed with, so it is refused like a wrong tag.
constexpr double MinDateTime = -693593.0;
constexpr double MaxDateTime = 2958466.0;

bool SameTextAscii(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

const TPropertyInfo* FindProperty(const TPersistent& object, std::string_view name) {
    for (const TPropertyInfo& property : object.PublishedProperties())
        if (SameTextAscii(property.Name, name))
            return &property;
    return nullptr;
}

// A name from a damaged file may hold control bytes; a NUL would cut the message short
// where it is shown, so those bytes show as "?".
std::string Printable(std::string name) {
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    return name;
}

double CheckedDate(double value) {
    if (!(value >= MinDateTime && value < MaxDateTime))
        throw EMorvaneError(InvalidPropertyValue);
    return value;
}

} // namespace

TTolvikReader::TTolvikReader(TMemoryStream& stream, size_t bufferSize)
    : FStream(stream), FBuffer(bufferSize == 0 ? 1 : bufferSize) {}

size_t TTolvikReader::Position() const { return FStream.Position() - (FBufEnd - FBufPos); }

void TTolvikReader::Read(void* bytes, size_t count) {
    auto* p = static_cast<uint8_t*>(bytes);
    while (count > 0) {
        if (FBufPos == FBufEnd) {
            FBufEnd = FStream.Read(FBuffer.data(), FBuffer.size());
            FBufPos = 0;
            if (FBufEnd == 0)
                throw EMorvaneError(StreamReadError);
        }
        const size_t n = std::min(count, FBufEnd - FBufPos);
        std::memcpy(p, FBuffer.data() + FBufPos, n);
        FBufPos += n;
        p += n;
        count -= n;
    }
}

uint8_t TTolvikReader::ReadByte() {
    uint8_t b = 0;
    Read(&b, 1);
    return b;
}

std::string TTolvikReader::ReadShortString() {
    const uint8_t length = ReadByte();
    std::string text(length, '\0');
    Read(text.data(), length);
    return text;
}

bool TTolvikReader::ReadBooleanValue(uint8_t tag) {
    switch (tag) {
    case vaFalse:
        return false;
    case vaTrue:
        return true;
    case vaIdent: {
        const std::string ident = ReadShortString();
        if (SameTextAscii(ident, "False"))
            return false;
        if (SameTextAscii(ident, "True"))
            return true;
        break;
    }
    default:
        break;
    }
    throw EMorvaneError(InvalidPropertyValue);
}

int32_t TTolvikReader::ReadIntegerValue(uint8_t tag) {
    uint8_t b[4] = {};
    switch (tag) {
    case vaInt8:
        Read(b, 1);
        return static_cast<int8_t>(b[0]);
    case vaInt16:
        Read(b, 2);
        return static_cast<int16_t>(static_cast<uint16_t>(b[0] | (b[1] << 8)));
    case vaInt32:
        Read(b, 4);
        return static_cast<int32_t>(uint32_t{b[0]} | (uint32_t{b[1]} << 8) |
                                    (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24));
    default:
        throw EMorvaneError(InvalidPropertyValue);
    }
}

double TTolvikReader::ReadDateValue(uint8_t tag) {
    if (tag == vaExtended) {
        TExtended80 bytes{};
        Read(bytes.data(), bytes.size());
        return CheckedDate(Extended80ToDouble(bytes));
    }
    if (tag == vaInt64) {
        uint8_t b[8] = {};
        Read(b, 8);
        uint64_t bits = 0;
        for (int i = 7; i >= 0; --i)
            bits = (bits << 8) | b[i];
        return CheckedDate(static_cast<double>(static_cast<int64_t>(bits)));
    }
    return CheckedDate(ReadIntegerValue(tag));
}

TPropertyValue TTolvikReader::ReadValue(TPropertyKind kind) {
    const uint8_t tag = ReadByte();
    switch (kind) {
    case TPropertyKind::Boolean:
        return ReadBooleanValue(tag);
    case TPropertyKind::Integer:
        return ReadIntegerValue(tag);
    case TPropertyKind::DateTime:
        return ReadDateValue(tag);
    }
    throw EMorvaneError(InvalidPropertyValue);
}

void TTolvikReader::ReadProperty(TPersistent& object) {
    // A short name is a plain stream error; anything after the name names the property.
    const std::string name = ReadShortString();
    try {
        const TPropertyInfo* property = FindProperty(object, name);
        if (property == nullptr)
            throw EMorvaneError("Property " + Printable(name) + " does not exist");
        property->Set(object, ReadValue(property->Kind));
    } catch (const EMorvaneError& e) {
        throw EMorvaneError("Error reading " + object.ClassName() + "." + Printable(name) + ": " +
                            e.what());
    }
}

void LoadObjectFromStream(TMemoryStream& stream, TPersistent& object) {
    stream.SetPosition(0);
    TTolvikReader reader(stream);
    while (!reader.EndOfStream())
        reader.ReadProperty(object);
}
