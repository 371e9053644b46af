// The tree delete behind DeletePath, and the deep chains bench/run.sh times it on.
// Usage:
//   delete_tree PATH              deletes PATH; exit 0 when it is gone, 1 when something stayed
//   delete_tree --chain DIR DEPTH  builds DEPTH nested folders "d" in DIR, each holding a file,
//                                  the deepest holding a file that cannot be deleted (immutable
//                                  for root, else in a read-only folder); prints which
//   delete_tree --unchain DIR      makes that file deletable again
#include "core/FileRoutines.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int Fail(const char* what) {
    std::perror(what);
    return 2;
}

int Down(int fd) {
    const int next = openat(fd, "d", O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    close(fd);
    return next;
}

bool SetImmutable(int fd, bool on) {
    int flags = 0;
    if (ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0)
        return false;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    return ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
}

int MakeChain(const char* dir, int depth) {
    int fd = open(dir, O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return Fail(dir);
    for (int i = 0; i < depth; ++i) {
        close(openat(fd, "f", O_CREAT | O_WRONLY, 0644));
        if (mkdirat(fd, "d", 0755) != 0 || (fd = Down(fd)) < 0)
            return Fail("mkdir");
    }
    const int stuck = openat(fd, "stuck", O_CREAT | O_RDONLY, 0644);
    if (stuck < 0)
        return Fail("stuck");
    bool immutable = geteuid() == 0 && SetImmutable(stuck, true);
    close(stuck);
    if (!immutable && fchmod(fd, 0555) != 0)
        return Fail("chmod");
    close(fd);
    std::printf("%s\n", immutable ? "immutable file" : "read-only folder");
    return 0;
}

int Unchain(const char* dir) {
    int fd = open(dir, O_RDONLY | O_DIRECTORY);
    while (fd >= 0) {
        const int next = openat(fd, "d", O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
        if (next < 0)
            break;
        close(fd);
        fd = next;
    }
    if (fd < 0)
        return Fail(dir);
    fchmod(fd, 0755);
    const int stuck = openat(fd, "stuck", O_RDONLY);
    if (stuck >= 0) {
        SetImmutable(stuck, false);
        close(stuck);
    }
    close(fd);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--chain") == 0)
        return MakeChain(argv[2], std::atoi(argv[3]));
    if (argc == 3 && std::strcmp(argv[1], "--unchain") == 0)
        return Unchain(argv[2]);
    if (argc != 2) {
        std::fprintf(stderr, "usage: delete_tree PATH | --chain DIR DEPTH | --unchain DIR\n");
        return 2;
    }
    return DeletePath(argv[1]) ? 0 : 1;
}
