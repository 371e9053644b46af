// The deletion engine's own promises: filters and reports, honest failures, depth beyond
// the open-file limit, single entries.
#include "deletes/linux/FailingListing.h"
#include "platform/TEntryDeleter.h"
#include "platform/TreeDelete.h"
#include "support/PathExists.h"
#include "support/TTempDir.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Platform::DeleteTree;
using Platform::TDeleteCandidate;
using Platform::TDeleteVerdict;
using Platform::TEntryResult;
using Platform::TEntryWanted;

namespace {

class TRestoreHook {
public:
    ~TRestoreHook() {
        Platform::SetDeleteDescendHook(nullptr);
        StopFailingListings();
    }
};

// `depth` nested folders "d" below base, each with a file before and after it.
void MakeChain(const fs::path& base, int depth) {
    int fd = open(base.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    for (int i = 0; i < depth; ++i) {
        for (const char* file : {"a", "z"})
            close(openat(fd, file, O_CREAT | O_WRONLY, 0644));
        ASSERT_EQ(mkdirat(fd, "d", 0755), 0);
        const int next = openat(fd, "d", O_RDONLY | O_DIRECTORY);
        close(fd);
        ASSERT_GE(next, 0);
        fd = next;
    }
    close(fd);
}

} // namespace

TEST(DeletionEngine, TheFilterDecidesPerEntryAndTheReportCountsWhatLiesDirectlyInside) {
    TTempDir dir;
    dir.Write("t/keep.txt", "k");
    dir.Write("t/keepdir/x", "k");
    dir.Write("t/emptyme/a", "a");
    dir.Write("t/emptyme/b/c", "c");
    dir.Write("t/go/deep/f", "f");
    dir.Write("t/mixed/stay.txt", "s");
    dir.Write("t/mixed/gone.txt", "g");
    dir.Write("t/plain.txt", "p");
    std::map<std::string, int> seen; // name -> depth
    const auto filter = [&](const TDeleteCandidate& c) {
        seen[std::string(c.Name)] = c.Depth;
        if (c.Name == "keep.txt" || c.Name == "keepdir" || c.Name == "stay.txt")
            return TDeleteVerdict::Keep;
        return c.Name == "emptyme" ? TDeleteVerdict::Empty : TDeleteVerdict::Delete;
    };
    const Platform::TDeleteReport r = Platform::EmptyFolder(dir / "t", filter);
    EXPECT_TRUE(r.Opened);
    EXPECT_EQ(r.Removed, 2); // go, plain.txt
    EXPECT_EQ(r.Kept, 4);    // keep.txt, keepdir, emptyme, mixed (holds what was kept)
    EXPECT_EQ(r.Failed, 0);
    EXPECT_TRUE(r.Complete());
    EXPECT_TRUE(PathExists(dir / "t/keepdir/x"));
    EXPECT_EQ(seen.count("x"), 0u); // a kept folder is not entered
    EXPECT_TRUE(fs::is_empty(dir / "t/emptyme"));
    EXPECT_TRUE(PathExists(dir / "t/mixed/stay.txt"));
    EXPECT_FALSE(PathExists(dir / "t/mixed/gone.txt"));
    EXPECT_FALSE(PathExists(dir / "t/go"));
    EXPECT_EQ(seen["f"], 2);
    EXPECT_EQ(seen["plain.txt"], 0);
}

TEST(DeletionEngine, TheStartFolderIsCheckedOnceOpenedAndMayBeRefused) {
    TTempDir dir;
    dir.Write("t/f", "f");
    TDeleteCandidate start;
    const Platform::TDeleteReport r =
        Platform::EmptyFolder(dir / "t", {}, [&](const TDeleteCandidate& c) {
            start = c;
            return false;
        });
    EXPECT_FALSE(r.Opened);
    EXPECT_TRUE(PathExists(dir / "t/f"));
    EXPECT_EQ(start.Depth, -1);
    EXPECT_EQ(start.Kind, Platform::TEntryKind::Folder);
    EXPECT_EQ(start.Owner, getuid());
    // A file or a missing path is no folder to empty.
    EXPECT_FALSE(Platform::EmptyFolder(dir / "t/f").Opened);
    EXPECT_FALSE(Platform::EmptyFolder(dir / "missing").Opened);
    EXPECT_FALSE(Platform::EmptyFolder("").Opened);
}

TEST(DeletionEngine, EntriesThatAppearWhileAFolderIsEmptiedMakeAnHonestFailure) {
    TTempDir dir;
    dir.Write("t/sub/a", "a");
    dir.Write("t/sub/b", "b");
    TRestoreHook restore;
    Platform::SetDeleteDescendHook([&](const std::string&, std::string_view name) {
        if (name == "a" || name == "b")
            dir.Write("t/sub/late-" + std::string(name), "new");
    });
    EXPECT_FALSE(DeleteTree(dir / "t"));
    EXPECT_EQ(errno, ENOTEMPTY);
    // The folder was read once: what came later is still there, and only that.
    EXPECT_TRUE(PathExists(dir / "t/sub/late-a"));
    EXPECT_FALSE(PathExists(dir / "t/sub/a"));
    EXPECT_FALSE(PathExists(dir / "t/sub/b"));
}

TEST(DeletionEngine, AListingErrorIsAFailureWithItsCode) {
    TTempDir dir;
    for (int i = 0; i < 20; ++i)
        dir.Write("t/f" + std::to_string(i), "x");
    dir.Write("u/sub/a", "a");
    dir.Write("u/sub/b", "b");
    dir.Write("u/plain", "p");
    TRestoreHook restore;

    FailListingOf(dir / "t", 3);
    Platform::TDeleteReport r = Platform::EmptyFolder(dir / "t");
    EXPECT_TRUE(r.Opened);
    EXPECT_EQ(r.Removed, 3);
    EXPECT_EQ(r.Failed, 1);
    EXPECT_EQ(r.Error, EIO);
    EXPECT_FALSE(r.Complete());

    // A sub-folder whose listing breaks stays, even once all it showed went.
    FailListingOf(dir / "u/sub", 2);
    r = Platform::EmptyFolder(dir / "u");
    EXPECT_EQ(r.Removed, 1);
    EXPECT_EQ(r.Failed, 1);
    EXPECT_EQ(r.Error, EIO);
    EXPECT_TRUE(PathExists(dir / "u/sub"));
}

TEST(DeletionEngine, AnEmptyFolderGoesWhateverItsOwnModeAndAFullOneStays) {
    TTempDir dir;
    fs::create_directories(dir / "t/locked-empty");
    dir.Write("t/locked-full/inner", "x");
    fs::create_directories(dir / "alone");
    OpenToEveryone((dir / "t").string());
    OpenToEveryone((dir / "alone").string());
    chmod((dir / "t/locked-empty").c_str(), 0);
    chmod((dir / "t/locked-full").c_str(), 0);
    chmod((dir / "alone").c_str(), 0);
    const std::string r = RunUnprivileged([&] {
        return std::string(DeleteTree(dir / "t") ? "t gone" : "t stays") + ", " +
               (DeleteTree(dir / "alone") ? "alone gone" : "alone stays");
    });
    EXPECT_EQ(r, "t stays, alone gone");
    EXPECT_FALSE(PathExists(dir / "t/locked-empty"));
    EXPECT_TRUE(PathExists(dir / "t/locked-full"));
}

TEST(DeletionEngine, DepthIsNotLimitedByTheOpenFileLimit) {
    TTempDir dir;
    fs::create_directory(dir / "chain");
    MakeChain(dir / "chain", 300); // a handle window of 16 folders, given up and taken back
    const pid_t child = fork();
    if (child == 0) {
        struct rlimit lim {
            64, 64
        };
        setrlimit(RLIMIT_NOFILE, &lim);
        _exit(DeleteTree(dir / "chain") ? 0 : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(PathExists(dir / "chain"));
}

TEST(DeletionEngine, OneEntryGoesOnlyWhenItIsOfTheKindAsked) {
    TTempDir dir;
    const fs::path file = dir.Write("file", "f");
    const fs::path readOnly = dir.Write("read-only", "r");
    chmod(readOnly.c_str(), 0444);
    dir.Write("full/x", "x");
    fs::create_directory(dir / "empty");
    fs::create_directory_symlink(dir / "full", dir / "link");
    using Platform::DeleteEntry;

    EXPECT_EQ(DeleteEntry(dir / "full", TEntryWanted::NotFolder).Result, TEntryResult::OtherKind);
    EXPECT_EQ(DeleteEntry(file, TEntryWanted::EmptyFolder).Result, TEntryResult::OtherKind);
    EXPECT_EQ(DeleteEntry(dir / "link", TEntryWanted::EmptyFolder).Result, TEntryResult::OtherKind);
    const Platform::TEntryOutcome full = DeleteEntry(dir / "full", TEntryWanted::EmptyFolder);
    EXPECT_EQ(full.Result, TEntryResult::Failed);
    EXPECT_EQ(full.Error, ENOTEMPTY);
    EXPECT_EQ(DeleteEntry(readOnly, TEntryWanted::WritableNotFolder).Result, TEntryResult::Failed);
    EXPECT_TRUE(PathExists(readOnly));

    EXPECT_EQ(DeleteEntry(dir / "link", TEntryWanted::NotFolder).Result, TEntryResult::Deleted);
    EXPECT_EQ(DeleteEntry(dir / "empty", TEntryWanted::EmptyFolder).Result, TEntryResult::Deleted);
    EXPECT_EQ(DeleteEntry(readOnly, TEntryWanted::NotFolder).Result, TEntryResult::Deleted);
    EXPECT_EQ(DeleteEntry(file / "below", TEntryWanted::NotFolder).Result, TEntryResult::Missing);
    EXPECT_EQ(DeleteEntry(dir / "gone", TEntryWanted::NotFolder).Result, TEntryResult::Missing);
    EXPECT_EQ(DeleteEntry(dir / "full/..", TEntryWanted::EmptyFolder).Result, TEntryResult::Failed);
    EXPECT_TRUE(PathExists(dir / "full/x"));
    EXPECT_TRUE(PathExists(file));
}

// Within one run the folder of consecutive entries is the one the run first came to:
// a folder renamed away and replaced by a link to another one never moves the run there.
TEST(DeletionEngine, ARunOfEntriesIsNotRedirectedByALinkSwappedInForTheirFolder) {
    TTempDir dir;
    for (const char* name : {"f/1", "f/2", "other/2"})
        dir.Write(name, name);
    Platform::TEntryDeleter deleter;
    EXPECT_EQ(deleter.Delete(dir / "f/1", TEntryWanted::NotFolder).Result, TEntryResult::Deleted);
    fs::rename(dir / "f", dir / "moved");
    fs::create_directory_symlink(dir / "other", dir / "f");
    EXPECT_EQ(deleter.Delete(dir / "f/2", TEntryWanted::NotFolder).Result, TEntryResult::Deleted);
    EXPECT_TRUE(PathExists(dir / "other/2"));
    EXPECT_FALSE(PathExists(dir / "moved/2"));
}
