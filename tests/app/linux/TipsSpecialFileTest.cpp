// A FIFO or a link to /dev/zero as the tips file: no tips, at once.
#include "app/TTips.h"

#include "support/TTempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;

TEST(TipsSpecialFile, FifoOrDeviceGivesNoTipsAndNoWait) {
    TTempDir dir;
    ASSERT_EQ(mkfifo((dir / "fifo.CFG").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", dir / "zero.CFG");
    for (const char* name : {"fifo.CFG", "zero.CFG"}) {
        TTips tips;
        EXPECT_TRUE(tips.LoadTips(dir / name)) << name; // there is a file, though unreadable
        EXPECT_EQ(tips.TipCount(), 0) << name;
        EXPECT_EQ(tips.Tip(tips.TipIndex()), "") << name;
    }
}
