#include "platform/MountTable.h"

#include <gtest/gtest.h>

using namespace Platform;

namespace {

std::string Line(const std::string& id, const std::string& path, const std::string& fs,
                 const std::string& source, const std::string& optional = "") {
    return id + " 1 8:1 / " + path + " rw,relatime " + optional + (optional.empty() ? "" : " ") +
           "- " + fs + " " + source + " rw\n";
}

TVolumeProbe Probe() {
    TVolumeProbe p;
    p.IsRemovable = [](const std::string& source) { return source == "/dev/sdb1"; };
    p.IsFolder = [](const std::string& path) { return path != "/etc/hosts"; };
    p.LabelOf = [](const std::string& source) { return source == "/dev/sdb1" ? "STICK" : ""; };
    return p;
}

} // namespace

TEST(MountTable, ParsesFieldsOptionalTagsAndEscapes) {
    const std::string text = "36 35 98:0 /mnt1 /mnt/my\\040disk rw,noatime master:1 shared:2 - ext3 /dev/root rw\n"
                             "garbage line\n"
                             "37 1 0:5 / /proc rw - proc proc rw";
    const auto m = ParseMountInfo(text);
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].MountPath, "/mnt/my disk");
    EXPECT_EQ(m[0].Root, "/mnt1");
    EXPECT_EQ(m[0].FsType, "ext3");
    EXPECT_EQ(m[0].Source, "/dev/root");
    EXPECT_EQ(m[1].MountPath, "/proc");
}

TEST(MountTable, ClassifiesAndOrdersVolumes) {
    const std::string text = Line("1", "/home", "ext4", "/dev/sda2") + Line("2", "/", "ext4", "/dev/sda1") +
                             Line("3", "/proc", "proc", "proc") + Line("4", "/dev/shm", "tmpfs", "tmpfs") +
                             Line("5", "/sys/fs/cgroup", "cgroup2", "cgroup2") +
                             Line("6", "/media/stick", "vfat", "/dev/sdb1") +
                             Line("7", "/mnt/nas", "nfs4", "server:/export") +
                             Line("8", "/mnt/cd", "iso9660", "/dev/sr0") + Line("9", "/tmp", "tmpfs", "tmpfs") +
                             Line("10", "/run/media/u/card", "exfat", "/dev/mmcblk0p1") +
                             Line("11", "/run/user/1000", "tmpfs", "tmpfs") +
                             Line("12", "/etc/hosts", "ext4", "/dev/sda1") +
                             Line("13", "/mnt/box", "fuse.sshfs", "u@box:") +
                             Line("14", "/mnt/cd", "udf", "/dev/sr1");
    const auto v = VolumesFromMounts(ParseMountInfo(text), Probe());
    std::vector<std::pair<std::string, int>> got;
    for (const auto& vol : v)
        got.emplace_back(vol.Root, vol.Type);
    const std::vector<std::pair<std::string, int>> want = {
        {"/", DriveType::Fixed},           {"/home/", DriveType::Fixed},
        {"/media/stick/", DriveType::Removable}, {"/mnt/box/", DriveType::Remote},
        {"/mnt/cd/", DriveType::CdRom},    {"/mnt/nas/", DriveType::Remote},
        {"/run/media/u/card/", DriveType::Fixed}, {"/tmp/", DriveType::RamDisk}};
    EXPECT_EQ(got, want);
    EXPECT_EQ(v[2].Label, "STICK");
}

TEST(MountTable, KeepsAtMostTwentyFourVolumes) {
    std::string text = Line("1", "/", "ext4", "/dev/sda1");
    for (int i = 10; i < 40; ++i)
        text += Line(std::to_string(i), "/mnt/d" + std::to_string(i), "ext4", "/dev/sdc" + std::to_string(i));
    const auto v = VolumesFromMounts(ParseMountInfo(text), Probe());
    ASSERT_EQ(v.size(), 24u);
    EXPECT_EQ(v.front().Root, "/");
    EXPECT_EQ(v.back().Root, "/mnt/d32/");
}
