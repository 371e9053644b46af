#pragma once

#include "core/TPersistent.h"
#include "core/TMemoryStream.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Value tags of the property stream.
enum TValueTag : uint8_t {
    vaInt8 = 0x02,
    vaInt16 = 0x03,
    vaInt32 = 0x04,
    vaExtended = 0x05,
    vaIdent = 0x07,
    vaFalse = 0x08,
    vaTrue = 0x09,
    vaInt64 = 0x13,
};

// Writes property records (name length, name, value tag, value) into a stream, buffered
// 4096 bytes at a time; what is still buffered reaches the stream at FlushBuffer() or
// when the writer is destroyed.
class TTolvikWriter {
public:
    explicit TTolvikWriter(TMemoryStream& stream, size_t bufferSize = 4096);
    ~TTolvikWriter();
    TTolvikWriter(const TTolvikWriter&) = delete;
    TTolvikWriter& operator=(const TTolvikWriter&) = delete;

    // One record per published property in its order. A date-time of exactly 0 counts as
    // unchanged and is left out; Booleans and integers are always written.
    void WriteProperties(const TPersistent& object);
    void WriteProperty(const TPersistent& object, const TPropertyInfo& property);

    // Name of 1 to 255 bytes with its length byte.
    void WritePropName(std::string_view name);
    void WriteBoolean(bool value);
    // The smallest of the tags 0x02, 0x03, 0x04 that holds the value.
    void WriteInteger(int32_t value);
    void WriteDate(double value);

    void FlushBuffer();

private:
    void Write(const void* bytes, size_t count);

    TMemoryStream& FStream;
    std::vector<uint8_t> FBuffer;
    size_t FBufPos = 0;
};

// Writes the published properties of an object into the stream through a TTolvikWriter
// and sets the stream position back to 0.
void SaveObjectToStream(const TPersistent& object, TMemoryStream& stream);
