#include "../core/FakeVolumes.h"
#include "core/PrivacyItems.h"
#include "core/TDisk.h"
#include "core/TGarbages.h"
#include "core/TSetting.h"
#include "options/OptionRows.h"
#include "support/TTempDir.h"

#include <gtest/gtest.h>

TEST(OptionRows, DriveTypeTextsByCode) {
    const char* expected[] = {"未知", "目录", "可移动硬盘", "固定硬盘", "网络", "光驱", "虚拟磁盘"};
    for (uint8_t code = 0; code <= 6; ++code)
        EXPECT_EQ(DriveTypeText(code), expected[code]);
    EXPECT_EQ(DriveTypeText(7), "未知");
}

TEST(OptionRows, FolderSizesAreGeneralNumbersWithTheLocaleSeparator) {
    EXPECT_EQ(FolderSizeText(0, '.'), "0MB");
    EXPECT_EQ(FolderSizeText(12.5, ','), "12,5MB");
    EXPECT_EQ(FolderSizeText(1.0 / 3.0, '.'), "0.333333333333333MB");
    EXPECT_EQ(FolderSizeText(1234567, '.'), "1234567MB");
}

TEST(OptionRows, ParameterRowsReadAndWriteTheirOwnSetting) {
    TTempDir dir;
    TSetting setting(dir / "s.ini");
    const auto& rows = ParameterRows();
    EXPECT_STREQ(rows[2].Caption, "图表最小块百分比");
    EXPECT_EQ(rows[2].Kind, TParameterKind::Integer);
    rows[2].Set(setting, 5);
    EXPECT_EQ(setting.SlicePercent(), 5);
    // Each flag row flips exactly its own property.
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].Kind != TParameterKind::Boolean)
            continue;
        std::vector<int32_t> before;
        for (const auto& r : rows)
            before.push_back(r.Get(setting));
        rows[i].Set(setting, before[i] ? 0 : 1);
        for (size_t j = 0; j < rows.size(); ++j)
            EXPECT_EQ(rows[j].Get(setting), j == i ? !before[i] : before[j]) << i << " " << j;
    }
    rows[5].Set(setting, 1);
    EXPECT_TRUE(setting.IfCleanZeroDir());
    rows[8].Set(setting, 1);
    EXPECT_TRUE(setting.AutoClean());
}

TEST(OptionRows, PrivacyItemsMirrorTheirOwnSetting) {
    TTempDir dir;
    TSetting setting(dir / "s.ini");
    const auto& items = PrivacyItems();
    EXPECT_STREQ(items[0].Caption, "Internet Explorer 临时文件");
    EXPECT_STREQ(items[8].Caption, "清理桌面无效快捷方式");
    for (const auto& item : items)
        (setting.*item.Set)(false);
    (setting.*items[7].Set)(true);
    EXPECT_TRUE(setting.IfClean_Recycle_Bin());
    for (size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ((setting.*items[i].Get)(), i == 7) << i;
}

TEST(OptionRows, JunkTypesRoundTripThroughRows) {
    TTempDir dir;
    TSetting setting(dir / "s.ini");
    std::vector<TJunkTypeRow> rows = JunkTypeRows(setting);
    ASSERT_EQ(rows.size(), 28u);
    rows.push_back({"", "", true}); // an empty pattern is kept as typed
    rows.erase(rows.begin());
    RebuildGarbages(setting, rows);
    ASSERT_EQ(setting.Garbages().Count(), 28);
    EXPECT_EQ(setting.Garbages()[0].GarbageName(), "*.TMP");
    EXPECT_EQ(setting.Garbages()[27].GarbageName(), "");
    EXPECT_TRUE(setting.Garbages()[27].Ifclean());
}

TEST(OptionRows, EachDriveRowShowsItsOwnDrive) {
    TFakeVolumes* fake = nullptr;
    TVolumesScope scope(fake);
    fake->Volumes = {{"C:\\", Platform::DriveType::Fixed, ""},
                     {"D:\\", Platform::DriveType::CdRom, ""},
                     {"F:\\", Platform::DriveType::Removable, ""}};
    fake->Spaces["C:\\"] = {10LL * 1048576 + 5, 3LL * 1048576};
    fake->Spaces["D:\\"] = {700LL * 1048576, 0};
    fake->Spaces["F:\\"] = {int64_t{8} << 30, 1048575};
    const TDisk disk;
    const std::vector<TDriveRow> rows = DriveRows(disk);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Root, "C:\\");
    EXPECT_EQ(rows[0].SizeText, "10M");
    EXPECT_EQ(rows[0].FreeText, "3M");
    EXPECT_EQ(rows[0].TypeText, "固定硬盘");
    // An optical drive is never asked for its space.
    EXPECT_EQ(rows[1].SizeText, "0M");
    EXPECT_EQ(rows[1].FreeText, "0M");
    EXPECT_EQ(rows[1].TypeText, "光驱");
    EXPECT_EQ(rows[2].SizeText, "8192M");
    EXPECT_EQ(rows[2].FreeText, "0M");
    EXPECT_EQ(rows[2].TypeText, "可移动硬盘");
}
