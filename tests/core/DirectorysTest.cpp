#include "core/EMorvaneError.h"
#include "core/TDisk.h"
#include "core/TSetting.h"

#include "support/TTempDir.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Paths(const TDirectorys& dirs) {
    std::vector<std::string> paths;
    for (int i = 0; i < dirs.Count(); ++i)
        paths.push_back(dirs[i].Path());
    return paths;
}

} // namespace

TEST(Directorys, RemovePathIgnoresCaseAndKeepsTheOrder) {
    TDirectorys dirs;
    dirs.Add("/data/Temp", true, true);
    dirs.Add("/", true, false);
    TDirectory& kept = dirs.Add("/data/临时", false, true);
    dirs.Add("/DATA/temp", false, false);
    dirs.Add("/home/", true, true);

    dirs.RemovePath("/nowhere");
    EXPECT_EQ(dirs.Count(), 5);
    dirs.RemovePath("/Data/TEMP");
    EXPECT_EQ(Paths(dirs), (std::vector<std::string>{"/", "/data/临时", "/home/"}));
    EXPECT_EQ(&dirs[1], &kept);
    EXPECT_FALSE(dirs[0].IfClean());
    EXPECT_FALSE(dirs[1].IncludeSubDir());

    dirs.RemovePath("/");
    dirs.Delete(0);
    dirs.RemovePath("/HOME/");
    EXPECT_EQ(dirs.Count(), 0);
    EXPECT_THROW(dirs.Items(0), EMorvaneError);
}

TEST(Directorys, ResetDirectoriesHasOneCheckedEntryPerDrive) {
    TTempDir dir;
    TSetting setting(dir / "none.cfg");
    EXPECT_EQ(Paths(setting.Directorys()), TDisk().Roots());
    ASSERT_GT(setting.Directorys().Count(), 0);

    setting.Directorys().Add("/tmp/x", false, false);
    setting.ResetDirectories({"C:\\", "E:\\"});
    EXPECT_EQ(Paths(setting.Directorys()), (std::vector<std::string>{"C:\\", "E:\\"}));
    for (int i = 0; i < setting.Directorys().Count(); ++i) {
        EXPECT_TRUE(setting.Directorys()[i].IncludeSubDir());
        EXPECT_TRUE(setting.Directorys()[i].IfClean());
    }
}
