#include "analysis/TShellBrowser.h"
#include "core/FakeVolumes.h"
#include "support/TTempDir.h"

#include <gmock/gmock.h>

#include <fstream>

using Platform::TIdList;

namespace {

// The system's namespace with a count of the per-row detail reads, the costly call a
// big folder must only make for the rows on screen.
class TCountingNamespace : public Platform::IShellNamespace {
public:
    explicit TCountingNamespace(int& reads) : FReads(reads) {}
    TIdList MyComputer() override { return FReal->MyComputer(); }
    bool Enumerate(const TIdList& folder, std::vector<Platform::TShellChild>& children, std::string& error) override {
        return FReal->Enumerate(folder, children, error);
    }
    std::string ParsingName(const TIdList& list) override { return FReal->ParsingName(list); }
    int CompareIDs(const TIdList& folder, const Platform::TShellChild& a, const Platform::TShellChild& b) override {
        return FReal->CompareIDs(folder, a, b);
    }
    void SortChildren(const TIdList& folder, std::vector<Platform::TShellChild>& children) override {
        FReal->SortChildren(folder, children);
    }
    Platform::TShellDetails Details(const TIdList& full, bool largeIcon) override {
        ++FReads;
        return FReal->Details(full, largeIcon);
    }
    std::optional<TIdList> Parse(const std::string& text, std::string& error) override {
        return FReal->Parse(text, error);
    }

private:
    std::unique_ptr<Platform::IShellNamespace> FReal = Platform::CreateShellNamespace();
    int& FReads;
};

class ShellBrowserDetailReads : public testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 300; ++i)
            std::ofstream(Dir / ("f" + std::to_string(i))) << std::string(static_cast<size_t>(i), 'x');
        std::filesystem::create_directory(Dir / "sub");
        Root = Dir.Path().string() + "/";
        Fake->Volumes = {{Root, Platform::DriveType::Fixed, ""}};
        ASSERT_TRUE(Browser.NavigateToText(Root, Error)) << Error;
    }

    TFakeVolumes* Fake = nullptr;
    TVolumesScope Scope{Fake};
    TTempDir Dir;
    std::string Root;
    std::string Error;
    int Reads = 0;
    TShellBrowser Browser{std::make_unique<TCountingNamespace>(Reads)};
};

} // namespace

TEST_F(ShellBrowserDetailReads, EnteringReadsNoneAndAScreenReadsOnlyItsRowsOnce) {
    EXPECT_EQ(Browser.Count(), 301);
    EXPECT_EQ(Reads, 0); // names and kinds only: the list is sorted without details
    EXPECT_EQ(Browser.ShellItem(0).DisplayName, "sub");
    EXPECT_EQ(Browser.ShellItem(300).DisplayName, "f299");

    Browser.CheckShellItems(0, 39); // the first screen
    EXPECT_EQ(Reads, 40);
    EXPECT_EQ(Browser.ShellItem(39).DisplayName, "f38");
    EXPECT_EQ(Browser.ShellItem(39).SizeKB, 1);
    EXPECT_THAT(Browser.RowCells(20), testing::ElementsAre("1KB", "File", testing::_, testing::_));
    Browser.CheckShellItems(0, 39); // painted again: nothing read twice
    EXPECT_EQ(Reads, 40);

    Browser.CheckShellItems(30, 69); // scrolled by thirty rows
    EXPECT_EQ(Reads, 70);
    EXPECT_TRUE(Browser.ShellItem(70).NeedsDetails);
    EXPECT_EQ(Browser.FindItem("f29", 0, false), 30); // type-ahead needs names only
    Browser.SortByColumn(0);                        // so does sorting by name
    EXPECT_EQ(Reads, 70);
}

TEST_F(ShellBrowserDetailReads, EnteringAgainStartsWithNoDetailsRead) {
    Browser.CheckShellItems(0, 9);
    ASSERT_TRUE(Browser.OpenRow(0, Error)) << Error; // the empty "sub"
    EXPECT_EQ(Browser.Count(), 0);
    ASSERT_TRUE(Browser.NavigateToText(Root, Error)) << Error;
    EXPECT_EQ(Reads, 10);
    EXPECT_TRUE(Browser.ShellItem(0).NeedsDetails);
}
