#include "platform/TDirWalker.h"

#include "support/TTempDir.h"
#include "support/Unprivileged.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace Platform;

namespace {

// Records every call as "<depth>:<path relative to the start>".
class TRecorder : public IDirVisitor {
public:
    explicit TRecorder(std::string start) : FStart(std::move(start)) {}
    std::vector<std::string> Entries, Leaves, Unreadable;
    std::map<std::string, TDirEntry> Seen; // views dangle; only the numbers are used
    std::function<TVisit(const TDirEntry&)> Decide = [](const TDirEntry& e) {
        return e.IsDirectory() ? TVisit::Descend : TVisit::Continue;
    };

    TVisit OnEntry(const TDirEntry& e) override {
        Entries.push_back(std::to_string(e.Depth) + ":" + Rel(e));
        Seen[Rel(e)] = e;
        return Decide(e);
    }
    void OnLeave(const TDirEntry& e) override { Leaves.push_back(Rel(e)); }
    void OnUnreadable(const TDirEntry& e, int) override { Unreadable.push_back(Rel(e)); }

private:
    std::string Rel(const TDirEntry& e) const {
        std::string p = e.Path().native();
        return p.size() > FStart.size() ? p.substr(FStart.size() + 1) : std::string();
    }
    std::string FStart;
};

} // namespace

TEST(DirWalker, ReportsAttributeWordSizeAndTimes) {
    TTempDir dir;
    dir.Write("t/file.txt", "12345");
    dir.Write("t/.hidden", "x");
    const fs::path ro = dir.Write("t/ro", "");
    fs::permissions(ro, fs::perms::owner_read);
    fs::create_directory(dir / "t/sub");
    fs::create_directory_symlink(dir / "t/sub", dir / "t/linkdir");
    fs::create_symlink("file.txt", dir / "t/linkfile");
    ASSERT_EQ(mkfifo((dir / "t/fifo").c_str(), 0600), 0);
    // A sparse file past 4 GiB must keep its full size.
    {
        const int fd = open((dir / "t/big").c_str(), O_CREAT | O_WRONLY, 0600);
        ASSERT_EQ(ftruncate(fd, 5LL << 30), 0);
        close(fd);
    }
    const struct timespec times[2] = {{1213450000, 0}, {1213450000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir / "t/file.txt").c_str(), times, 0), 0);

    TRecorder rec((dir / "t").native());
    TDirWalker walker;
    walker.Walk(dir / "t", rec);
    auto attr = [&](const std::string& n) { return rec.Seen.at(n).Attributes; };
    EXPECT_EQ(attr("file.txt"), 0x20u);
    EXPECT_EQ(attr(".hidden"), 0x22u);
    EXPECT_EQ(attr("ro"), 0x21u);
    EXPECT_EQ(attr("sub"), 0x10u);
    EXPECT_EQ(attr("linkdir"), 0x410u);
    EXPECT_EQ(attr("linkfile"), 0x400u);
    EXPECT_EQ(attr("fifo"), 0x4u);
    EXPECT_EQ(rec.Seen.at("big").Size, 5LL << 30);
    EXPECT_EQ(rec.Seen.at("file.txt").Size, 5);
    EXPECT_EQ(rec.Seen.at("sub").Size, 0);
    EXPECT_EQ(rec.Seen.at("file.txt").LastWrite.Ticks, UnixEpochTicks + 1213450000LL * 10000000);
    EXPECT_GT(rec.Seen.at("file.txt").Created.Ticks, UnixEpochTicks);
}

TEST(DirWalker, WalksDepthFirstWithLeaveAfterChildrenAndNeverEntersLinks) {
    TTempDir dir;
    TTempDir outside;
    outside.Write("secret", "s");
    dir.Write("t/a/b/f", "1");
    fs::create_directory_symlink(outside.Path(), dir / "t/a/out");
    fs::create_directory_symlink(dir / "t", dir / "t/a/loop");
    fs::create_symlink(dir / "nowhere", dir / "t/dangling");

    TRecorder rec((dir / "t").native());
    rec.Decide = [](const TDirEntry&) { return TVisit::Descend; }; // ask for everything
    TDirWalker walker;
    const TWalkResult r = walker.Walk(dir / "t", rec);
    EXPECT_TRUE(r.Opened);
    EXPECT_FALSE(r.Stopped);
    EXPECT_THAT(rec.Entries, testing::UnorderedElementsAre("0:a", "0:dangling", "1:a/b", "1:a/out",
                                                           "1:a/loop", "2:a/b/f"));
    EXPECT_EQ(rec.Leaves, (std::vector<std::string>{"a/b", "a"}));
    // Children come right after their folder.
    const auto pos = [&](const std::string& s) {
        return std::find(rec.Entries.begin(), rec.Entries.end(), s) - rec.Entries.begin();
    };
    EXPECT_EQ(pos("2:a/b/f"), pos("1:a/b") + 1);
}

