#include "analysis/SpaceAnalysis.h"
#include "core/FakeVolumes.h"
#include "core/TDisk.h"
#include "support/TTempDir.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <map>

namespace fs = std::filesystem;

namespace {

struct TCountingProgress : IAnalysisProgress {
    uint64_t Steps = 0;
    int Resets = 0;
    void Reset() override { ++Resets; }
    void Advance(uint64_t steps) override { Steps += steps; }
};

std::string Chart(const TTempDir& dir) {
    return dir.Path().string() + "/";
}

} // namespace

TEST(SpaceAnalysis, FilePointsAreWholeMegabytesOfFilesAboveOneKilobyte) {
    TTempDir dir;
    dir.Write("a", std::string(1048575, 'x'));
    dir.Write("b", std::string(1048576, 'x'));
    dir.Write("c", std::string(1025, 'x'));
    dir.Write("small", std::string(1024, 'x'));
    auto points = DirectoryBreakdown(Chart(dir), false);
    std::map<std::string, double> byName;
    for (const auto& p : points)
        byName[p.Label] = p.Value;
    EXPECT_EQ(byName, (std::map<std::string, double>{{"a", 0}, {"b", 1}, {"c", 0}}));
}

TEST(SpaceAnalysis, FolderPointsAreCutToThreeDecimalsOrWholeMegabytes) {
    TTempDir dir;
    dir.Write("sub/f", std::string(1500000, 'x'));
    auto pie = DirectoryBreakdown(dir.Path().string(), false);
    ASSERT_EQ(pie.size(), 1u);
    EXPECT_EQ(pie[0].Label, "sub");
    EXPECT_DOUBLE_EQ(pie[0].Value, 1.43);
    auto popup = DirectoryBreakdown(Chart(dir), true);
    ASSERT_EQ(popup.size(), 1u);
    EXPECT_DOUBLE_EQ(popup[0].Value, 1);
}

TEST(SpaceAnalysis, SmallFilesGiveAnEmptyPieButCountInTotals) {
    TTempDir dir;
    dir.Write("f1", std::string(1000, 'x'));
    dir.Write("f2", std::string(24, 'x'));
    EXPECT_TRUE(DirectoryBreakdown(Chart(dir), false).empty());
    EXPECT_DOUBLE_EQ(CalcDirectorySize(dir.Path(), SizeUnit::Bytes), 1024);
    EXPECT_DOUBLE_EQ(CalcDirectorySize(dir.Path(), SizeUnit::KB), 1);
}

TEST(SpaceAnalysis, DotFolderIsEnteredOnlyAsDirectChildOfTheChartedFolder) {
    TTempDir dir;
    dir.Write(".cache/f", std::string(2 * 1048576, 'x'));
    dir.Write("sub/.deep/f", std::string(3 * 1048576, 'x'));
    dir.Write("sub/g", std::string(1048576, 'x'));
    std::map<std::string, double> byName;
    for (const auto& p : DirectoryBreakdown(Chart(dir), false))
        byName[p.Label] = p.Value;
    EXPECT_EQ(byName, (std::map<std::string, double>{{".cache", 2}, {"sub", 1}}));
}

TEST(SpaceAnalysis, MissingPathGivesNothingAndProgressSteps) {
    EXPECT_TRUE(DirectoryBreakdown("/no/such/folder/here", false).empty());
    EXPECT_EQ(CalcDirectorySize("/no/such/folder/here", SizeUnit::MB), 0);
    TTempDir dir;
    dir.Write("a", "x");
    dir.Write("b/c", "y");
    TCountingProgress progress;
    DirectoryBreakdown(Chart(dir), true, &progress);
    EXPECT_EQ(progress.Resets, 1);
    // a, b, "." and ".." of the folder; c and the two dots inside b's walk.
    EXPECT_EQ(progress.Steps, 4u + 3u);
}

TEST(SpaceAnalysis, ChartedPathEndsWithOneSeparator) {
    const std::string sep(1, static_cast<char>(fs::path::preferred_separator));
    EXPECT_EQ(ChartedPath("/"), "/");
    EXPECT_EQ(ChartedPath("/usr"), "/usr" + sep);
    EXPECT_EQ(ChartedPath("/usr/"), "/usr/");
    EXPECT_EQ(ChartedPath("/usr" + sep), "/usr" + sep);
}

TEST(SpaceAnalysis, DriveBarsInMegabytesWithZeroForUnreadable) {
    TFakeVolumes* fake = nullptr;
    TVolumesScope scope(fake);
    fake->Volumes = {{"/", Platform::DriveType::Fixed, ""},
                     {"/media/cd/", Platform::DriveType::CdRom, ""}};
    fake->Spaces["/"] = {10LL * 1048576 + 5, 3LL * 1048576 - 1};
    TDisk disk;
    auto bars = DriveBars(disk);
    ASSERT_EQ(bars.size(), 2u);
    EXPECT_EQ(bars[0].Label, "/");
    EXPECT_EQ(bars[0].Total, 10);
    EXPECT_EQ(bars[0].Free, 2);
    EXPECT_EQ(bars[1].Label, "/media/cd/");
    EXPECT_EQ(bars[1].Total, 0);
    EXPECT_EQ(bars[1].Free, 0);
}
