#pragma once

#include <unistd.h>

namespace Platform {

// A file descriptor that is closed when the object goes, unless it was released.
class TFd {
public:
    explicit TFd(int fd) : FFd(fd) {}
    ~TFd() {
        if (FFd >= 0)
            close(FFd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;

    int Get() const { return FFd; }
    // Hands the descriptor over; the object no longer closes it.
    int Release() {
        const int fd = FFd;
        FFd = -1;
        return fd;
    }

private:
    int FFd;
};

} // namespace Platform
