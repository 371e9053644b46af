#include "FakeScanHost.h"

#include "clean/TJunkMatcher.h"
#include "clean/TJunkScanner.h"
#include "core/PathText.h"
#include "core/TGarbages.h"
#include "core/TSetting.h"
#include "support/TTempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string Text(const fs::path& p) { return PathText(p); }
std::string Folder(const TTempDir& dir) { return Text(dir.Path()) + PathSeparator; }

class JunkScan : public ::testing::Test {
protected:
    JunkScan() : Setting(Home / "settings.ini") {
        Setting.Garbages().Clear();
        Setting.SetIfCleanZeroDir(false);
        Setting.SetIfCleanZeroFile(false);
    }

    void Scan(const fs::path& folder, bool includeSubDir, std::vector<std::string> protectedNames = {}) {
        TJunkScanner scanner(Host, Counters, Setting, protectedNames);
        scanner.SetPumpInterval(std::chrono::milliseconds(0));
        scanner.ScanDirectory(Text(folder), includeSubDir);
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> c;
        for (const TJunkRow& r : Host.Rows)
            c.push_back(r.Caption());
        return c;
    }

    TTempDir Home;
    TTempDir Tree;
    TSetting Setting;
    TFakeScanHost Host;
    TScanCounters Counters;
};

} // namespace

TEST(JunkMatch, MatchTextDropsQuestionMarksAndStopsAtALaterStar) {
    EXPECT_EQ(BuildMatchText("*.BAK"), ".BAK");
    EXPECT_EQ(BuildMatchText("*.~*"), ".~");
    EXPECT_EQ(BuildMatchText("*.BK*"), ".BK");
    EXPECT_EQ(BuildMatchText("*.$$$"), ".$$$");
    EXPECT_EQ(BuildMatchText("?A?B"), "AB");
    EXPECT_EQ(BuildMatchText("*"), "");
    EXPECT_EQ(BuildMatchText(""), "");
}

TEST(JunkMatch, NamesAreUpperCasedPatternsAreNot) {
    TGarbages types;
    types.Add("*.BAK", "", true);
    types.Add("*.tmp", "", true);   // lower case: never matches
    types.Add("*", "", true);       // empty match text: never matches
    types.Add("*.OLD", "", false);  // unchecked
    TJunkMatcher matcher({"keep.bak"});
    matcher.Refresh(types);
    for (const char* name : {"REPORT.BAK", "report.bak", "REPORT.BAK.OLD", "X.BAKERY"})
        EXPECT_TRUE(matcher.MatchesJunkType(name)) << name;
    for (const char* name : {"REPORTBAK", "a.tmp", "a.TMP", "a.old", "plain"})
        EXPECT_FALSE(matcher.MatchesJunkType(name)) << name;
    EXPECT_TRUE(matcher.IsProtected("KEEP.BAK"));
    EXPECT_FALSE(matcher.IsJunk("Keep.Bak"));
    EXPECT_FALSE(matcher.IsProtected("dir/keep.bak")); // whole names only
}

TEST_F(JunkScan, JunkRowsCountersAndTextsFollowTheWalk) {
    Setting.Garbages().Add("*.BAK", "", true);
    Setting.Garbages().Add("*.B*", "", true); // matches the same files: still one row each
    Tree.Write("a.bak", "12345");
    Host.Progress = 99;
    Scan(Tree.Path(), false);

    ASSERT_EQ(Captions(), std::vector<std::string>{Folder(Tree) + "a.bak"});
    const TJunkRow& row = Host.Rows[0];
    EXPECT_EQ(row.SizeText, "5Byte");
    EXPECT_TRUE(row.Checked);
    EXPECT_NE(row.CreatedText.find('/'), std::string::npos);
    EXPECT_EQ(Counters.FJunkCount, 1);
    EXPECT_EQ(Counters.FJunkSize, 5);
    EXPECT_EQ(Counters.FScannedCount, 1);
    EXPECT_EQ(Host.Captions, std::vector<std::string>{"Morvane  ---  Is Scanning Direcotry [" + Folder(Tree) + "]  "});
    EXPECT_EQ(Host.Scrolls, 1);
    EXPECT_EQ(Host.Progress, 0); // (99 + 1) mod 100
    // The status of a junk row counts the entries before the file, not the file.
    EXPECT_EQ(Host.Status1History, std::vector<std::string>{"[Scan File]: 0  [Junker Number]: 1  [Size]: 5 Byte"});
    EXPECT_EQ(Host.Status[0], "Scanning File [ a.bak ] ");
}

