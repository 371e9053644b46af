// The lists are text in the system code page: UTF-8 here, with GB18030 files from an
// old Chinese system still read correctly.
#include "core/TProtectedFiles.h"
#include "core/TSetting.h"

#include "support/TTempDir.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(GarbagesTextCode, ChineseJunkTypesRoundTripByteForByte) {
    TTempDir dir;
    const std::string bytes = "*.临时\r\n中文说明 \r\nY\r\n*.BAK\r\n备份文件\r\nN\r\n";
    dir.Write("Morvane.cfg.Garbage", bytes);
    TSetting setting(dir / "Morvane.cfg");
    ASSERT_EQ(setting.Garbages().Count(), 2);
    EXPECT_EQ(setting.Garbages()[0].Memo(), "中文说明 ");
    setting.SaveToFile(dir / "Morvane.cfg");
    EXPECT_EQ(TTempDir::Read(dir / "Morvane.cfg.Garbage"), bytes);
}

TEST(GarbagesTextCode, GB18030JunkTypesFileReadsAsChinese) {
    TTempDir dir;
    dir.Write("Morvane.cfg.Garbage", "*.BAK\r\n\xB1\xB8\xB7\xDD\xCE\xC4\xBC\xFE\r\ny\r\n");
    TSetting setting(dir / "Morvane.cfg");
    ASSERT_EQ(setting.Garbages().Count(), 1);
    EXPECT_EQ(setting.Garbages()[0].Memo(), "备份文件");
    EXPECT_TRUE(setting.Garbages()[0].Ifclean());
}

TEST(ProtectedFilesTextCode, ChineseEntriesRoundTripAndGB18030Reads) {
    TTempDir dir;
    const std::string bytes = "我的文档.doc\r\n\r\n/home/用户/重要.txt\r\n";
    const fs::path p = dir.Write("Option2.CFG", bytes);
    SaveProtectedFiles(p, LoadProtectedFiles(p));
    EXPECT_EQ(TTempDir::Read(p), bytes);

    dir.Write("Option2.CFG", "\xC1\xD9\xCA\xB1\xCE\xC4\xBC\xFE.txt\r\nb\n");
    EXPECT_EQ(LoadProtectedFiles(p), (std::vector<std::string>{"临时文件.txt", "b"}));
}
