#include "platform/TDirWalker.h"

#include "support/TTempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace Platform;

namespace {

TTreeTotal SumAll(const fs::path& folder) {
    return SumTree(folder, [](const TDirEntry&) { return true; });
}

} // namespace

// Folders are judged from the listing alone: descend must still see a dot folder as
// hidden and a link to a folder as a link, and neither a link nor a refused folder adds
// what lies below it.
TEST(SumTree, DescendSeesFolderAttributesAndLinksAreNotEntered) {
    TTempDir dir;
    TTempDir outside;
    outside.Write("big", std::string(5000, 'x'));
    dir.Write("t/a", "12345");
    dir.Write("t/sub/b", "123");
    dir.Write("t/.dot/c", std::string(70, 'c'));
    dir.Write("t/sub/deeper/d", "1");
    fs::create_directory_symlink(outside.Path(), dir / "t/link");
    const int64_t linkBytes = static_cast<int64_t>(outside.Path().native().size());

    std::mutex m;
    std::map<std::string, TDirEntry> seen; // views dangle; only numbers are used
    const TTreeTotal plain = SumTree(dir / "t", [&](const TDirEntry& e) {
        std::lock_guard lock(m);
        seen[std::string(e.Name)] = e;
        return e.Attributes == Attr::Directory;
    });
    EXPECT_TRUE(plain.Opened);
    EXPECT_EQ(plain.Unreadable, 0u);
    EXPECT_EQ(plain.Bytes, 5 + 3 + 1 + linkBytes);
    EXPECT_EQ(seen.at(".dot").Attributes, Attr::Directory | Attr::Hidden);
    EXPECT_EQ(seen.at("sub").Attributes, Attr::Directory);
    EXPECT_EQ(seen.at("deeper").Depth, 1);
    EXPECT_EQ(seen.count("link"), 0u); // a link is never a folder to enter
    EXPECT_EQ(SumAll(dir / "t").Bytes, 5 + 3 + 1 + 70 + linkBytes);
}

TEST(SumTree, TotalMatchesTheWalkerOnAWideTree) {
    // Wide enough for the helper threads to start; every file's size is distinct.
    TTempDir dir;
    int64_t expected = 0;
    for (int f = 0; f < 40; ++f) {
        for (int i = 0; i < 5; ++i) {
            const int size = f * 5 + i;
            dir.Write("t/d" + std::to_string(f) + "/e/f" + std::to_string(i),
                      std::string(static_cast<size_t>(size), 'z'));
            expected += size;
        }
    }
    int64_t walked = 0;
    TDirWalker walker;
    walker.Walk(dir / "t", [&](const TDirEntry& e) {
        walked += e.Size;
        return e.IsDirectory() ? TVisit::Descend : TVisit::Continue;
    });
    EXPECT_EQ(walked, expected);
    EXPECT_EQ(SumAll(dir / "t").Bytes, expected);
    EXPECT_EQ(SumAll(dir / "t/").Bytes, expected);
}

TEST(SumTree, FolderSwappedForALinkIsNotEntered) {
    TTempDir dir;
    TTempDir outside;
    outside.Write("big", std::string(5000, 'x'));
    dir.Write("t/sub/inner", "i");
    const TTreeTotal total = SumTree(dir / "t", [&](const TDirEntry& e) {
        if (e.Name == "sub") {
            fs::rename(dir / "t/sub", dir / "moved");
            fs::create_directory_symlink(outside.Path(), dir / "t/sub");
        }
        return true;
    });
    EXPECT_EQ(total.Bytes, 0);
    EXPECT_EQ(total.Unreadable, 1u);
}

TEST(SumTree, DoesNotEnterAnotherFileSystem) {
    // /dev/shm is usually a file system of its own below /dev; a file put there must
    // not count in the total of /dev.
    struct stat dev, shm;
    if (stat("/dev", &dev) != 0 || stat("/dev/shm", &shm) != 0 || dev.st_dev == shm.st_dev ||
        access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "/dev/shm is not a separate writable mount here";
    const std::string file = "/dev/shm/morvane-sumtree-" + std::to_string(getpid());
    { std::ofstream(file) << std::string(100000, 'x'); }
    const TTreeTotal withShm = SumAll("/dev");
    const TTreeTotal withoutShm =
        SumTree("/dev", [](const TDirEntry& e) { return e.Name != "shm"; });
    const TTreeTotal shmItself = SumAll("/dev/shm");
    fs::remove(file);
    EXPECT_EQ(withShm.Bytes, withoutShm.Bytes);
    EXPECT_GE(shmItself.Bytes, 100000);
    EXPECT_EQ(withShm.Unreadable, withoutShm.Unreadable); // another file system is no fault
}

TEST(SumTree, MissingOrFileStartIsNotOpened) {
    TTempDir dir;
    dir.Write("f", "123");
    EXPECT_FALSE(SumAll(dir / "missing").Opened);
    EXPECT_EQ(SumAll(dir / "missing").Unreadable, 1u);
    EXPECT_FALSE(SumAll(dir / "f").Opened);
    EXPECT_FALSE(SumAll("").Opened);
}

// A watched total tells its progress on the calling thread only, never going back, and
// ends with the count of every entry listed below the start, "." and ".." included.
TEST(SumTree, WatchedTotalTicksOnTheCallersThreadAndCountsEveryEntry) {
    TTempDir dir;
    for (int f = 0; f < 30; ++f)
        for (int i = 0; i < 40; ++i)
            dir.Write("t/d" + std::to_string(f) + "/f" + std::to_string(i), "x");
    dir.Write("t/top", "y");
    const std::thread::id caller = std::this_thread::get_id();
    std::vector<uint64_t> ticks;
    bool otherThread = false;
    TWalkProgress progress;
    progress.Interval = std::chrono::milliseconds(1);
    progress.Tick = [&](uint64_t listed) {
        otherThread |= std::this_thread::get_id() != caller;
        ticks.push_back(listed);
    };
    const TTreeTotal watched = SumTree(
        dir / "t", [](const TDirEntry&) { return true; }, &progress);
    EXPECT_EQ(watched.Bytes, 30 * 40 + 1);
    EXPECT_FALSE(otherThread);
    ASSERT_FALSE(ticks.empty());
    EXPECT_TRUE(std::is_sorted(ticks.begin(), ticks.end()));
    EXPECT_EQ(ticks.back(), 30u * (40 + 2));              // each d<i>: its files and two dots
    EXPECT_EQ(watched.Listed, ticks.back() + 30 + 1 + 2); // and the start folder's own
    EXPECT_EQ(SumAll(dir / "t").Listed, watched.Listed);
}