TEST_F(JunkScan, ZeroByteFileThatIsAlsoJunkGivesTwoRowsCountedOnce) {
    Setting.Garbages().Add("*.BAK", "", true);
    Setting.SetIfCleanZeroFile(true);
    Tree.Write("empty.bak", "");
    Tree.Write("keep.bak", "");
    Scan(Tree.Path(), false, {"KEEP.BAK"});
    // The protected list does not shield a file from the empty-file rule.
    std::vector<std::string> rows = Captions();
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::string>{Folder(Tree) + "empty.bak", Folder(Tree) + "empty.bak",
                                              Folder(Tree) + "keep.bak"}));
    EXPECT_EQ(Counters.FJunkCount, 1);
    EXPECT_EQ(Counters.FJunkSize, 0);
}

TEST_F(JunkScan, EmptyFoldersAreListedOuterFirstAndOnlyWhenTheyHoldNoByte) {
    Setting.SetIfCleanZeroDir(true);
    fs::create_directories(Tree / "outer" / "inner");
    Tree.Write("full/sub/data.txt", "x");
    Scan(Tree.Path(), true);
    const std::string base = Folder(Tree);
    EXPECT_EQ(Captions(), (std::vector<std::string>{base + "outer<Dir>",
                                                    base + "outer" + PathSeparator + "inner<Dir>"}));
    EXPECT_TRUE(Host.Rows[0].IsDirectory);
    EXPECT_EQ(Host.Rows[0].SizeText, "0Byte");
    EXPECT_EQ(Counters.FJunkCount, 2);
    EXPECT_EQ(Host.Scrolls, 0);
    // outer, inner, full, sub, data.txt
    EXPECT_EQ(Counters.FScannedCount, 5);
}

TEST_F(JunkScan, WithoutSubFoldersOnlyTheFolderItselfIsWalked) {
    Setting.Garbages().Add("*.BAK", "", true);
    Tree.Write("top.bak", "1");
    Tree.Write("sub/deep.bak", "1");
    Scan(Tree.Path(), false);
    EXPECT_EQ(Captions(), std::vector<std::string>{Folder(Tree) + "top.bak"});
}

TEST_F(JunkScan, MissingFolderLeavesNoTrace) {
    Setting.Garbages().Add("*.BAK", "", true);
    Scan(Tree / "missing", true);
    EXPECT_TRUE(Host.Rows.empty());
    EXPECT_TRUE(Host.Captions.empty());
    EXPECT_EQ(Counters.FScannedCount, 0);
}

TEST_F(JunkScan, ClearingTheRunFlagStopsTheWholeWalkAndKeepsTheRows) {
    Setting.Garbages().Add("*.BAK", "", true);
    for (int i = 0; i < 5; ++i)
        Tree.Write("a/b/c/f" + std::to_string(i) + ".bak", "1");
    Tree.Write("z.bak", "1");
    Host.OnPump = [this] {
        if (Host.Rows.size() == 2)
            Host.Run = false;
    };
    Scan(Tree.Path(), true);
    EXPECT_EQ(Host.Rows.size(), 2u);
    EXPECT_EQ(Counters.FJunkCount, 2);
}

TEST_F(JunkScan, JunkTypesChangedDuringThePumpTakeEffectAtOnce) {
    Tree.Write("a.bak", "1");
    Host.OnPump = [this] {
        if (Setting.Garbages().Count() == 0)
            Setting.Garbages().Add("*.BAK", "", true);
    };
    Scan(Tree.Path(), false);
    EXPECT_EQ(Host.Rows.size(), 1u);
}
