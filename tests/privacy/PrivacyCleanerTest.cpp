#include "core/TSetting.h"
#include "privacy/IWipeProgress.h"
#include "privacy/PrivacyItemList.h"
#include "privacy/TPrivacyCleaner.h"
#include "privacy/WipeFolderContents.h"
#include "support/TTempDir.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <vector>

namespace fs = std::filesystem;
using ::testing::ElementsAre;

namespace {

class TProgressRecorder : public IWipeProgress {
public:
    void SetMaximum(int maximum) override { Max = maximum; }
    int Maximum() const override { return Max; }
    void SetPosition(int position) override {
        Pos = position;
        Positions.push_back(position);
    }
    int Position() const override { return Pos; }

    int Max = 100;
    int Pos = 0;
    std::vector<int> Positions;
};

TEST(WipeFolderContents, EmptiesTheFolderWithItsSubfoldersAndKeepsTheFolder) {
    TTempDir dir;
    dir.Write("cache/a.tmp", "1");
    dir.Write("cache/.hidden", "2");
    dir.Write("cache/sub/deeper/b.tmp", "3");
    fs::create_directories(dir / "cache/empty");
    dir.Write("neighbour.txt", "stays");

    WipeFolderContents(dir / "cache");

    EXPECT_TRUE(fs::is_directory(dir / "cache"));
    EXPECT_TRUE(fs::is_empty(dir / "cache"));
    EXPECT_EQ(TTempDir::Read(dir / "neighbour.txt"), "stays");
}

TEST(WipeFolderContents, AMissingFolderIsPassedOverSilently) {
    TTempDir dir;
    EXPECT_NO_THROW(WipeFolderContents(dir / "missing"));
    EXPECT_FALSE(fs::exists(dir / "missing"));
}

TEST(PrivacyCleaner, WithNoItemTickedTheProgressGoesFromOneToNineAndNothingRuns) {
    TTempDir dir;
    TSetting setting(dir / "Morvane.cfg");
    for (const TPrivacyItemInfo& item : PrivacyItemList())
        (setting.*item.SetTicked)(false);
    TProgressRecorder progress;

    TPrivacyCleaner().Clean(setting, progress);

    EXPECT_EQ(progress.Max, 9);
    EXPECT_THAT(progress.Positions, ElementsAre(1, 2, 3, 4, 5, 6, 7, 8, 9, 9));
}

TEST(PrivacyCleaner, ItemsKeepTheirCaptionsAndSettingsInOrder) {
    TTempDir dir;
    TSetting setting(dir / "Morvane.cfg");
    const auto& items = PrivacyItemList();
    EXPECT_STREQ(items[0].Caption, "Internet Explorer 临时文件");
    EXPECT_STREQ(items[8].Caption, "清理桌面无效快捷方式");
    // Each item has a setting of its own: setting one leaves the others alone.
    for (size_t i = 0; i < items.size(); ++i) {
        for (const TPrivacyItemInfo& item : items)
            (setting.*item.SetTicked)(false);
        (setting.*items[i].SetTicked)(true);
        for (size_t j = 0; j < items.size(); ++j)
            EXPECT_EQ((setting.*items[j].Ticked)(), i == j) << i << " " << j;
    }
}

} // namespace
