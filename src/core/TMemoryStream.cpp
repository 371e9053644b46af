#include "core/TMemoryStream.h"

#include <algorithm>
#include <cstring>

size_t TMemoryStream::Read(void* buffer, size_t count) {
    if (FPosition >= FData.size())
        return 0;
    const size_t n = std::min(count, FData.size() - FPosition);
    std::memcpy(buffer, FData.data() + FPosition, n);
    FPosition += n;
    return n;
}

void TMemoryStream::Write(const void* buffer, size_t count) {
    if (count == 0)
        return;
    if (FPosition + count > FData.size())
        FData.resize(FPosition + count, '\0');
    std::memcpy(FData.data() + FPosition, buffer, count);
    FPosition += count;
}

void TMemoryStream::Clear() {
    FData.clear();
    FPosition = 0;
}
