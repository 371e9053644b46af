#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A growable byte buffer with a read/write position, the stream the property writer and
// reader work on.
class TMemoryStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string bytes) : FData(std::move(bytes)) {}

    size_t Size() const { return FData.size(); }
    size_t Position() const { return FPosition; }
    // A position past the end is allowed; a write there fills the gap with zeros.
    void SetPosition(size_t position) { FPosition = position; }

    // Copies up to count bytes from the position on; returns how many were copied.
    size_t Read(void* buffer, size_t count);
    // Writes at the position, growing the stream as needed.
    void Write(const void* buffer, size_t count);

    const std::string& Bytes() const { return FData; }
    void Clear();

private:
    std::string FData;
    size_t FPosition = 0;
};
