#include "core/FileRoutines.h"
#include "core/IMessageBoxHook.h"
#include "core/TDisk.h"
#include "platform/FileIo.h"
#include "platform/MountTable.h"
#include "platform/SystemInfo.h"

#include "support/TTempDir.h"

#include <gtest/gtest.h>

#include <set>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/utsname.h>

namespace fs = std::filesystem;

TEST(LinuxRoutines, DriveTableMatchesTheMountTable) {
    const std::string text = Platform::ReadWholeFile("/proc/self/mountinfo", nullptr).value();
    std::set<std::string> mounted;
    std::map<std::string, std::string> fsOf;
    for (const auto& m : Platform::ParseMountInfo(text)) {
        mounted.insert(m.MountPath == "/" ? "/" : m.MountPath + "/");
        fsOf[m.MountPath == "/" ? "/" : m.MountPath + "/"] = m.FsType;
    }
    TDisk disk;
    ASSERT_GE(disk.Count(), 1);
    EXPECT_EQ(disk.Count(), disk.Roots().size());
    EXPECT_EQ(disk.RootAt(0), "/");
    for (int i = 0; i < disk.Count(); ++i) {
        const std::string root = disk.RootAt(i);
        EXPECT_TRUE(mounted.count(root)) << root;
        EXPECT_FALSE(root.rfind("/proc", 0) == 0 || root.rfind("/sys", 0) == 0) << root;
        if (i > 0) {
            EXPECT_LT(disk.RootAt(i - 1), root);
        }
        const TDriveInfo info = disk.InfoOf(3 + i);
        EXPECT_EQ(info.DriveNo, 3 + i);
        const std::string& type = fsOf[root];
        if (type == "tmpfs") {
            EXPECT_EQ(info.DriveType, Platform::DriveType::RamDisk) << root;
        } else if (type == "ext4" || type == "xfs" || type == "btrfs") {
            EXPECT_TRUE(info.DriveType == Platform::DriveType::Fixed ||
                        info.DriveType == Platform::DriveType::Removable) << root;
        }
    }
    EXPECT_GT(disk.InfoOf(3).Size, 0);
    EXPECT_GE(disk.InfoOf(3).Free, 0);
    EXPECT_EQ(disk.DriveTypeOf("/no/such/mount/"), Platform::DriveType::NoRootDir);
}

TEST(LinuxRoutines, ShortPathAndDisplayNames) {
    std::vector<std::string> shown;
    class TRecorder : public IMessageBoxHook {
    public:
        std::vector<std::string>* Out;
        explicit TRecorder(std::vector<std::string>* out) : Out(out) {}
        void Show(const std::string& text, const std::string&) override { Out->push_back(text); }
    };
    auto old = SetMessageBoxHook(std::make_unique<TRecorder>(&shown));
    EXPECT_EQ(GetShortPath("/usr/bin/some long name with many characters in it beyond sixty-six"),
              "/usr/bin/some long name with many characters in it beyond sixty-six");
    EXPECT_TRUE(shown.empty());
    SetMessageBoxHook(std::move(old));

    TTempDir dir;
    dir.Write("My File.txt", "x");
    EXPECT_EQ(GetShellDisplayName(dir / "My File.txt"), "My File.txt");
    EXPECT_EQ(GetShellDisplayName(dir / "missing"), (dir / "missing").string());
    const std::string root = GetShellDisplayName("/");
    EXPECT_EQ(root.substr(root.size() - 4), " (/)");
    EXPECT_EQ(DriveRootOf(root), "/");
}

TEST(LinuxRoutines, VersionTextFollowsTheLayout) {
    struct utsname u;
    ASSERT_EQ(uname(&u), 0);
    const std::string text = GetOSVersionText();
    EXPECT_EQ(text.rfind(std::string(u.sysname) + " Version ", 0), 0u) << text;
    EXPECT_NE(text.find("\r\n (Build "), std::string::npos) << text;
    EXPECT_NE(text.find(std::string(": ") + u.release), std::string::npos) << text;
    EXPECT_EQ(text.back(), ')');
}

TEST(LinuxRoutines, FileDatesUseTheGivenLayout) {
    TTempDir dir;
    const fs::path f = dir.Write("f", "x");
    const struct timespec times[2] = {{1213450000, 0}, {1213450000, 0}}; // 2008-06-14 13:26:40 UTC
    ASSERT_EQ(utimensat(AT_FDCWD, f.c_str(), times, 0), 0);
    setenv("TZ", "UTC", 1);
    tzset();
    const char* oldLocale = std::getenv("LC_ALL");
    const std::string savedLocale = oldLocale ? oldLocale : "";
    setenv("LC_ALL", "C", 1);
    const auto dates = GetFileDates(f);
    unsetenv("TZ");
    tzset();
    if (oldLocale)
        setenv("LC_ALL", savedLocale.c_str(), 1);
    else
        unsetenv("LC_ALL");
    EXPECT_EQ(dates[1], "2008/06/14,13:26:40");
    EXPECT_EQ(dates[0].size(), 19u);
    EXPECT_EQ(dates[2].size(), 19u);
    const auto none = GetFileDates(dir / "missing");
    EXPECT_EQ(none[0], "");
    EXPECT_EQ(none[1], "");
    EXPECT_FALSE(none[2].empty());
}

TEST(LinuxRoutines, WideTreeTotalsAreExactWhenWalkedOnSeveralThreads) {
    TTempDir dir;
    TTempDir outside;
    outside.Write("big", std::string(100000, 'x'));
    int64_t expected = 0;
    for (int a = 0; a < 40; ++a) {
        for (int b = 0; b < 5; ++b) {
            const std::string folder = "t/d" + std::to_string(a) + "/e" + std::to_string(b);
            dir.Write(folder + "/f", std::string(static_cast<size_t>(a * 7 + b), 'x'));
            expected += a * 7 + b;
        }
        fs::create_directory_symlink(outside.Path(), dir / ("t/d" + std::to_string(a) + "/out"));
        expected += static_cast<int64_t>(outside.Path().native().size()); // the link's own text
    }
    dir.Write("t/.dot/hidden", "12345");
    EXPECT_EQ(GetDirectorySize(dir / "t"), expected + 5);
    EXPECT_EQ(GetDirectorySizeIn(dir / "t", 2), static_cast<double>(expected));
}
