// A FIFO or a link to /dev/zero as "kind.ini": twenty categories without keywords, at once.
#include "programs/TFileKindList.h"

#include "support/TTempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;

TEST(KindFileSpecial, FifoOrDeviceGivesTwentyEmptyCategoriesAndNoWait) {
    TTempDir dir;
    ASSERT_EQ(mkfifo((dir / "fifo.ini").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", dir / "zero.ini");
    for (const char* name : {"fifo.ini", "zero.ini"}) {
        TFileKindList kinds;
        kinds.LoadFromFile(dir.Write("good.ini", "zip\n"));
        kinds.LoadFromFile(dir / name);
        ASSERT_EQ(kinds.Count(), 20) << name;
        EXPECT_TRUE(kinds.Kinds(0).Keywords().empty()) << name;
        EXPECT_EQ(kinds.FindKind("WinZip").Index(), 20) << name;
    }
}
