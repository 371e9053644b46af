// Where the single-instance lock lies without a session runtime folder, and that nobody
// else's files decide whether a copy runs.
#include "platform/TSingleInstance.h"

#include "support/TTempDir.h"
#include "support/linux/TOtherUser.h"
#include "support/Unprivileged.h"
#include "support/linux/TScopedEnv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <list>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Platform::TInstanceState;
using Platform::TSingleInstance;

namespace {

const char* const LockName = "Morvane_Test";

std::string LockFileName() {
    return std::string(LockName) + "-" + std::to_string(getuid()) + ".lock";
}

// No runtime folder; the temporary folder is dir/shared (open to all, sticky, as /tmp
// is) and the home folder dir/home. The environment is put back afterwards.
class TNoRuntimeFolder {
public:
    explicit TNoRuntimeFolder(const TTempDir& dir) : Shared(dir / "shared"), Home(dir / "home") {
        fs::create_directories(Shared);
        fs::create_directories(Home);
        OpenToEveryone(Shared.string());
        chmod(Shared.c_str(), 01777);
        // Only now: OpenToEveryone stops at the temporary folder, which TMPDIR moves.
        FEnv.emplace_back("XDG_RUNTIME_DIR", nullptr);
        FEnv.emplace_back("XDG_CACHE_HOME", nullptr);
        FEnv.emplace_back("TMPDIR", Shared.c_str());
        FEnv.emplace_back("HOME", Home.c_str());
    }
    fs::path OwnFolder() const { return Shared / ("morvane-" + std::to_string(geteuid())); }
    fs::path CacheFolder() const { return Home / ".cache/morvane"; }

    const fs::path Shared;
    const fs::path Home;

private:
    std::list<TScopedEnv> FEnv;
};

// Only this user may enter it, and it is a folder, not a link.
bool IsPrivateFolder(const fs::path& folder) {
    struct stat st {};
    return lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
           (st.st_mode & 0777) == 0700;
}

} // namespace

TEST(SingleInstanceLock, WithoutARuntimeFolderItLiesInAPrivateFolderOfOurOwn) {
    TTempDir dir;
    const TNoRuntimeFolder env(dir);
    {
        const TSingleInstance first(LockName);
        EXPECT_EQ(first.State(), TInstanceState::Acquired);
        EXPECT_TRUE(IsPrivateFolder(env.OwnFolder()));
        EXPECT_TRUE(fs::is_regular_file(env.OwnFolder() / LockFileName()));
        EXPECT_EQ(TSingleInstance(LockName).State(), TInstanceState::AlreadyRunning);
    }
    EXPECT_EQ(TSingleInstance(LockName).State(), TInstanceState::Acquired);
}

TEST(SingleInstanceLock, ALinkOrAFolderOthersMayEnterIsPassedOverForTheCacheFolder) {
    for (const bool link : {true, false}) {
        SCOPED_TRACE(link ? "link" : "open folder");
        TTempDir dir;
        const TNoRuntimeFolder env(dir);
        const fs::path elsewhere = dir / "elsewhere";
        fs::create_directory(elsewhere);
        if (link) {
            fs::permissions(elsewhere, fs::perms::owner_all);
            fs::create_directory_symlink(elsewhere, env.OwnFolder());
        } else {
            fs::create_directory(env.OwnFolder());
            chmod(env.OwnFolder().c_str(), 0755);
        }
        const TSingleInstance first(LockName);
        EXPECT_EQ(first.State(), TInstanceState::Acquired);
        EXPECT_TRUE(fs::is_empty(elsewhere));
        EXPECT_TRUE(fs::is_empty(env.OwnFolder()));
        EXPECT_TRUE(IsPrivateFolder(env.CacheFolder()));
        EXPECT_EQ(TSingleInstance(LockName).State(), TInstanceState::AlreadyRunning);
    }
}

TEST(SingleInstanceLock, AnotherUsersFilesInTheSharedFolderNeitherStopNorHoldUs) {
    if (geteuid() != 0)
        GTEST_SKIP() << "acting as another user needs root";
    TTempDir dir;
    const TNoRuntimeFolder env(dir);
    // The other user was first: our folder's name, a lock file in it, and a lock file
    // where the lock lay before, each held.
    const fs::path squatted = env.OwnFolder();
    const TOtherUser other([&] {
        mkdir(squatted.c_str(), 0777);
        chmod(squatted.c_str(), 0777);
        TOtherUser::HoldLock(squatted / LockFileName());
        TOtherUser::HoldLock(env.Shared / LockFileName());
    });
    ASSERT_TRUE(other.Ready());

    const TSingleInstance first(LockName);
    EXPECT_EQ(first.State(), TInstanceState::Acquired);
    EXPECT_TRUE(IsPrivateFolder(env.CacheFolder()));
    EXPECT_EQ(TSingleInstance(LockName).State(), TInstanceState::AlreadyRunning);
    struct stat st {};
    ASSERT_EQ(lstat(squatted.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, TOtherUser::Uid); // left as the other user made it
}

TEST(SingleInstanceLock, ALockFileThatCannotBeOpenedIsNotTakenAsRunning) {
    TTempDir dir;
    const TNoRuntimeFolder env(dir);
    const fs::path run = dir / "run";
    fs::create_directories(run / LockFileName()); // a folder where the file should be
    setenv("XDG_RUNTIME_DIR", run.c_str(), 1);
    EXPECT_EQ(TSingleInstance(LockName).State(), TInstanceState::Acquired);
    fs::remove(run / LockFileName());
    ASSERT_EQ(mkfifo((run / LockFileName()).c_str(), 0600), 0);
    EXPECT_EQ(TSingleInstance(LockName).State(), TInstanceState::Acquired);
    EXPECT_TRUE(fs::is_fifo(run / LockFileName()));
}
