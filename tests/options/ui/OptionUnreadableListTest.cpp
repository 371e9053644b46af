// A protected files list that cannot be read (here one far too large for a list): the
// dialog reports it, and neither an added entry nor OK writes over it.
#include "app/ui/ShellFixture.h"

#include "core/EMorvaneError.h"
#include "core/TProtectedFiles.h"
#include "core/TSetting.h"
#include "options/ui/TfrmOption.h"
#include "platform/FileIo.h"

#include <QListWidget>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

class OptionUnreadableList : public TShellTest {
protected:
    void SetUp() override {
        TShellTest::SetUp();
        List = Folder().Write("Option2.CFG", "x");
        fs::resize_file(List, Platform::MaxListFileSize + 1);
        Setting = new TSetting(SettingsFilePath());
    }
    void TearDown() override {
        delete Setting;
        Setting = nullptr;
        TShellTest::TearDown();
    }
    fs::path List;
};

} // namespace

TEST_F(OptionUnreadableList, IsReportedAndNeitherAnAdditionNorOkWritesOverIt) {
    auto d = std::make_unique<TfrmOption>();
    d->show();
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0], "Cannot open file \"" + List.string() + "\". File is larger than 16 MiB");
    EXPECT_EQ(d->lbIgnoreList->count(), 0);
    const std::string kept =
        "Cannot create file \"" + List.string() +
        "\". The file cannot be read (File is larger than 16 MiB), so it is kept as it is";
    d->SetInputBox([](const std::string&, const std::string&) { return std::string("NEW.DOC"); });
    try {
        d->btnAdd2Click();
        ADD_FAILURE() << "written";
    } catch (const EMorvaneError& e) {
        EXPECT_EQ(e.what(), kept);
    }
    EXPECT_THROW(d->RzButton6Click(), EMorvaneError);
    EXPECT_EQ(fs::file_size(List), Platform::MaxListFileSize + 1);
    d->RzButton1Click(); // the other pages still close and store as usual
    EXPECT_EQ(TSetting(SettingsFilePath()).Garbages().Count(), 28);
}
