#include "analysis/VolumeShare.h"
#include "core/FakeVolumes.h"

#include <gmock/gmock.h>

TEST(VolumeShare, FolderShareOfTheVolumeHoldingIt) {
    TFakeVolumes* fake = nullptr;
    TVolumesScope scope(fake);
    fake->Volumes = {{"/", Platform::DriveType::Fixed, ""}, {"/data/", Platform::DriveType::Fixed, ""}};
    fake->Spaces["/"] = {1000LL * 1048576, 0};
    fake->Spaces["/data/"] = {200LL * 1048576, 0};
    EXPECT_DOUBLE_EQ(VolumeSharePercent("/data/photos/", 50), 25);
    EXPECT_DOUBLE_EQ(VolumeSharePercent("/home/me/", 50), 5);
    // More than the volume (a folder counted with another file system's data) stays at 100.
    EXPECT_DOUBLE_EQ(VolumeSharePercent("/data/", 500), 100);
}

TEST(VolumeShare, UnknownOrUnreadableVolumeGivesZero) {
    TFakeVolumes* fake = nullptr;
    TVolumesScope scope(fake);
    fake->Volumes = {{"/", Platform::DriveType::Fixed, ""}, {"/media/cd/", Platform::DriveType::CdRom, ""}};
    fake->Spaces["/"] = {0, 0};
    EXPECT_DOUBLE_EQ(VolumeSharePercent("/media/cd/", 10), 0); // no medium
    EXPECT_DOUBLE_EQ(VolumeSharePercent("/home/", 10), 0);     // size 0
    EXPECT_DOUBLE_EQ(VolumeSharePercent("", 10), 0);
}
