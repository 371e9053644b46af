// Up through a namespace of Linux and Windows paths, without a file system.
#include "analysis/ShellTexts.h"
#include "analysis/TShellBrowser.h"

#include <gmock/gmock.h>

using Platform::TIdList;

namespace {

// My Computer holds one volume; every folder below it holds one folder "ab". Parsing
// names are the volume root followed by the names, as the file-tree namespace makes them.
class TPathNamespace : public Platform::IShellNamespace {
public:
    explicit TPathNamespace(std::string volume) : FVolume(std::move(volume)) {}
    TIdList MyComputer() override { return TIdList{{"::{MyComputer}"}}; }
    bool Enumerate(const TIdList& folder, std::vector<Platform::TShellChild>& children,
                   std::string&) override {
        children.clear();
        if (folder.Items.size() == 1)
            children.push_back({FVolume, "Local Disk (" + FVolume + ")", true});
        else
            children.push_back({"ab", "ab", true});
        return true;
    }
    std::string ParsingName(const TIdList& list) override {
        if (list.Items.size() < 2)
            return list.Items.empty() ? "::{Desktop}" : list.Items[0];
        std::string path = list.Items[1];
        for (size_t i = 2; i < list.Items.size(); ++i)
            path += (path.back() == FVolume.back() ? "" : FVolume.substr(FVolume.size() - 1)) +
                    list.Items[i];
        return path;
    }
    int CompareIDs(const TIdList&, const Platform::TShellChild&,
                   const Platform::TShellChild&) override {
        return 0;
    }
    Platform::TShellDetails Details(const TIdList&, bool) override { return {}; }
    std::optional<TIdList> Parse(const std::string&, std::string&) override { return std::nullopt; }

private:
    std::string FVolume;
};

} // namespace

// Up from a top-level folder with a short name goes to the volume's root: on Linux the
// length of the text says nothing ("/ab"), only a Windows drive root is told by it.
TEST(ShellBrowserUp, AShortTopLevelFolderGoesUpToItsRootAndTheRootToMyComputer) {
    for (const std::string volume : {"/", "C:\\"}) {
        TShellBrowser browser(std::make_unique<TPathNamespace>(volume));
        std::string error;
        ASSERT_TRUE(browser.Start(error));
        ASSERT_TRUE(browser.OpenRow(0, error));
        ASSERT_TRUE(browser.OpenRow(0, error));
        ASSERT_EQ(browser.LocationText(), volume + "ab");
        ASSERT_TRUE(browser.Up(error));
        EXPECT_EQ(browser.LocationText(), volume) << volume;
        ASSERT_TRUE(browser.Up(error));
        EXPECT_EQ(browser.LocationText(), "My Computer") << volume;
    }
    EXPECT_TRUE(IsDriveRootText("C:\\"));
    EXPECT_TRUE(IsDriveRootText("/"));
    EXPECT_TRUE(IsDriveRootText("/home/")); // a mount path as the volume rows name it
    EXPECT_FALSE(IsDriveRootText("/ab"));
    EXPECT_FALSE(IsDriveRootText("C:\\Windows"));
}
