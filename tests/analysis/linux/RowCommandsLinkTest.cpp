#include "analysis/RowCommands.h"
#include "support/TTempDir.h"

#include <gmock/gmock.h>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(RowCommandsLinux, LinksInsideAnEmptiedFolderGoAsLinksAndTheirTargetsStay) {
    TTempDir dir;
    dir.Write("outside/data/keep.txt", "keep");
    const fs::path target = dir.Write("outside/file.txt", "file");
    dir.Write("row/a", "a");
    fs::create_directory_symlink(dir / "outside" / "data", dir / "row" / "dirlink");
    fs::create_symlink(target, dir / "row" / "filelink");
    fs::create_symlink(dir / "nowhere", dir / "row" / "dangling");

    const TFolderContentsResult r = DeleteFolderContents(dir / "row");
    EXPECT_EQ(r.Failed, 0);
    EXPECT_TRUE(fs::is_empty(dir / "row"));
    EXPECT_EQ(TTempDir::Read(dir / "outside" / "data" / "keep.txt"), "keep");
    EXPECT_EQ(TTempDir::Read(target), "file");
}

TEST(RowCommandsLinux, AFileRowThatIsALinkLosesTheLinkOnly) {
    TTempDir dir;
    const fs::path target = dir.Write("target.txt", "t");
    fs::create_symlink(target, dir / "link.txt");
    fs::create_directory_symlink(dir.Path(), dir / "dirlink");
    EXPECT_TRUE(DeleteRowFile(dir / "link.txt"));
    EXPECT_TRUE(DeleteRowFile(dir / "dirlink"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "link.txt")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "dirlink")));
    EXPECT_TRUE(fs::exists(target));
}

TEST(RowCommandsLinux, AFolderRowThatIsALinkIsNeverEntered) {
    // The link may lead anywhere (another disk, a system folder): nothing behind it goes.
    TTempDir dir;
    dir.Write("real/x", "x");
    fs::create_directory_symlink(dir / "real", dir / "link");
    const TFolderContentsResult result = DeleteFolderContents(dir / "link");
    EXPECT_FALSE(result.Listed);
    EXPECT_EQ(result.Deleted, 0);
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_TRUE(fs::exists(dir / "real" / "x"));
}

TEST(RowCommandsLinux, HostileNamesAreDeletedExactly) {
    TTempDir dir;
    const std::string names[] = {"new\nline", "-rf", "bad\xff\xfename", "back\\slash", " lead"};
    for (const std::string& name : names) {
        dir.Write(fs::path("row") / name, "x");
        dir.Write(fs::path("row") / (name + ".d") / "inner", "y");
        dir.Write(fs::path("beside") / name, "keep");
    }
    dir.Write("beside/new", "keep"); // what a name cut at the newline would be
    dir.Write("beside/bad", "keep");

    EXPECT_EQ(DeleteFolderContents(dir / "row").Deleted, 10);
    EXPECT_TRUE(fs::is_empty(dir / "row"));
    EXPECT_TRUE(DeleteRowFile(dir / "beside" / "-rf"));
    EXPECT_FALSE(fs::exists(dir / "beside" / "-rf"));
    int left = 0;
    for (const auto& e : fs::directory_iterator(dir / "beside")) {
        (void)e;
        ++left;
    }
    EXPECT_EQ(left, 6);
}

TEST(RowCommandsLinux, AReadOnlyFileStaysWhileSubFoldersGoWhole) {
    TTempDir dir;
    const fs::path locked = dir.Write("row/locked.txt", "l");
    chmod(locked.c_str(), 0444);
    const fs::path deep = dir.Write("row/sub/locked-too.txt", "l");
    chmod(deep.c_str(), 0444);
    dir.Write("row/plain.txt", "p");

    const TFolderContentsResult r = DeleteFolderContents(dir / "row");
    EXPECT_EQ(r.Deleted, 2);
    EXPECT_EQ(r.Failed, 1);
    EXPECT_TRUE(fs::exists(locked));
    EXPECT_FALSE(fs::exists(dir / "row" / "sub"));
    EXPECT_FALSE(DeleteRowFile(locked));
    EXPECT_TRUE(fs::exists(locked));
}

TEST(RowCommandsLinux, AnUnreadableFolderIsNotListedAndLosesNothing) {
    TTempDir dir;
    const fs::path kept = dir.Write("row/kept", "k");
    chmod((dir / "row").c_str(), 0);
    const bool root = access((dir / "row").c_str(), R_OK) == 0; // root reads anyway
    const TFolderContentsResult r = DeleteFolderContents(dir / "row");
    chmod((dir / "row").c_str(), 0755);
    if (root)
        GTEST_SKIP() << "running with privileges that ignore permissions";
    EXPECT_FALSE(r.Listed);
    EXPECT_TRUE(fs::exists(kept));
}
