#include "analysis/ShellTexts.h"
#include "analysis/TShellItem.h"
#include "platform/TDirWalker.h"

#include <gmock/gmock.h>

TEST(ShellTexts, SizeTextsKeepTheRemainderAfterThePoint) {
    EXPECT_EQ(FormatSizeKB(SizeKBOf(0)), "1KB");
    EXPECT_EQ(FormatSizeKB(1024), "1024KB");
    EXPECT_EQ(FormatSizeKB(1025), "1.1MB");
    EXPECT_EQ(FormatSizeKB(1536), "1.512MB");
    EXPECT_EQ(FormatSizeKB(1048576), "1024.0MB");
    EXPECT_EQ(FormatSizeKB(5000000), "4.786GB");
    EXPECT_EQ(SizeKBOf(1025), 2);
    EXPECT_EQ(SizeKBOf(6LL * 1024 * 1024 * 1024), 6LL * 1024 * 1024); // no 32-bit cut
}

TEST(ShellTexts, AttributeLettersInFixedOrder) {
    using namespace Platform::Attr;
    EXPECT_EQ(AttributeLetters(0), "");
    EXPECT_EQ(AttributeLetters(Archive | System | Hidden | ReadOnly | Directory), "RHSA");
    EXPECT_EQ(AttributeLetters(Hidden | Archive), "HA");
}

TEST(ShellTexts, RowCellsOfFoldersAndFiles) {
    TShellItem folder;
    folder.IsFolder = true;
    folder.TypeName = "Folder";
    folder.Attributes = Platform::Attr::Directory | Platform::Attr::Hidden;
    EXPECT_THAT(RowCells(folder, false), testing::ElementsAre("Folder", "", "H"));
    EXPECT_THAT(RowCells(folder, true), testing::ElementsAre("System Disk ", "Folder", "", "H"));
    TShellItem file;
    file.SizeKB = 1536;
    file.TypeName = "TXT File";
    EXPECT_THAT(RowCells(file, true), testing::ElementsAre("1.512MB", "TXT File", "", ""));
}

TEST(ShellTexts, DriveRootOfRowsAndLocations) {
    EXPECT_EQ(RowDriveRoot("Local Disk (/home)", "My Computer"), "/home/");
    EXPECT_EQ(RowDriveRoot("Local Disk (/)", "My Computer"), "/");
    EXPECT_EQ(RowDriveRoot("Local Disk (C:)", "My Computer"), "C:\\");
    EXPECT_EQ(RowDriveRoot("Data", "My Computer"), "");
    EXPECT_EQ(RowDriveRoot("x", "/mnt/net"), "/mnt/net/");
    EXPECT_EQ(LocationTextOf("::{MyComputer}"), "My Computer");
    EXPECT_EQ(LocationTextOf("/usr"), "/usr");
}

TEST(ShellTexts, ModifiedTextEmptyForZeroTimeAndDateOnlyAtMidnight) {
    EXPECT_EQ(ModifiedTextOf({}), "");
    EXPECT_FALSE(ModifiedTextOf({Platform::UnixEpochTicks + 1'000'000'000LL * 10'000'000}).empty());
}
