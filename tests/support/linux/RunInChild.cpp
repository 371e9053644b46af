#include "support/linux/RunInChild.h"

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

std::optional<std::string> RunInChild(const std::function<std::string()>& child) {
    int fds[2];
    if (pipe(fds) != 0)
        return std::nullopt;
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return std::nullopt;
    }
    if (pid == 0) {
        close(fds[0]);
        const std::string result = child();
        ssize_t ignored = write(fds[1], result.data(), result.size());
        (void)ignored;
        // _exit, not exit: the child must not run the test program's exit handlers or
        // flush the output buffers it inherited.
        _exit(0);
    }
    close(fds[1]);
    std::string result;
    char buf[4096];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0)
        result.append(buf, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return result;
}
