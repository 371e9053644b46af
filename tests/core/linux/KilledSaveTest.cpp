// A save killed while it writes leaves its temporary file; the next start removes it.
#include "core/TSetting.h"
#include "platform/FileIo.h"

#include "support/TTempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> Temporaries(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder))
        if (Platform::IsAtomicWriteTemporary(entry.path().filename().string(), "Morvane.cfg"))
            found.push_back(entry.path());
    return found;
}

// Starts a process that saves the file over and over, and kills it while a temporary of
// its save is there. False when no kill hit a save in progress.
bool KillASave(const fs::path& file) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        const pid_t child = fork();
        if (child == 0) {
            const std::string bytes(8 << 20, 'x');
            for (;;)
                Platform::WriteFileAtomically(file, bytes);
        }
        // A child that ends by itself, or never gets a save under way, would keep this
        // loop waiting for ever: then this attempt is given up and so is the test.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        bool ended = false;
        bool timedOut = false;
        while (!ended && !timedOut && Temporaries(file.parent_path()).empty()) {
            ended = waitpid(child, nullptr, WNOHANG) == child;
            timedOut = std::chrono::steady_clock::now() >= deadline;
            usleep(100);
        }
        if (!ended) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
        if (!Temporaries(file.parent_path()).empty())
            return true;
        if (ended || timedOut)
            return false;
    }
    return false;
}

} // namespace

TEST(KilledSave, ItsTemporaryIsRemovedAtTheNextStartAndTheFileIsWhole) {
    TTempDir dir;
    const fs::path cfg = dir / "Morvane.cfg";
    TSetting(dir / "none.cfg").SaveToFile(cfg);
    const std::string before = TTempDir::Read(cfg);
    ASSERT_TRUE(KillASave(cfg));
    const std::string after = TTempDir::Read(cfg);
    EXPECT_TRUE(after == before || after == std::string(8 << 20, 'x')) << "torn: " << after.size();

    const TSetting next(cfg);
    EXPECT_TRUE(Temporaries(dir.Path()).empty());
}