TEST(DirWalker, StopEndsTheWalkAndClosesOpenFolders) {
    TTempDir dir;
    dir.Write("t/a/b/f1", "1");
    dir.Write("t/a/b/f2", "1");
    TRecorder rec((dir / "t").native());
    rec.Decide = [](const TDirEntry& e) {
        if (e.Depth == 2)
            return TVisit::Stop;
        return TVisit::Descend;
    };
    TDirWalker walker;
    EXPECT_TRUE(walker.Walk(dir / "t", rec).Stopped);
    EXPECT_EQ(rec.Entries.size(), 3u);
    EXPECT_EQ(rec.Leaves, (std::vector<std::string>{"a/b", "a"}));
}

TEST(DirWalker, FolderSwappedForLinkBeforeDescentIsNotFollowed) {
    TTempDir dir;
    TTempDir outside;
    outside.Write("secret", "s");
    dir.Write("t/sub/inner", "i");
    TRecorder rec((dir / "t").native());
    rec.Decide = [&](const TDirEntry& e) {
        if (e.Name == "sub") {
            fs::rename(dir / "t/sub", dir / "moved");
            fs::create_directory_symlink(outside.Path(), dir / "t/sub");
        }
        return e.IsDirectory() ? TVisit::Descend : TVisit::Continue;
    };
    TDirWalker walker;
    const TWalkResult r = walker.Walk(dir / "t", rec);
    EXPECT_EQ(rec.Entries, (std::vector<std::string>{"0:sub"}));
    EXPECT_EQ(rec.Unreadable, (std::vector<std::string>{"sub"}));
    EXPECT_EQ(r.Unreadable, 1u);
}

TEST(DirWalker, PassesOverUnreadableFolderAndGoesOn) {
    TTempDir dir;
    dir.Write("t/closed/x", "1");
    dir.Write("t/open/y", "1");
    OpenToEveryone((dir / "t").string());
    fs::permissions(dir / "t/open", fs::perms::all);
    fs::permissions(dir / "t/closed", fs::perms::none);
    const std::string result = RunUnprivileged([&] {
        TRecorder rec((dir / "t").native());
        TDirWalker walker;
        walker.Walk(dir / "t", rec);
        std::sort(rec.Entries.begin(), rec.Entries.end());
        std::string out;
        for (const auto& e : rec.Entries)
            out += e + ";";
        return out + "|" + (rec.Unreadable.empty() ? "" : rec.Unreadable[0]);
    });
    EXPECT_EQ(result, "0:closed;0:open;1:open/y;|closed");
}

TEST(DirWalker, NamesOnlyWalkSkipsDetailsAndMissingStartIsReported) {
    TTempDir dir;
    dir.Write("t/f", "123");
    fs::create_directory(dir / "t/d");
    TRecorder rec((dir / "t").native());
    TDirWalker walker;
    TWalkOptions names;
    names.Details = false;
    walker.Walk(dir / "t", rec, names);
    EXPECT_FALSE(rec.Seen.at("f").HasDetails);
    EXPECT_EQ(rec.Seen.at("f").Attributes, 0x20u);
    EXPECT_EQ(rec.Seen.at("f").Size, 0);
    EXPECT_EQ(rec.Seen.at("d").Attributes, 0x10u);

    TRecorder none(dir.Path().native());
    EXPECT_FALSE(walker.Walk(dir / "missing", none).Opened);
    EXPECT_EQ(none.Unreadable.size(), 1u);
    EXPECT_FALSE(walker.Walk(dir / "t/f", none).Opened);
}

TEST(DirWalker, DoesNotEnterAnotherFileSystem) {
    struct stat dev, pts;
    if (stat("/dev", &dev) != 0 || stat("/dev/pts", &pts) != 0 || dev.st_dev == pts.st_dev)
        GTEST_SKIP() << "/dev/pts is not a separate mount here";
    TRecorder rec("/dev");
    rec.Decide = [](const TDirEntry& e) { return e.Name == "pts" ? TVisit::Descend : TVisit::Continue; };
    TDirWalker walker;
    walker.Walk("/dev", rec);
    EXPECT_TRUE(rec.Seen.at("pts").OtherFileSystem);
    for (const auto& e : rec.Entries)
        EXPECT_EQ(e.rfind("1:", 0), std::string::npos) << e;
}

TEST(DirWalker, QueryEntryReportsTheLinkItself) {
    TTempDir dir;
    fs::create_directory(dir / "d");
    fs::create_directory_symlink(dir / "d", dir / "l");
    EXPECT_EQ(QueryEntry(dir / "l")->Attributes, 0x410u);
    EXPECT_EQ(QueryEntry(dir / "d")->Attributes, 0x10u);
    EXPECT_FALSE(QueryEntry(dir / "none"));
    EXPECT_TRUE(IsFolder(dir / "l"));
    EXPECT_FALSE(IsFolder(dir / "none"));
}
