#include "clean/JunkDelete.h"
#include "clean/JunkSort.h"
#include "clean/JunkTexts.h"
#include "core/PathText.h"
#include "support/TTempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

TJunkRow Row(const fs::path& path, bool dir = false, bool checked = true) {
    TJunkRow r;
    r.Path = PathText(path);
    r.IsDirectory = dir;
    r.Checked = checked;
    return r;
}

} // namespace

TEST(JunkTexts, SummaryUsesLfCrBreaksAndSixtyFourBitCounts) {
    const TScanCounters c{5000000000LL, 3, 4294967296LL};
    EXPECT_EQ(SummaryMessageText(c),
              "   本次磁盘扫描完成 !!!\n\r-----------------\n\r [共分析文件数量]: 5000000000  \n\r"
              " [发现垃圾文件数量]: 3 \n\r [垃圾文件空间占用]: 4294967296 字节");
    EXPECT_EQ(SummaryStatusText(c),
              "[扫描分析文件]: 5000000000  [发现垃圾文件]: 3  [垃圾占用空间]: 4294967296 Byte");
    EXPECT_EQ(SizeText(0), "0Byte");
    EXPECT_EQ(UpperAscii("aé.bak"), "Aé.BAK");
}

TEST(JunkDelete, TheTrailingMarkerNamesAFolder) {
    EXPECT_EQ(StripDirMarker("/t/x<Dir>").Path, "/t/x");
    EXPECT_TRUE(StripDirMarker("/t/x<Dir>").IsDirectory);
    EXPECT_FALSE(StripDirMarker("/t/x<Dir>.txt").IsDirectory);
    // A file whose own name ends with the marker stays a file.
    TJunkRow fileRow;
    fileRow.Path = "/t/odd<Dir>";
    EXPECT_FALSE(TargetOf(fileRow).IsDirectory);
    EXPECT_EQ(TargetOf(fileRow).Path, "/t/odd<Dir>");
}

TEST(JunkDelete, CheckedRowsGoUncheckedAndChangedEntriesStay) {
    TTempDir dir;
    const fs::path a = dir.Write("a.bak", "1");
    const fs::path kept = dir.Write("kept.bak", "1");
    const fs::path tree = dir.Write("tree/sub/f.txt", "1").parent_path().parent_path();
    fs::create_directory(dir / "nowdir.bak"); // was a file when scanned
    std::vector<TJunkRow> rows{Row(a), Row(kept, false, false), Row(tree, true),
                               Row(dir / "gone.bak"), Row(dir / "nowdir.bak")};
    std::vector<size_t> progress;
    const TCleanRunResult r = CleanCheckedRows(rows, [&](size_t n) { progress.push_back(n); });
    EXPECT_EQ(r.Handled, 5u);
    EXPECT_EQ(r.Removed, 2);
    EXPECT_EQ(progress, (std::vector<size_t>{1, 2, 3, 4, 5}));
    EXPECT_FALSE(fs::exists(a));
    EXPECT_FALSE(fs::exists(tree));
    EXPECT_TRUE(fs::exists(kept));
    EXPECT_TRUE(fs::is_directory(dir / "nowdir.bak"));
    EXPECT_EQ(r.StatusText, "");
}

TEST(JunkDelete, AnEmptyOnlyFolderRowKeepsAFolderThatFilledUp) {
    TTempDir dir;
    dir.Write("box/new.txt", "x");
    EXPECT_EQ(DeleteJunkEntry(Row(dir / "box", true), TDirectoryDelete::EmptyOnly).Result,
              TDeleteResult::Failed);
    EXPECT_TRUE(fs::exists(dir / "box" / "new.txt"));
}

TEST(JunkSort, SizesSortAsNumbersAndDatesAsDates) {
    std::vector<TJunkRow> rows(3);
    rows[0].Path = "b"; rows[0].SizeText = "10Byte"; rows[0].CreatedText = "12/1/2003";
    rows[1].Path = "A"; rows[1].SizeText = "9Byte"; rows[1].CreatedText = "2/1/2004";
    rows[2].Path = "c"; rows[2].SizeText = "4294967296Byte"; rows[2].CreatedText = "1/30/2003";
    auto order = [&] { std::string s; for (auto& r : rows) s += r.Path; return s; };
    SortJunkRows(rows, 1, false);
    EXPECT_EQ(order(), "Abc");
    SortJunkRows(rows, 2, false);
    EXPECT_EQ(order(), "cbA");
    SortJunkRows(rows, 0, true);
    EXPECT_EQ(order(), "cbA");
    SortJunkRows(rows, 0, false);
    EXPECT_EQ(order(), "Abc");
    EXPECT_EQ(CompareJunkRows(rows[0], rows[0], 3), 0);
}
