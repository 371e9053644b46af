#include "analysis/LocationInfo.h"
#include "analysis/RowCommands.h"
#include "support/TTempDir.h"

#include <gmock/gmock.h>

namespace fs = std::filesystem;

TEST(RowCommands, TheFirstCellDecidesWhatDeleteAndCleanDo) {
    // File rows carry their size text first; every size text begins with a digit.
    for (const char* size : {"9KB", "1.512MB", "0KB", "1024KB"}) {
        EXPECT_EQ(RowDeleteOf(std::string(size)), TRowDelete::File) << size;
        EXPECT_FALSE(CleanAppliesTo(std::string(size))) << size;
    }
    for (const char* folder : {"Folder", "System Disk ", "Local Disk", " 9KB"}) {
        EXPECT_EQ(RowDeleteOf(std::string(folder)), TRowDelete::FolderContents) << folder;
        EXPECT_TRUE(CleanAppliesTo(std::string(folder))) << folder;
    }
    // Outside the report view rows have no cells: delete leaves them alone, clean does not.
    EXPECT_EQ(RowDeleteOf(std::nullopt), TRowDelete::Nothing);
    EXPECT_EQ(RowDeleteOf(std::string()), TRowDelete::Nothing);
    EXPECT_TRUE(CleanAppliesTo(std::nullopt));
    EXPECT_TRUE(CleanAppliesTo(std::string()));
}

TEST(RowCommands, AnalyzePathTakesTheVolumeRootAtMyComputerAndEndsWithOneSeparator) {
    EXPECT_EQ(AnalyzePathOf("My Computer", true, true, "", "/home/"), "/home/");
    EXPECT_EQ(AnalyzePathOf("My Computer", true, true, "", "C:\\"), "C:\\");
    EXPECT_EQ(AnalyzePathOf("/data", false, true, "/data/Windows", ""), "/data/Windows/");
    EXPECT_EQ(AnalyzePathOf("C:\\", false, true, "C:\\Windows", ""), "C:\\Windows\\");
    EXPECT_EQ(AnalyzePathOf("/data", false, false, "", ""), "/data/");
    EXPECT_EQ(AnalyzePathOf("/data/", false, false, "", ""), "/data/");
    // Nothing on disk to chart: no row at My Computer, or a row without a volume root.
    EXPECT_EQ(AnalyzePathOf("My Computer", true, false, "", ""), "");
    EXPECT_EQ(AnalyzePathOf("My Computer", true, true, "", ""), "");
}

TEST(RowCommands, ABareDriveIsRereadAsItsRoot) {
    EXPECT_EQ(RereadTextOf("C:"), "C:\\");
    EXPECT_EQ(RereadTextOf("C:\\Data"), "C:\\Data");
    EXPECT_EQ(RereadTextOf("/data"), "/data");
    EXPECT_EQ(RereadTextOf(""), "");
}

TEST(RowCommands, DeleteRowFileRemovesAFileButNeverAFolder) {
    TTempDir dir;
    const fs::path file = dir.Write("a.txt", "abc");
    fs::create_directory(dir / "empty");
    dir.Write("full/x", "x");
    EXPECT_TRUE(DeleteRowFile(file));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(DeleteRowFile(dir / "empty"));
    EXPECT_FALSE(DeleteRowFile(dir / "full"));
    EXPECT_TRUE(fs::exists(dir / "empty"));
    EXPECT_TRUE(fs::exists(dir / "full" / "x"));
    EXPECT_FALSE(DeleteRowFile(dir / "missing"));
    EXPECT_FALSE(DeleteRowFile(fs::path()));
}

TEST(RowCommands, DeleteFolderContentsEmptiesTheFolderAndKeepsIt) {
    TTempDir dir;
    dir.Write("target/a.txt", "a");
    dir.Write("target/.hidden", "h");
    dir.Write("target/sub/deeper/b.bin", std::string(5000, 'b'));
    dir.Write("target/.cache/c", "c");
    fs::create_directory(dir / "target" / "empty");
    dir.Write("beside/keep.txt", "k");
    dir.Write("target-like/keep.txt", "k"); // a sibling whose name begins with the target's

    const TFolderContentsResult r = DeleteFolderContents(dir / "target");
    EXPECT_TRUE(r.Listed);
    EXPECT_EQ(r.Deleted, 5);
    EXPECT_EQ(r.Failed, 0);
    ASSERT_TRUE(fs::is_directory(dir / "target"));
    EXPECT_TRUE(fs::is_empty(dir / "target"));
    EXPECT_TRUE(fs::exists(dir / "beside" / "keep.txt"));
    EXPECT_TRUE(fs::exists(dir / "target-like" / "keep.txt"));
}

TEST(RowCommands, DeleteFolderContentsOfWhatIsNoFolderDoesNothing) {
    TTempDir dir;
    const fs::path file = dir.Write("file", "x");
    EXPECT_FALSE(DeleteFolderContents(file).Listed);
    EXPECT_TRUE(fs::exists(file));
    EXPECT_FALSE(DeleteFolderContents(dir / "missing").Listed);
    EXPECT_FALSE(DeleteFolderContents(fs::path()).Listed);
}

TEST(LocationInfo, NamesTheLastComponentAndDatesOnlyBelowARoot) {
    const TLocationInfo computer = LocationInfoOf("My Computer");
    EXPECT_EQ(computer.DirName, "My Computer");
    EXPECT_EQ(computer.CreateDate, "");
    EXPECT_EQ(LocationInfoOf("C:\\").DirName, "C:\\");
    EXPECT_EQ(LocationInfoOf("C:\\").ModifyDate, "");
    EXPECT_EQ(LocationInfoOf("C:\\Windows").DirName, "Windows");

    TTempDir dir;
    fs::create_directory(dir / "Folder");
    const TLocationInfo info = LocationInfoOf((dir / "Folder").string());
    EXPECT_EQ(info.DirName, "Folder");
    // "yyyy/mm/dd,hh:mm:ss" with the user's separators.
    auto dateLike = [](const std::string& t) {
        const std::string digits = "0123456789";
        return t.size() == 19 && t[10] == ',' && digits.find(t[0]) != std::string::npos &&
               digits.find(t[18]) != std::string::npos;
    };
    EXPECT_TRUE(dateLike(info.CreateDate)) << info.CreateDate;
    EXPECT_TRUE(dateLike(info.ModifyDate)) << info.ModifyDate;
    // The location's own time, not the clock: set one back and look (a file here, whose
    // time every system lets a test set).
    const fs::path old = dir.Write("old.txt", "o");
    fs::last_write_time(old, fs::last_write_time(old) - std::chrono::hours(24 * 400));
    EXPECT_NE(LocationInfoOf(old.string()).ModifyDate.substr(0, 4), info.ModifyDate.substr(0, 4));
}
