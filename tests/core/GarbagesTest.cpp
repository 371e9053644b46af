#include "core/EMorvaneError.h"
#include "core/TSetting.h"

#include "support/TTempDir.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

struct TRow {
    std::string Name, Memo;
    bool Ifclean;
    bool operator==(const TRow&) const = default;
};

std::vector<TRow> Rows(const TGarbages& garbages) {
    std::vector<TRow> rows;
    for (int i = 0; i < garbages.Count(); ++i)
        rows.push_back({garbages[i].GarbageName(), garbages[i].Memo(), garbages[i].Ifclean()});
    return rows;
}

std::vector<TRow> RowsOfFile(std::string_view bytes) {
    TGarbages garbages;
    garbages.Add("stale", "", true);
    garbages.LoadFromFileText(bytes);
    return Rows(garbages);
}

} // namespace

TEST(Garbages, FileGroupsOfThreeLinesWithTheirQuirks) {
    EXPECT_EQ(RowsOfFile("*.BAK\r\nbackup\r\nY\r\n*.TMP\r\ntemporary\r\nN\r\n"),
              (std::vector<TRow>{{"*.BAK", "backup", true}, {"*.TMP", "temporary", false}}));
    EXPECT_EQ(RowsOfFile("*.BAK\r\nbackup\r\n"), (std::vector<TRow>{{"*.BAK", "backup", false}}));
    EXPECT_EQ(RowsOfFile("a\r\n\r\ny\r\nb\r\n\r\nYES\r\nc\r\n\r\n\r\n"),
              (std::vector<TRow>{{"a", "", true}, {"b", "", false}, {"c", "", false}}));
    EXPECT_EQ(RowsOfFile("a\r\nm\r\nY\r\n\r\n"),
              (std::vector<TRow>{{"a", "m", true}, {"", "", false}}));
    EXPECT_EQ(RowsOfFile("a\nm\nY"), (std::vector<TRow>{{"a", "m", true}}));
    EXPECT_TRUE(RowsOfFile("").empty());
}

TEST(Garbages, CollectionOperationsAndIndexErrors) {
    TGarbages g;
    TGarbage& first = g.Add("*.A", "a", true);
    g.Add();
    g.Add("*.C", "c", false);
    g.Delete(1);
    EXPECT_EQ(&g[0], &first);
    EXPECT_EQ(Rows(g), (std::vector<TRow>{{"*.A", "a", true}, {"*.C", "c", false}}));
    try {
        g.Items(2);
        FAIL();
    } catch (const EMorvaneError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (2)");
    }
    EXPECT_THROW(g.Delete(-1), EMorvaneError);
    g.Clear();
    EXPECT_EQ(g.Count(), 0);
}

TEST(Garbages, FirstStartSeedsTheDefaultTypesButAnEmptyFileStaysEmpty) {
    TTempDir dir;
    TSetting first(dir / "Morvane.cfg");
    const std::vector<TRow> rows = Rows(first.Garbages());
    ASSERT_EQ(rows.size(), 28u);
    EXPECT_EQ(rows[0], (TRow{"*.BAK", "备份文件", false}));
    EXPECT_EQ(rows[6], (TRow{"*.DMP", "Dr.Watson  内存临时文件", false}));
    EXPECT_EQ(rows[7], (TRow{"*.$$$", " 临时文件", false}));
    EXPECT_EQ(rows[27], (TRow{"*.DDP", "DELPHI  临时文件", false}));
    for (const TRow& row : rows)
        EXPECT_FALSE(row.Ifclean);

    dir.Write("Morvane.cfg.Garbage", "");
    TSetting emptied(dir / "Morvane.cfg");
    EXPECT_EQ(emptied.Garbages().Count(), 0);
}

TEST(Garbages, SaveWritesTheFileAndLoadReplacesTheCollection) {
    TTempDir dir;
    TSetting setting(dir / "Morvane.cfg");
    setting.Garbages().Clear();
    setting.Garbages().Add("*.TMP", " temporary ", true);
    setting.Garbages().Add("*.OLD", "", false);
    setting.SaveToFile(dir / "Morvane.cfg");
    const std::string bytes = "*.TMP\r\n temporary \r\nY\r\n*.OLD\r\n\r\nN\r\n";
    EXPECT_EQ(TTempDir::Read(dir / "Morvane.cfg.Garbage"), bytes);

    TSetting back(dir / "Morvane.cfg");
    back.SaveToFile(dir / "Morvane.cfg");
    EXPECT_EQ(TTempDir::Read(dir / "Morvane.cfg.Garbage"), bytes);

    // Without a junk types file a load leaves the collection as it is.
    fs::remove(dir / "Morvane.cfg.Garbage");
    back.LoadFromFile(dir / "Morvane.cfg");
    EXPECT_EQ(back.Garbages().Count(), 2);
}

TEST(Garbages, UnwritableJunkTypesFileFailsSilently) {
    TTempDir dir;
    TSetting setting(dir / "none.cfg");
    fs::create_directory(dir / "Morvane.cfg.Garbage"); // a folder cannot be replaced by a file
    EXPECT_NO_THROW(setting.SaveToFile(dir / "Morvane.cfg"));
    EXPECT_EQ(TTempDir::Read(dir / "Morvane.cfg").size(), 443u);
    EXPECT_TRUE(fs::is_directory(dir / "Morvane.cfg.Garbage"));
}

TEST(Garbages, UnreadableJunkTypesFileReadsEmptyAndIsNotOverwritten) {
    if (!PermissionsCanRefuseWrites())
        GTEST_SKIP() << "file permissions do not refuse reads here";
    TTempDir dir;
    const fs::path types = dir.Write("Morvane.cfg.Garbage", "*.BAK\r\nbackup\r\nY\r\n");
    OpenToEveryone(dir.Path().string());
    fs::permissions(types, fs::perms::none);
    const std::string result = RunUnprivileged([&] {
        TSetting setting(dir / "Morvane.cfg");
        try {
            setting.SaveToFile(dir / "Morvane.cfg");
        } catch (const EMorvaneError& e) {
            return std::string(e.what());
        }
        return std::to_string(setting.Garbages().Count());
    });
    EXPECT_EQ(result, "0");
    fs::permissions(types, fs::perms::owner_read);
    EXPECT_EQ(TTempDir::Read(types), "*.BAK\r\nbackup\r\nY\r\n");
}
