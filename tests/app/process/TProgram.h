#pragma once

// Starts the built program itself: a copy of it in a temporary program folder, the lock
// in a temporary runtime folder, windows offscreen, so nothing of the build or the user
// is touched.
#include "support/TTempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

class TProgram {
public:
    // A copy of the program with its tips file in a folder of its own.
    explicit TProgram(const TTempDir& dir, const std::string& name) : FFolder(dir / name) {
        std::filesystem::create_directories(FFolder);
        std::filesystem::copy_file(MORVANE_PROGRAM, FFolder / "morvane");
        std::filesystem::copy_file(MORVANE_TIPS_FILE, FFolder / "Tips.CFG");
    }
    ~TProgram() { Kill(); }
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    void Start(const std::filesystem::path& runtimeDir) {
        std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen",
                                        "XDG_RUNTIME_DIR=" + runtimeDir.string(),
                                        "HOME=" + FFolder.string(), "LANG=C.UTF-8"};
        std::vector<char*> envp;
        for (auto& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string path = (FFolder / "morvane").string();
        char* argv[] = {path.data(), nullptr};
        ASSERT_EQ(posix_spawn(&FPid, path.c_str(), nullptr, nullptr, argv, envp.data()), 0);
        FExited = false;
    }

    // The exit code once the process has ended within the time (128 + the signal when a
    // signal ended it); -1 while it still runs.
    int WaitExit(std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        do {
            int status = 0;
            if (waitpid(FPid, &status, WNOHANG) == FPid) {
                FExited = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        } while (std::chrono::steady_clock::now() < end);
        return -1;
    }

    // The tips window writes its page while the program starts, well after the lock:
    // the page's appearance says the copy got through.
    bool WaitStarted(std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            if (std::filesystem::exists(FFolder / "tips.htm"))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    void Signal(int signal) {
        if (FPid > 0 && !FExited)
            kill(FPid, signal);
    }

    void Kill() {
        if (FPid > 0 && !FExited) {
            kill(FPid, SIGKILL);
            waitpid(FPid, nullptr, 0);
            FExited = true;
        }
    }

    const std::filesystem::path& Folder() const { return FFolder; }

private:
    std::filesystem::path FFolder;
    pid_t FPid = -1;
    bool FExited = true;
};
