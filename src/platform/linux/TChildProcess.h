#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace Platform {

// A program started with an argument list (looked up on the PATH, never through a shell),
// its input from /dev/null and what it writes collected from a pipe. Nothing blocks but
// Wait. A child still running when the object goes is left running and never reaped by us.
class TChildProcess {
public:
    // withErrors: the standard error goes into the same pipe (else to /dev/null).
    TChildProcess(const std::vector<std::string>& argv, bool withErrors);
    ~TChildProcess();
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    bool Started() const { return FPid > 0; }
    // Why it could not be started.
    const std::string& StartError() const { return FStartError; }
    // Collects what is waiting in the pipe and reaps the child once it has ended; true
    // when it has ended (also when it never started).
    bool Poll();
    // Polls until the child ends or ms milliseconds have passed; true when it has ended.
    bool Wait(int ms);
    // Ends a child that runs on and reaps it.
    void Kill();
    // The exit status; 128 + the signal's number for a child a signal ended.
    int ExitCode() const { return FExitCode; }
    // What the child wrote. Past limit bytes only the last limit bytes are kept.
    const std::string& Output() const { return FOutput; }
    void SetOutputLimit(size_t limit) { FLimit = limit; }

private:
    void Drain();
    void Reaped(int status);

    pid_t FPid = -1;
    int FPipe = -1;
    bool FEnded = false;
    int FExitCode = -1;
    size_t FLimit = 64u << 20;
    std::string FOutput;
    std::string FStartError;
};

} // namespace Platform
