// A settings file that cannot be read (here one far too large for a settings file): the
// launcher reports it, goes on with the defaults, and the saves of the run keep it.
#include "ShellFixture.h"

#include "app/ui/TFrm_Tips.h"
#include "app/ui/TFrm_Wizard.h"
#include "core/TSetting.h"
#include "platform/FileIo.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class LauncherUnreadableSettings : public TShellTest {
protected:
    void SetUp() override {
        TShellTest::SetUp();
        Folder().Write("Tips.CFG", "tip\r\n");
        Cfg = Folder().Write("Morvane.cfg", "x");
        fs::resize_file(Cfg, Platform::MaxListFileSize + 1);
    }
    void TearDown() override {
        delete Frm_Wizard;
        TShellTest::TearDown();
    }
    fs::path Cfg;
};

} // namespace

TEST_F(LauncherUnreadableSettings, IsReportedTheRunGoesOnAndEverySaveKeepsTheFile) {
    Frm_Wizard = new TFrm_Wizard;
    Frm_Tips = new TFrm_Tips(Frm_Wizard);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0], "Cannot open file \"" + Cfg.string() + "\". File is larger than 16 MiB");
    ASSERT_NE(Setting, nullptr);
    EXPECT_TRUE(Setting->AutoUpdate()); // the defaults
    EXPECT_EQ(Setting->Garbages().Count(), 28);
    EXPECT_TRUE(fs::exists(Folder() / "tips.htm")); // the later windows were made

    // The end of the run saves, and says why the file stays as it is.
    delete Frm_Wizard;
    Frm_Wizard = nullptr;
    EXPECT_EQ(Boxes,
              (std::vector<std::string>{Boxes[0], "Cannot create file \"" + Cfg.string() +
                                                      "\". The file cannot be read (File is larger "
                                                      "than 16 MiB), so it is kept as it is"}));
    EXPECT_EQ(fs::file_size(Cfg), Platform::MaxListFileSize + 1);
    EXPECT_FALSE(fs::exists(Folder() / "Morvane.cfg.Garbage")); // saved only with the settings
}
