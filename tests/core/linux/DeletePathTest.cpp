#include "core/FileRoutines.h"
#include "platform/TreeDelete.h"

#include "support/PathExists.h"
#include "support/TTempDir.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Builds `depth` nested folders below base from folder handles (the full path outgrows
// PATH_MAX) with a file of `bytes` bytes in each. Returns the length of the deepest path.
size_t MakeDeepChain(const fs::path& base, const std::string& name, int depth, size_t bytes) {
    int fd = open(base.c_str(), O_RDONLY | O_DIRECTORY);
    size_t length = base.native().size();
    const std::string content(bytes, 'x');
    for (int i = 0; i < depth; ++i) {
        mkdirat(fd, name.c_str(), 0755);
        const int next = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        close(fd);
        fd = next;
        length += name.size() + 1;
        const int f = openat(fd, "data", O_CREAT | O_WRONLY, 0644);
        EXPECT_EQ(write(f, content.data(), content.size()), static_cast<ssize_t>(content.size()));
        close(f);
    }
    close(fd);
    return length;
}

class TRestoreHook {
public:
    ~TRestoreHook() { Platform::SetDeleteDescendHook(nullptr); }
};

} // namespace

TEST(DeletePath, RemovesLinksAsLinksAndLeavesTheirTargets) {
    TTempDir dir;
    TTempDir outside;
    outside.Write("keep/me.txt", "precious");
    dir.Write("tree/a/file", "1");
    fs::create_directory_symlink(outside / "keep", dir / "tree/a/to-outside");
    fs::create_symlink(outside / "keep/me.txt", dir / "tree/to-file");
    fs::create_symlink(dir / "nothing-here", dir / "tree/dangling");
    fs::create_directory_symlink(dir / "tree", dir / "tree/a/loop");
    fs::create_symlink("self", dir / "tree/self");

    EXPECT_TRUE(DeletePath(dir / "tree"));
    EXPECT_FALSE(PathExists(dir / "tree"));
    EXPECT_EQ(TTempDir::Read(outside / "keep/me.txt"), "precious");

    // A link given as the path goes, its folder stays.
    fs::create_directory_symlink(outside / "keep", dir / "link");
    EXPECT_TRUE(DeletePath(dir / "link"));
    EXPECT_FALSE(PathExists(dir / "link"));
    EXPECT_TRUE(PathExists(outside / "keep/me.txt"));
}

TEST(DeletePath, SizesAndDeletesTreeThreeHundredLevelsDeep) {
    TTempDir dir;
    fs::create_directory(dir / "deep");
    const size_t length = MakeDeepChain(dir / "deep", "level-folder-name", 300, 7);
    ASSERT_GT(length, 4096u);
    EXPECT_EQ(GetDirectorySize(dir / "deep"), 300 * 7);
    EXPECT_FALSE(IsTreeEmpty(dir / "deep"));
    EXPECT_TRUE(DeletePath(dir / "deep"));
    EXPECT_FALSE(PathExists(dir / "deep"));
}

TEST(DeletePath, FolderSwappedForLinkDuringDeletionIsNotFollowed) {
    TTempDir dir;
    TTempDir outside;
    outside.Write("victim/data", "keep");
    dir.Write("tree/sub/inner", "i");
    dir.Write("tree/other", "o");
    TRestoreHook restore;
    Platform::SetDeleteDescendHook([&](const std::string&, std::string_view name) {
        if (name == "sub") {
            fs::rename(dir / "tree/sub", dir / "parked");
            fs::create_directory_symlink(outside / "victim", dir / "tree/sub");
        }
    });
    EXPECT_TRUE(DeletePath(dir / "tree"));
    EXPECT_EQ(TTempDir::Read(outside / "victim/data"), "keep");
    EXPECT_FALSE(PathExists(dir / "tree"));
    EXPECT_TRUE(PathExists(dir / "parked/inner"));
}

TEST(DeletePath, OddNamesAreSizedAndDeletedExactly) {
    TTempDir dir;
    const std::vector<std::string> names = {"bad\xff\xfe", "a\n", "back\\slash", "-rf", "--", " lead"};
    for (const std::string& n : names)
        dir.Write("t/" + n + "/f", "12");
    dir.Write("t/a/keep", "123");
    dir.Write("t/-x", "1");
    EXPECT_EQ(GetDirectorySize(dir / "t"), static_cast<int64_t>(names.size() * 2 + 3 + 1));

    EXPECT_TRUE(DeletePath(dir / "t/a\n"));
    EXPECT_FALSE(PathExists(dir / "t/a\n"));
    EXPECT_EQ(TTempDir::Read(dir / "t/a/keep"), "123");
    EXPECT_TRUE(DeletePath(dir / "t/-x"));
    EXPECT_TRUE(DeletePath(dir / "t/bad\xff\xfe"));
    EXPECT_TRUE(DeletePath(dir / "t/back\\slash/"));
    EXPECT_FALSE(PathExists(dir / "t/back\\slash"));
    EXPECT_EQ(GetDirectorySize(dir / "t"), 2 + 2 + 2 + 3);
}

TEST(DeletePath, RefusesRootHomeItsParentsMountPointsAndEmptyPath) {
    TTempDir dir;
    dir.Write("home/user/file", "mine");
    const char* oldHome = std::getenv("HOME");
    const std::string saved = oldHome ? oldHome : "";
    setenv("HOME", (dir / "home/user").c_str(), 1);
    int descents = 0;
    TRestoreHook restore;
    Platform::SetDeleteDescendHook([&](const std::string&, std::string_view) { ++descents; });

    EXPECT_FALSE(DeletePath(""));
    EXPECT_FALSE(DeletePath("/"));
    EXPECT_FALSE(DeletePath("//"));
    EXPECT_FALSE(DeletePath(dir / "home/user"));
    EXPECT_FALSE(DeletePath(dir / "home/user/"));
    EXPECT_FALSE(DeletePath(dir / "home"));
    EXPECT_FALSE(DeletePath("/proc"));
    EXPECT_FALSE(DeletePath(dir / "home/user/.."));
    EXPECT_EQ(descents, 0);
    EXPECT_EQ(TTempDir::Read(dir / "home/user/file"), "mine");
    EXPECT_FALSE(DeletePath(dir / "missing"));
    if (oldHome)
        setenv("HOME", saved.c_str(), 1);
    else
        unsetenv("HOME");
}

TEST(DeletePath, ReportsFailureWhenSomethingStaysAndDeletesTheRest) {
    TTempDir dir;
    dir.Write("t/locked/inner", "x");
    dir.Write("t/free/file", "y");
    dir.Write("t/top", "z");
    OpenToEveryone((dir / "t").string());
    fs::permissions(dir / "t/free", fs::perms::all);
    fs::permissions(dir / "t/locked", fs::perms::owner_read | fs::perms::owner_exec |
                                          fs::perms::others_read | fs::perms::others_exec);
    const std::string r = RunUnprivileged([&] { return DeletePath(dir / "t") ? "true" : "false"; });
    EXPECT_EQ(r, "false");
    EXPECT_TRUE(PathExists(dir / "t/locked/inner"));
    EXPECT_FALSE(PathExists(dir / "t/free"));
    EXPECT_FALSE(PathExists(dir / "t/top"));
}
