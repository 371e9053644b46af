#include "platform/FileIo.h"

#include <cerrno>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Platform {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

std::string SystemErrorText(int code) { return std::strerror(code); }

int LastErrorCode() { return errno; }

std::string WriteFileAtomically(const fs::path& path, std::string_view bytes) {
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::random_device rd;
    const fs::path temp = folder / ("." + path.filename().string() + "." +
                                    std::to_string(rd() % 1000000) + ".tmp");
    // Keep the old file's permissions; a new file gets the usual 0666 less the umask.
    mode_t mode = 0666;
    struct stat st {};
    if (stat(path.c_str(), &st) == 0)
        mode = st.st_mode & 07777;
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
    if (fd < 0)
        return SystemErrorText(errno);
    if (!WriteAll(fd, bytes) || fsync(fd) != 0) {
        const int err = errno;
        close(fd);
        unlink(temp.c_str());
        return SystemErrorText(err);
    }
    if (close(fd) != 0 || rename(temp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        unlink(temp.c_str());
        return SystemErrorText(err);
    }
    return {};
}

std::optional<std::string> ReadWholeFile(const fs::path& path, std::string* error) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = SystemErrorText(errno);
        return std::nullopt;
    }
    std::string data;
    char buf[65536];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (error)
                *error = SystemErrorText(errno);
            close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        data.append(buf, static_cast<size_t>(n));
    }
    close(fd);
    return data;
}

} // namespace Platform
