// Starts the built program itself: copies of it in temporary program folders, the lock in
// a temporary runtime folder, windows offscreen, so nothing of the build or the user is
// touched.
#include "app/FileVersion.h"
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

extern char** environ;

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class TProgram {
public:
    // A copy of the program with its tips file in a folder of its own.
    explicit TProgram(const TTempDir& dir, const std::string& name) : FFolder(dir / name) {
        fs::create_directories(FFolder);
        fs::copy_file(MORVANE_PROGRAM, FFolder / "morvane");
        fs::copy_file(MORVANE_TIPS_FILE, FFolder / "Tips.CFG");
    }
    ~TProgram() { Kill(); }

    void Start(const fs::path& runtimeDir) {
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

    // The exit code once the process has ended within the time; -1 while it still runs.
    int WaitExit(std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        do {
            int status = 0;
            if (waitpid(FPid, &status, WNOHANG) == FPid) {
                FExited = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(10ms);
        } while (std::chrono::steady_clock::now() < end);
        return -1;
    }

    // The tips window writes its page while the program starts, well after the lock:
    // the page's appearance says the copy got through.
    bool WaitStarted(std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            if (fs::exists(FFolder / "tips.htm"))
                return true;
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }

    void Kill() {
        if (FPid > 0 && !FExited) {
            kill(FPid, SIGKILL);
            waitpid(FPid, nullptr, 0);
            FExited = true;
        }
    }

    const fs::path& Folder() const { return FFolder; }

private:
    fs::path FFolder;
    pid_t FPid = -1;
    bool FExited = true;
};

} // namespace

TEST(SingleInstance, SecondCopyEndsAtOnceAndAKilledCopyDoesNotBlock) {
    TTempDir dir;
    const fs::path runtime = dir / "runtime";
    fs::create_directories(runtime);

    TProgram first(dir, "first");
    first.Start(runtime);
    ASSERT_TRUE(first.WaitStarted(20s));

    TProgram second(dir, "second");
    second.Start(runtime);
    EXPECT_EQ(second.WaitExit(1s), 0);
    // It made no window: no tips page, no settings file.
    EXPECT_FALSE(fs::exists(second.Folder() / "tips.htm"));
    EXPECT_FALSE(fs::exists(second.Folder() / "Morvane.cfg"));
    EXPECT_EQ(first.WaitExit(0ms), -1); // the first runs on, untouched

    first.Kill();
    fs::remove(first.Folder() / "tips.htm");
    TProgram third(dir, "third");
    third.Start(runtime);
    EXPECT_TRUE(third.WaitStarted(20s));
    EXPECT_EQ(third.WaitExit(0ms), -1);
}

TEST(SingleInstance, LockThatCannotBeMadeDoesNotStopTheStart) {
    TTempDir dir;
    TProgram program(dir, "only");
    program.Start(dir / "no-such-folder");
    EXPECT_TRUE(program.WaitStarted(20s));
}

TEST(ProgramFile, CarriesTheReleaseVersion) {
    EXPECT_EQ(GetFileVersionText(MORVANE_PROGRAM), "8.0.0.3");
}
