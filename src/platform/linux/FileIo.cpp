#include "platform/FileIo.h"

#include "platform/TreeDelete.h"
#include "platform/linux/TFd.h"

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
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

// Why a file of this kind and size is not read; empty when it is.
std::string RefusalOf(const struct stat& st, std::uintmax_t maxBytes) {
    if (S_ISDIR(st.st_mode))
        return SystemErrorText(EISDIR);
    if (!S_ISREG(st.st_mode))
        return NotARegularFileText();
    if (static_cast<std::uintmax_t>(st.st_size) > maxBytes)
        return FileTooLargeText(maxBytes);
    return {};
}

// Opens a file for reading without ever waiting. A device or FIFO is refused before it
// is opened at all (opening some devices acts on them); O_NONBLOCK keeps the open of a
// FIFO swapped in meanwhile from waiting for a writer, and is cleared once the open file
// is known to be a regular one. Returns the descriptor, or -1 with the reason in error
// (and openError set to errno when the open itself failed).
int OpenRegularFile(const fs::path& path, std::uintmax_t maxBytes, std::string& error,
                    struct stat& st, int& openError) {
    openError = 0;
    if (stat(path.c_str(), &st) == 0 && !(error = RefusalOf(st, maxBytes)).empty())
        return -1;
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        openError = errno;
        error = SystemErrorText(openError);
        return -1;
    }
    error = fstat(fd, &st) != 0 ? SystemErrorText(errno) : RefusalOf(st, maxBytes);
    if (error.empty()) {
        const int flags = fcntl(fd, F_GETFL);
        if (flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0)
            return fd;
        error = SystemErrorText(errno);
    }
    close(fd);
    return -1;
}

// Reads to the end, but never more than maxBytes + 1 bytes: a file that grows while it
// is read, or one whose size the system does not know (as under /proc), stays bounded.
std::optional<std::string> ReadBounded(int fd, std::uintmax_t knownSize, std::uintmax_t maxBytes,
                                       std::string& error) {
    std::string data;
    data.reserve(static_cast<size_t>(knownSize) + 1);
    constexpr size_t Chunk = 65536;
    for (;;) {
        const size_t used = data.size();
        data.resize(used + Chunk);
        const ssize_t n = read(fd, data.data() + used, Chunk);
        if (n < 0) {
            data.resize(used);
            if (errno == EINTR)
                continue;
            error = SystemErrorText(errno);
            return std::nullopt;
        }
        data.resize(used + static_cast<size_t>(n));
        if (n == 0)
            return data;
        if (data.size() > maxBytes) {
            error = FileTooLargeText(maxBytes);
            return std::nullopt;
        }
    }
}

// Creates the save's temporary under a free name and locks it, so that a start of the
// program that clears the leftovers of killed saves passes over it while this save runs.
int CreateTemporary(const fs::path& path, mode_t mode, fs::path& temp) {
    std::random_device rd;
    for (int attempt = 0; attempt < 16; ++attempt) {
        temp = AtomicWriteTemporaryFor(path, rd());
        const int fd =
            open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd >= 0) {
            flock(fd, LOCK_EX | LOCK_NB);
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

// The temporary is ours, a plain file, and no save holds it.
bool IsStaleTemporary(int folderFd, const std::string& name) {
    const TFd fd(
        openat(folderFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st {};
    return fd.Get() >= 0 && fstat(fd.Get(), &st) == 0 && S_ISREG(st.st_mode) &&
           st.st_uid == geteuid() && flock(fd.Get(), LOCK_EX | LOCK_NB) == 0;
}

} // namespace

std::string SystemErrorText(int code) { return std::strerror(code); }

int LastErrorCode() { return errno; }

std::string WriteFileAtomically(const fs::path& path, std::string_view bytes) {
    // Keep the old file's permissions; a new file gets the usual 0666 less the umask.
    mode_t mode = 0666;
    struct stat st {};
    if (stat(path.c_str(), &st) == 0)
        mode = st.st_mode & 07777;
    fs::path temp;
    const int fd = CreateTemporary(path, mode, temp);
    if (fd < 0)
        return SystemErrorText(errno);
    if (!WriteAll(fd, bytes) || fsync(fd) != 0) {
        const int err = errno;
        close(fd);
        DeleteTree(temp);
        return SystemErrorText(err);
    }
    // The rename comes while the temporary is still open and locked.
    const int err = rename(temp.c_str(), path.c_str()) == 0 ? 0 : errno;
    if (close(fd) != 0 && err == 0)
        return SystemErrorText(errno);
    if (err != 0) {
        DeleteTree(temp);
        return SystemErrorText(err);
    }
    return {};
}

std::optional<std::string> ReadWholeFile(const fs::path& path, std::string* error,
                                         std::uintmax_t maxBytes) {
    std::string reason;
    struct stat st {};
    int openError = 0;
    const TFd fd(OpenRegularFile(path, maxBytes, reason, st, openError));
    std::optional<std::string> data;
    if (fd.Get() >= 0)
        data = ReadBounded(fd.Get(), static_cast<std::uintmax_t>(st.st_size), maxBytes, reason);
    if (!data && error)
        *error = reason;
    return data;
}

std::string UnreadableFileReason(const fs::path& path, std::uintmax_t maxBytes) {
    std::string reason;
    struct stat st {};
    int openError = 0;
    const TFd fd(OpenRegularFile(path, maxBytes, reason, st, openError));
    if (openError == ENOENT)
        return {}; // nothing there (or a link to nothing): a save loses nothing
    return reason;
}

int RemoveAtomicWriteLeftovers(const fs::path& folder, const std::vector<std::string>& targets) {
    const TFd folderFd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.Get() < 0)
        return 0;
    int removed = 0;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        for (const std::string& target : targets) {
            if (IsAtomicWriteTemporary(name, target) && IsStaleTemporary(folderFd.Get(), name) &&
                DeleteTree(folder / name))
                ++removed;
        }
    }
    return removed;
}

} // namespace Platform
