#pragma once

#include "core/TPersistent.h"
#include "core/TMemoryStream.h"

#include <cstdint>
#include <string>
#include <vector>

// Reads property records from a stream into an object, buffered 4096 bytes at a time.
// Failures throw EMorvaneError with the texts the user sees:
//   a stream that ends inside a name:      "Stream read error"
//   any other failure of a record:         "Error reading <Class>.<Name>: <inner>", the inner
//   text being "Property <Name> does not exist", "Invalid property value" or
//   "Stream read error".
// Records read before the failing one have already been stored.
class TTolvikReader {
public:
    explicit TTolvikReader(TMemoryStream& stream, size_t bufferSize = 4096);
    TTolvikReader(const TTolvikReader&) = delete;
    TTolvikReader& operator=(const TTolvikReader&) = delete;

    // The stream offset of the next byte the reader will hand out.
    size_t Position() const;
    bool EndOfStream() const { return Position() >= FStream.Size(); }

    // Reads one record and stores its value through the object's property.
    void ReadProperty(TPersistent& object);

private:
    void Read(void* bytes, size_t count);
    uint8_t ReadByte();
    TPropertyValue ReadValue(TPropertyKind kind);
    bool ReadBooleanValue(uint8_t tag);
    int32_t ReadIntegerValue(uint8_t tag);
    double ReadDateValue(uint8_t tag);
    std::string ReadShortString();

    TMemoryStream& FStream;
    std::vector<uint8_t> FBuffer;
    size_t FBufPos = 0;
    size_t FBufEnd = 0;
};

// Sets the stream position to 0 and reads records through a TTolvikReader until the
// read position reaches the stream's size.
void LoadObjectFromStream(TMemoryStream& stream, TPersistent& object);
