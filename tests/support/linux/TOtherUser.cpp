#include "support/linux/TOtherUser.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

TOtherUser::TOtherUser(const std::function<void()>& setUp) {
    int ready[2];
    int stop[2];
    if (geteuid() != 0 || pipe(ready) != 0)
        return;
    if (pipe(stop) != 0) {
        close(ready[0]);
        close(ready[1]);
        return;
    }
    FPid = fork();
    if (FPid == 0) {
        close(ready[0]);
        close(stop[1]);
        if (setgid(Uid) != 0 || setuid(Uid) != 0)
            _exit(2);
        setUp();
        char c = 1;
        if (write(ready[1], &c, 1) != 1)
            _exit(3);
        // Holds on until the test closes its end.
        while (read(stop[0], &c, 1) > 0) {
        }
        _exit(0);
    }
    close(ready[1]);
    close(stop[0]);
    FStop = stop[1];
    char c = 0;
    FReady = FPid > 0 && read(ready[0], &c, 1) == 1;
    close(ready[0]);
}

TOtherUser::~TOtherUser() {
    if (FStop >= 0)
        close(FStop);
    if (FPid > 0)
        waitpid(FPid, nullptr, 0);
}

void TOtherUser::HoldLock(const std::filesystem::path& file) {
    const int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd >= 0) {
        fchmod(fd, 0666);
        flock(fd, LOCK_EX);
    }
}
