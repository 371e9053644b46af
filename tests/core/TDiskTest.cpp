#include "core/FileRoutines.h"
#include "core/TDisk.h"

#include "FakeVolumes.h"

#include <gtest/gtest.h>

using namespace Platform;

namespace {

void ExpectZero(const TDriveInfo& i) {
    EXPECT_EQ(i.DriveNo, 0);
    EXPECT_EQ(i.Size, 0);
    EXPECT_EQ(i.Free, 0);
    EXPECT_EQ(i.DriveType, 0);
}

} // namespace

TEST(TDisk, FillsDrivesInOrderAndLeavesTheRestZero) {
    TFakeVolumes* fake = nullptr;
    TVolumesScope scope(fake);
    fake->Volumes = {{"/", DriveType::Fixed, ""},           {"/home/", DriveType::Fixed, "data"},
                     {"/media/stick/", DriveType::Removable, ""}, {"/mnt/nas/", DriveType::Remote, ""},
                     {"/mnt/cd/", DriveType::CdRom, ""},    {"/tmp/", DriveType::RamDisk, ""},
                     {"/odd/", 9, ""}};
    fake->Spaces = {{"/", {1000, 400}}, {"/home/", {2000, 1500}}, {"/mnt/nas/", {9, 9}},
                    {"/tmp/", {50, 50}}, {"/odd/", {1, 1}}};
    TDisk disk;
    ASSERT_EQ(disk.Count(), 7);
    EXPECT_EQ(disk.Roots().front(), "/");
    EXPECT_EQ(disk.RootAt(1), "/home/");
    EXPECT_EQ(disk.RootAt(disk.Count()), "");
    EXPECT_EQ(disk.RootAt(-1), "");

    const TDriveInfo c = disk.InfoOf(3);
    EXPECT_EQ(c.DriveNo, 3);
    EXPECT_EQ(c.DriveType, DriveType::Fixed);
    EXPECT_EQ(c.Size, 1000);
    EXPECT_EQ(c.Free, 400);
    EXPECT_EQ(disk.InfoOf(4).Free, 1500);
    // The system cannot tell the stick's space: -1 each.
    EXPECT_EQ(disk.InfoOf(5).Size, -1);
    EXPECT_EQ(disk.InfoOf(5).Free, -1);
    // Network and optical drives are not asked.
    EXPECT_EQ(disk.InfoOf(6).Size, 0);
    EXPECT_EQ(disk.InfoOf(7).Free, 0);
    EXPECT_EQ(disk.InfoOf(7).DriveType, DriveType::CdRom);
    EXPECT_EQ(disk.InfoOf(8).DriveType, DriveType::RamDisk);
    EXPECT_EQ(disk.InfoOf(9).DriveType, 0); // codes above 6 read as unknown
    ExpectZero(disk.InfoOf(10));
    ExpectZero(disk.InfoOf(1));
    ExpectZero(disk.InfoOf(0));
    ExpectZero(disk.InfoOf(27));

    EXPECT_TRUE(disk.DriveExists("/home/"));
    EXPECT_FALSE(disk.DriveExists("/nothing/"));
    EXPECT_EQ(disk.DriveTypeOf("/nothing/"), DriveType::NoRootDir);
    EXPECT_EQ(disk.DriveTypeOf("/odd/"), 0);

    // Rescan refreshes the roots only.
    fake->Volumes.pop_back();
    fake->Volumes.erase(fake->Volumes.begin() + 1);
    disk.Rescan();
    EXPECT_EQ(disk.Count(), 5);
    EXPECT_EQ(disk.RootAt(1), "/media/stick/");
    EXPECT_EQ(disk.InfoOf(9).DriveNo, 9);
}

TEST(TDisk, KeepsAtMostTwentyFourDrives) {
    TFakeVolumes* fake = nullptr;
    TVolumesScope scope(fake);
    for (int i = 0; i < 30; ++i)
        fake->Volumes.push_back({"/v" + std::to_string(i) + "/", DriveType::Fixed, ""});
    TDisk disk;
    EXPECT_EQ(disk.Count(), 24);
    EXPECT_EQ(disk.InfoOf(26).DriveNo, 26);
}

TEST(DriveRootOf, GivesTheVolumeHoldingThePathOrMyComputer) {
    TFakeVolumes* fake = nullptr;
    TVolumesScope scope(fake);
    fake->Volumes = {{"/", DriveType::Fixed, ""}, {"/home/", DriveType::Fixed, ""}};
    EXPECT_EQ(DriveRootOf("/home/user/x"), "/home/");
    EXPECT_EQ(DriveRootOf("/home"), "/home/");
    EXPECT_EQ(DriveRootOf("/homework/x"), "/");
    EXPECT_EQ(DriveRootOf("/"), "/");
    EXPECT_EQ(DriveRootOf("Local Disk (/home)"), "/home/");
    EXPECT_EQ(DriveRootOf("data (/)"), "/");
    EXPECT_EQ(DriveRootOf("My Computer"), "My Computer");
    EXPECT_EQ(DriveRootOf(""), "My Computer");
    EXPECT_EQ(DriveRootOf("relative/path"), "My Computer");
}
