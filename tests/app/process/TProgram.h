#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/types.h>

// A copy of the built program with the shipped tips file in a program folder of its own,
// started offscreen with a home folder of its own and its standard error kept in a file,
// so that nothing of the build or of the user is touched.
class TProgram {
public:
    TProgram(const std::filesystem::path& parent, const std::string& name);
    ~TProgram();
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    // Starts the copy with the lock in runtimeDir; without one (empty), the temporary
    // folder is tempDir.
    void Start(const std::filesystem::path& runtimeDir, const std::filesystem::path& tempDir = {});
    // The home folder of the next start: one of its own unless set (two copies of one
    // user share it).
    void SetHome(const std::filesystem::path& home) { FHome = home; }

    // The exit code once the process has ended within the time; -1 while it still runs.
    int WaitExit(std::chrono::milliseconds limit);
    // The tips window writes its page while the program starts, well after the lock and
    // the settings: the page's appearance says the copy got through.
    bool WaitStarted(std::chrono::milliseconds limit) const;
    // True once the program wrote text to its standard error within the time.
    bool WaitError(const std::string& text, std::chrono::milliseconds limit) const;
    std::string ErrorText() const;
    // The most memory the process has held so far, in KiB (0 once it has ended).
    long PeakMemoryKiB() const;
    // Sends a signal to the running copy, as the session or a user's kill would.
    void Signal(int signal);
    void Kill();

    const std::filesystem::path& Folder() const { return FFolder; }

private:
    std::filesystem::path FFolder;
    std::filesystem::path FHome;
    std::filesystem::path FErrors;
    pid_t FPid = -1;
    bool FExited = true;
};
