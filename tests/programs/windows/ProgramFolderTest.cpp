#include "programs/ProgramList.h"
#include "support/TTempDir.h"

#include <gtest/gtest.h>

TEST(ProgramFolder, AnExistingFolderOfTheCommandGivesItsSize) {
    TTempDir dir;
    dir.Write("Tool/uninst.exe", std::string(1536, 'x'));
    dir.Write("Tool/data/more.bin", std::string(512, 'y'));
    const std::string folder = (dir / "Tool").string() + "\\";
    Platform::TUninstallKey key;
    key.KeyName = "Tool";
    key.UninstallString = "\"" + folder + "uninst.exe\"";
    TFileKindList kinds;
    const auto list = BuildProgramList({key}, 0, kinds);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].Location, folder);
    EXPECT_DOUBLE_EQ(list[0].Size, 2.0);
}
