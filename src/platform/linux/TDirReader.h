#pragma once

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace Platform {

// Reads the entries of an open folder straight from getdents64 into a buffer the caller
// owns and keeps between folders, so a walk allocates nothing per entry. Names are
// views into that buffer and end with a NUL, so they can go straight to the *at calls. "." and ".."
// are skipped.
class TDirReader {
public:
    struct TRaw {
        std::string_view Name;
        unsigned char Type; // DT_* from the listing; DT_UNKNOWN when the file system does not say
        ino64_t Ino;
    };

    TDirReader() = default;
    TDirReader(int fd, char* buffer, size_t size) : FFd(fd), FBuffer(buffer), FSize(size) {}

    // The next entry; false at the end or on an error (then Error() is not 0).
    bool Next(TRaw& raw) {
        for (;;) {
            if (FPos >= FLen) {
                if (!Fill())
                    return false;
            }
            auto* d = reinterpret_cast<const struct dirent64*>(FBuffer + FPos);
            FPos += d->d_reclen;
            const char* name = d->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            raw.Name = std::string_view(name, std::strlen(name));
            raw.Type = d->d_type;
            raw.Ino = d->d_ino;
            return true;
        }
    }

    int Error() const { return FError; }

private:
    bool Fill() {
        for (;;) {
            ssize_t n = getdents64(FFd, FBuffer, FSize);
            if (n > 0) {
                FLen = static_cast<size_t>(n);
                FPos = 0;
                return true;
            }
            if (n < 0 && errno == EINTR)
                continue;
            FError = n < 0 ? errno : 0;
            FPos = FLen = 0;
            return false;
        }
    }

    int FFd = -1;
    char* FBuffer = nullptr;
    size_t FSize = 0;
    size_t FPos = 0;
    size_t FLen = 0;
    int FError = 0;
};

} // namespace Platform
