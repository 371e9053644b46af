#include "analysis/TShellBrowser.h"
#include "core/FakeVolumes.h"
#include "platform/TDirWalker.h"
#include "support/TTempDir.h"

#include <gmock/gmock.h>

namespace {

class ShellBrowser : public testing::Test {
protected:
    void SetUp() override {
        Dir.Write("vol/Windows/System32/x.dll", std::string(2000, 'x'));
        Dir.Write("vol/Data/a.txt", "a");
        Dir.Write("vol/file10", "x");
        Dir.Write("vol/file9", "x");
        Dir.Write("vol/Zeta/z", "z");
        std::filesystem::create_directory(Dir / "vol" / "Empty");
        Root = (Dir / "vol").string() + "/";
        Fake->Volumes = {{Root, Platform::DriveType::Fixed, ""},
                         {"/floppy/", Platform::DriveType::Removable, "A:"}};
        ASSERT_TRUE(Browser.Start(Error)) << Error;
    }
    int IndexOf(const std::string& name) {
        for (int i = 0; i < Browser.Count(); ++i)
            if (Browser.ShellItem(i).DisplayName == name)
                return i;
        return -1;
    }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (int i = 0; i < Browser.Count(); ++i)
            names.push_back(Browser.ShellItem(i).DisplayName);
        return names;
    }

    TFakeVolumes* Fake = nullptr;
    TVolumesScope Scope{Fake};
    TTempDir Dir;
    std::string Root;
    std::string Error;
    TShellBrowser Browser;
};

} // namespace

TEST_F(ShellBrowser, MyComputerListsVolumesWithoutFloppyNames) {
    EXPECT_EQ(Browser.LocationText(), "My Computer");
    std::string mount = Root.substr(0, Root.size() - 1);
    EXPECT_THAT(Names(), testing::ElementsAre("Local Disk (" + mount + ")"));
    EXPECT_EQ(Browser.VolumeRootOf(0), Root);
}

TEST_F(ShellBrowser, FoldersFirstThenNamesWithNumbersInOrder) {
    ASSERT_TRUE(Browser.OpenRow(0, Error)) << Error;
    EXPECT_EQ(Browser.LocationText(), Root);
    EXPECT_THAT(Names(), testing::ElementsAre("Data", "Empty", "Windows", "Zeta", "file9", "file10"));
}

TEST_F(ShellBrowser, UpAndHistoryRules) {
    ASSERT_TRUE(Browser.Up(Error));
    EXPECT_EQ(Browser.LocationText(), "My Computer"); // Up from My Computer stays
    ASSERT_TRUE(Browser.OpenRow(0, Error));
    ASSERT_TRUE(Browser.OpenRow(IndexOf("Windows"), Error));
    EXPECT_EQ(Browser.LocationText(), Root + "Windows");
    ASSERT_TRUE(Browser.Up(Error));
    EXPECT_EQ(Browser.LocationText(), Root);
    EXPECT_EQ(Browser.History().Selected(), 1); // the existing entry, not a new one
    ASSERT_TRUE(Browser.Up(Error));               // a volume root goes to My Computer
    EXPECT_EQ(Browser.LocationText(), "My Computer");
    int myComputers = 0;
    for (const auto& e : Browser.History().Entries())
        myComputers += e.Text == "My Computer";
    EXPECT_EQ(myComputers, 3); // the start and two returns
}

TEST_F(ShellBrowser, EmptyFolderMovesWithNoRowsAndFailuresKeepTheLocation) {
    ASSERT_TRUE(Browser.NavigateToText(Root + "Empty", Error)) << Error;
    EXPECT_EQ(Browser.Count(), 0);
    EXPECT_EQ(Browser.LocationText(), Root + "Empty");
    EXPECT_FALSE(Browser.NavigateToText(Root + "Missing", Error));
    EXPECT_FALSE(Error.empty());
    EXPECT_EQ(Browser.LocationText(), Root + "Empty");
    EXPECT_TRUE(Browser.SelectHistory("MY COMPUTER", Error));
    EXPECT_EQ(Browser.LocationText(), "My Computer");
}

TEST_F(ShellBrowser, DetailsOnlyForAskedRowsAndOnce) {
    ASSERT_TRUE(Browser.NavigateToText(Root, Error));
    for (int i = 0; i < Browser.Count(); ++i)
        EXPECT_TRUE(Browser.ShellItem(i).NeedsDetails);
    Browser.CheckShellItems(4, 5);
    Browser.CheckShellItems(4, 99); // beyond the end: ignored
    EXPECT_TRUE(Browser.ShellItem(0).NeedsDetails);
    EXPECT_FALSE(Browser.ShellItem(4).NeedsDetails);
    EXPECT_EQ(Browser.ShellItem(4).SizeKB, 1);
    EXPECT_EQ(Browser.ShellItem(4).Attributes, Platform::Attr::Archive);
    EXPECT_FALSE(Browser.ShellItem(4).ModifiedText.empty());
    EXPECT_THAT(Browser.RowCells(IndexOf("Data")), testing::ElementsAre("Folder", testing::_, ""));
    EXPECT_EQ(Browser.ItemPath(IndexOf("Data")), Root + "Data");
}

TEST_F(ShellBrowser, TypeAheadWrapsAndIgnoresCase) {
    ASSERT_TRUE(Browser.NavigateToText(Root, Error));
    EXPECT_EQ(Browser.FindItem("win", 0, false), IndexOf("Windows"));
    EXPECT_EQ(Browser.FindItem("FILE1", 0, false), IndexOf("file10"));
    EXPECT_EQ(Browser.FindItem("data", 3, false), -1);
    EXPECT_EQ(Browser.FindItem("data", 3, true), IndexOf("Data"));
    EXPECT_EQ(Browser.FindItem("nothing", 2, true), -1);
}

TEST_F(ShellBrowser, HeaderSortFlipsTheSharedDirection) {
    ASSERT_TRUE(Browser.NavigateToText(Root, Error));
    Browser.SortByColumn(0); // first click: the direction flag is set
    EXPECT_THAT(Names(), testing::ElementsAre("Zeta", "Windows", "Empty", "Data", "file9", "file10"));
    EXPECT_FALSE(Browser.SortDescending());
    Browser.SortByColumn(0);
    EXPECT_THAT(Names(), testing::ElementsAre("Data", "Empty", "Windows", "Zeta", "file10", "file9"));
}
