#include "core/FileRoutines.h"

#include "support/TTempDir.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(DirectorySize, SumsTheWholeTreeAndGivesZeroForNonFolders) {
    TTempDir dir;
    dir.Write("only-subs/a/one", "12345");
    dir.Write("only-subs/b/c/two", "123");
    fs::create_directories(dir / "empty-sub/inner/deeper");
    const fs::path file = dir.Write("plain", "abc");
    EXPECT_EQ(GetDirectorySize(dir / "only-subs"), 8);
    EXPECT_FALSE(IsTreeEmpty(dir / "only-subs"));
    EXPECT_EQ(GetDirectorySize(dir / "empty-sub"), 0);
    EXPECT_TRUE(IsTreeEmpty(dir / "empty-sub"));
    EXPECT_EQ(GetDirectorySize(file), 0);
    EXPECT_EQ(GetDirectorySize(dir / "missing"), 0);
    EXPECT_FALSE(IsTreeEmpty(dir / "missing"));
    // An empty file keeps its folder empty.
    dir.Write("empty-sub/inner/zero", "");
    EXPECT_TRUE(IsTreeEmpty(dir / "empty-sub"));
}

TEST(DirectorySize, InUnitSkipsDotFoldersAndCutsDecimals) {
    TTempDir dir;
    dir.Write("t/own", std::string(1000, 'x'));
    dir.Write("t/.cache/skipped", std::string(5000, 'x'));
    dir.Write("t/sub/.hidden-file", std::string(536, 'x'));
    dir.Write("t/sub/.dot/skipped", std::string(7, 'x'));
    EXPECT_EQ(GetDirectorySizeIn(dir / "t", 2), 1536);
    EXPECT_EQ(GetDirectorySizeIn(dir / "t", 1), 1.5);
    EXPECT_EQ(GetDirectorySizeIn(dir / "t", 7), 1536);
    EXPECT_EQ(GetDirectorySize(dir / "t"), 1536 + 5000 + 7);

    dir.Write("one/b", "x");
    EXPECT_EQ(GetDirectorySizeIn(dir / "one", 0), 0);
    EXPECT_EQ(GetDirectorySizeIn(dir / "one", 3), 0);
    dir.Write("kb/f", std::string(1023, 'x'));
    EXPECT_EQ(GetDirectorySizeIn(dir / "kb", 1), 0.999); // cut, not rounded to 1
    EXPECT_EQ(GetDirectorySizeIn(dir / "missing", 1), 0);
}
