// Draws the options dialog's pages and the add junk type dialog into PNG files when
// MORVANE_OPTION_SCREENSHOTS names a folder; docs/options-screenshots.sh runs it on a
// virtual X screen. Without the variable there is nothing to draw and it skips.
#include "app/ui/ShellFixture.h"

#include "core/TSetting.h"
#include "options/ui/TfrmAddFilter.h"
#include "options/ui/TfrmOption.h"

#include <QLineEdit>
#include <QTabWidget>
#include <QTreeWidget>

#include <cstdlib>

namespace {

class OptionScreenshots : public TShellTest {
protected:
    void SetUp() override {
        TShellTest::SetUp();
        Folder().Write("Option2.CFG", "C:\\BOOT.INI\r\nC:\\MSDOS.SYS\r\nNTDETECT.COM\r\n");
        Setting = new TSetting(SettingsFilePath());
    }
    void TearDown() override {
        delete Setting;
        Setting = nullptr;
        TShellTest::TearDown();
    }
    static bool Take(QWidget* window, const QString& file) {
        window->show();
        window->raise();
        Pump(300);
        return window->grab().save(file);
    }
};

} // namespace

TEST_F(OptionScreenshots, DrawsEveryPageAndTheAddDialog) {
    const char* folder = std::getenv("MORVANE_OPTION_SCREENSHOTS");
    if (!folder || !*folder)
        GTEST_SKIP() << "MORVANE_OPTION_SCREENSHOTS names no folder";
    const QString out = QString::fromLocal8Bit(folder);
    // A few junk types and privacy items ticked, as a user who has used the program has them.
    for (int i = 0; i < Setting->Garbages().Count(); ++i) {
        const std::string& name = Setting->Garbages()[i].GarbageName();
        Setting->Garbages()[i].SetIfclean(name == "*.BAK" || name == "*.TMP" || name == "*.OLD");
    }
    Setting->SetIfClean_Internet_Explorer_Temporary_Files(true);
    Setting->SetIfClean_Internet_Explorer_Cookies(true);
    Setting->SetIfClean_Windows_Temporary_Files(true);
    Setting->SetIfClean_Recycle_Bin(true);

    TfrmOption dialog;
    // The dialog as it opens, on the junk types page.
    EXPECT_TRUE(Take(&dialog, out + "/options.png"));
    dialog.Lv_GarbageList->topLevelItem(2)->setSelected(true);
    const char* pages[] = {"privacy", "types", "folders", "parameters", "protected"};
    for (int i = 0; i < 5; ++i) {
        dialog.Pc_Project->setCurrentIndex(i);
        EXPECT_TRUE(Take(&dialog, out + QStringLiteral("/options-%1.png").arg(QString::fromLatin1(pages[i]))));
    }
    EXPECT_TRUE(Boxes.empty());
    dialog.hide();

    TfrmAddFilter add;
    add.eFilterName->setText(QStringLiteral("*.BAK"));
    add.eFilterMemo->setText(QString::fromUtf8("备份文件"));
    EXPECT_TRUE(Take(&add, out + "/add-junk-type.png"));
}
