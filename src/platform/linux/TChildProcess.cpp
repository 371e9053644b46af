#include "platform/linux/TChildProcess.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace Platform {

TChildProcess::TChildProcess(const std::vector<std::string>& argv, bool withErrors) {
    if (argv.empty()) {
        FStartError = std::strerror(EINVAL);
        FEnded = true;
        return;
    }
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        FStartError = std::strerror(errno);
        FEnded = true;
        return;
    }
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    if (withErrors)
        posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    else
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        FStartError = std::strerror(rc);
        FEnded = true;
        return;
    }
    FPid = pid;
    FPipe = fds[0];
    fcntl(FPipe, F_SETFL, fcntl(FPipe, F_GETFL) | O_NONBLOCK);
}

TChildProcess::~TChildProcess() {
    if (FPipe >= 0)
        close(FPipe);
}

void TChildProcess::Drain() {
    char buffer[65536];
    while (FPipe >= 0) {
        const ssize_t n = read(FPipe, buffer, sizeof buffer);
        if (n > 0) {
            FOutput.append(buffer, static_cast<size_t>(n));
            if (FOutput.size() > FLimit)
                FOutput.erase(0, FOutput.size() - FLimit);
        } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
            close(FPipe); // every writer is gone
            FPipe = -1;
        } else if (errno == EAGAIN) {
            break;
        }
    }
}

void TChildProcess::Reaped(int status) {
    FEnded = true;
    FExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    // What the child wrote last is in the pipe already; a grandchild that keeps the pipe
    // open does not hold us up.
    Drain();
}

bool TChildProcess::Poll() {
    Drain();
    if (FEnded)
        return true;
    int status = 0;
    const pid_t done = waitpid(FPid, &status, WNOHANG);
    if (done == FPid)
        Reaped(status);
    else if (done < 0 && errno != EINTR)
        Reaped(0xFF00); // reaped elsewhere: nothing more can be known of it
    return FEnded;
}

bool TChildProcess::Wait(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!Poll()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              end - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0)
            return false;
        // Wakes at once for output, else looks for the child's end every few milliseconds.
        pollfd p{FPipe, POLLIN, 0};
        if (FPipe >= 0)
            poll(&p, 1, static_cast<int>(std::min<long long>(left, 20)));
        else
            usleep(static_cast<useconds_t>(std::min<long long>(left, 10)) * 1000);
    }
    return true;
}

void TChildProcess::Kill() {
    if (FEnded || FPid <= 0)
        return;
    kill(FPid, SIGKILL);
    int status = 0;
    while (waitpid(FPid, &status, 0) < 0 && errno == EINTR) {
    }
    Reaped(status);
}

} // namespace Platform
