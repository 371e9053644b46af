#include "core/TTolvikWriter.h"

#include "core/Extended80.h"

#include <cstring>

TTolvikWriter::TTolvikWriter(TMemoryStream& stream, size_t bufferSize)
    : FStream(stream), FBuffer(bufferSize == 0 ? 1 : bufferSize) {}

TTolvikWriter::~TTolvikWriter() { FlushBuffer(); }

void TTolvikWriter::FlushBuffer() {
    FStream.Write(FBuffer.data(), FBufPos);
    FBufPos = 0;
}

void TTolvikWriter::Write(const void* bytes, size_t count) {
    const auto* p = static_cast<const uint8_t*>(bytes);
    while (count > 0) {
        if (FBufPos == FBuffer.size())
            FlushBuffer();
        const size_t n = std::min(count, FBuffer.size() - FBufPos);
        std::memcpy(FBuffer.data() + FBufPos, p, n);
        FBufPos += n;
        p += n;
        count -= n;
    }
}

void TTolvikWriter::WritePropName(std::string_view name) {
    // The length is one byte; our property names are all far shorter than 256.
    const uint8_t length = static_cast<uint8_t>(std::min<size_t>(name.size(), 255));
    Write(&length, 1);
    Write(name.data(), length);
}

void TTolvikWriter::WriteBoolean(bool value) {
    const uint8_t tag = value ? vaTrue : vaFalse;
    Write(&tag, 1);
}

void TTolvikWriter::WriteInteger(int32_t value) {
    const uint32_t bits = static_cast<uint32_t>(value);
    const uint8_t little[4] = {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
                               static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
    uint8_t tag = vaInt32;
    size_t size = 4;
    if (value >= -128 && value <= 127) {
        tag = vaInt8;
        size = 1;
    } else if (value >= -32768 && value <= 32767) {
        tag = vaInt16;
        size = 2;
    }
    Write(&tag, 1);
    Write(little, size);
}

void TTolvikWriter::WriteDate(double value) {
    const uint8_t tag = vaExtended;
    const TExtended80 bytes = DoubleToExtended80(value);
    Write(&tag, 1);
    Write(bytes.data(), bytes.size());
}

void TTolvikWriter::WriteProperty(const TPersistent& object, const TPropertyInfo& property) {
    const TPropertyValue value = property.Get(object);
    // A date-time of 0 is the unset value and is not stored; ordinal values always are.
    if (property.Kind == TPropertyKind::DateTime && std::get<double>(value) == 0)
        return;
    WritePropName(property.Name);
    switch (property.Kind) {
    case TPropertyKind::Boolean:
        WriteBoolean(std::get<bool>(value));
        break;
    case TPropertyKind::Integer:
        WriteInteger(std::get<int32_t>(value));
        break;
    case TPropertyKind::DateTime:
        WriteDate(std::get<double>(value));
        break;
    }
}

void TTolvikWriter::WriteProperties(const TPersistent& object) {
    for (const TPropertyInfo& property : object.PublishedProperties())
        WriteProperty(object, property);
}

void SaveObjectToStream(const TPersistent& object, TMemoryStream& stream) {
    {
        TTolvikWriter writer(stream);
        writer.WriteProperties(object);
    }
    stream.SetPosition(0);
}
