#include "app/ui/ShellFixture.h"

#include "platform/IInstalledPrograms.h"
#include "programs/ui/TfrmUninstall.h"

#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>
#include <filesystem>
#include <map>

namespace {

// An uninstaller that runs until the test ends it.
struct TRunControl {
    bool Finished = false;
    Platform::TUninstallOutcome Outcome;
};

class TControlledRun : public Platform::IUninstallRun {
public:
    TControlledRun(std::shared_ptr<TRunControl> control, int& running, int& mostRunning)
        : FControl(std::move(control)), FRunning(running) {
        mostRunning = std::max(mostRunning, ++FRunning);
    }
    ~TControlledRun() override { --FRunning; }
    bool Finished() override { return FControl->Finished; }
    Platform::TUninstallOutcome Outcome() override { return FControl->Outcome; }

private:
    std::shared_ptr<TRunControl> FControl;
    int& FRunning;
};

class TFakePrograms : public Platform::IInstalledPrograms {
public:
    std::optional<std::vector<Platform::TUninstallKey>> ReadKeys() override { return Keys; }
    // Uninstallers end at once with the program gone, unless the test controls them.
    std::unique_ptr<Platform::IUninstallRun> StartUninstaller(const Platform::TUninstallKey& key,
                                                              const std::string& command) override {
        Started.push_back(key.KeyName + ":" + command);
        if (Controls.count(key.KeyName))
            return std::make_unique<TControlledRun>(Controls[key.KeyName], Running, MostRunning);
        Platform::TUninstallOutcome gone;
        gone.Gone = true;
        return Platform::FinishedRun(gone);
    }
    std::shared_ptr<TRunControl> Control(const std::string& name) {
        return Controls[name] = std::make_shared<TRunControl>();
    }
    std::vector<Platform::TUninstallKey> Keys;
    std::vector<std::string> Started;
    std::map<std::string, std::shared_ptr<TRunControl>> Controls;
    int Running = 0, MostRunning = 0;
};

Platform::TUninstallKey Key(const std::string& name, double size) {
    Platform::TUninstallKey k;
    k.KeyName = name;
    k.DisplayName = name;
    k.UninstallString = "remove " + name;
    k.SizeKB = size;
    k.Location = "/opt/" + name + "/";
    return k;
}

class ProgramWindow : public TShellTest {
protected:
    void SetUp() override {
        TShellTest::SetUp();
        auto fake = std::make_unique<TFakePrograms>();
        Fake = fake.get();
        Fake->Keys = {Key("Firefox", 10), Key("WinZip", 9.5), Key("GIMP", 100), Key("Other", 1)};
        FOld = Platform::SetInstalledPrograms(std::move(fake));
        FOldCwd = std::filesystem::current_path();
        std::filesystem::current_path(Folder().Path());
        Folder().Write("kind.ini", "\n\n\n\n\n\n\nFirefox\n\nGIMP\nzip\n");
    }
    void TearDown() override {
        std::filesystem::current_path(FOldCwd);
        Platform::SetInstalledPrograms(std::move(FOld));
        TShellTest::TearDown();
    }
    QStringList Names(const TfrmUninstall& w) const {
        QStringList n;
        for (int i = 0; i < w.Lv_UninstallList->topLevelItemCount(); ++i)
            n << w.Lv_UninstallList->topLevelItem(i)->text(0);
        return n;
    }
    TFakePrograms* Fake = nullptr;

private:
    std::unique_ptr<Platform::IInstalledPrograms> FOld;
    std::filesystem::path FOldCwd;
};

} // namespace

TEST_F(ProgramWindow, ListsTheProgramsAndCountsThemByCategory) {
    TfrmUninstall w;
    w.show();
    EXPECT_EQ(Names(w), (QStringList{"Firefox", "WinZip", "GIMP", "Other"}));
    EXPECT_EQ(w.Lv_UninstallList->topLevelItem(1)->text(2), "            9.50 KByte");
    EXPECT_EQ(w.tvFileType->topLevelItem(7)->text(0), QString::fromUtf8("网页浏览(1)"));
    EXPECT_EQ(w.tvFileType->topLevelItem(10)->text(0), QString::fromUtf8("压缩工具(1)"));
    EXPECT_EQ(w.tvFileType->topLevelItem(19)->text(0), QString::fromUtf8("其它分类(1)"));
    EXPECT_EQ(w.tvFileType->topLevelItem(0)->text(0), QString::fromUtf8("编程开发(0)"));
    // Choosing a category shows only its programs, unchecked.
    w.tvFileType->setCurrentItem(w.tvFileType->topLevelItem(9));
    EXPECT_EQ(Names(w), QStringList{"GIMP"});
    EXPECT_EQ(w.Lv_UninstallList->topLevelItem(0)->checkState(0), Qt::Unchecked);
    w.tvFileType->setCurrentItem(w.tvFileType->topLevelItem(1));
    EXPECT_TRUE(Names(w).isEmpty());
}

TEST_F(ProgramWindow, TwoAdjacentCheckedRowsAreBothUninstalledInOnePress) {
    TfrmUninstall w;
    w.show();
    w.Lv_UninstallList->topLevelItem(1)->setCheckState(0, Qt::Checked);
    w.Lv_UninstallList->topLevelItem(2)->setCheckState(0, Qt::Checked);
    w.Btn_UninstallClick();
    EXPECT_EQ(Fake->Started,
              (std::vector<std::string>{"WinZip:remove WinZip", "GIMP:remove GIMP"}));
    EXPECT_EQ(Names(w), (QStringList{"Firefox", "Other"}));
}

TEST_F(ProgramWindow, RowsOfAChosenCategoryUninstallTheirOwnProgram) {
    Fake->Keys.push_back(Key("Blank", 0));
    Fake->Keys.back().UninstallString = "x";
    TfrmUninstall w;
    w.show();
    w.tvFileType->setCurrentItem(w.tvFileType->topLevelItem(19));
    ASSERT_EQ(Names(w), (QStringList{"Other", "Blank"}));
    w.Lv_UninstallList->topLevelItem(1)->setCheckState(0, Qt::Checked);
    w.Btn_UninstallClick();
    EXPECT_EQ(Fake->Started, std::vector<std::string>{"Blank:x"});
    EXPECT_EQ(Names(w), QStringList{"Other"});
    // Uninstalling takes the row away, not the program from its category.
    w.tvFileType->setCurrentItem(w.tvFileType->topLevelItem(0));
    w.tvFileType->setCurrentItem(w.tvFileType->topLevelItem(19));
    EXPECT_EQ(Names(w), (QStringList{"Other", "Blank"}));
}

TEST_F(ProgramWindow, SizeHeaderSortsDescendingThenAscending) {
    TfrmUninstall w;
    w.show();
    w.Lv_UninstallList->header()->sectionClicked(2);
    EXPECT_EQ(Names(w), (QStringList{"GIMP", "Firefox", "WinZip", "Other"}));
    w.Lv_UninstallList->header()->sectionClicked(2);
    EXPECT_EQ(Names(w), (QStringList{"Other", "WinZip", "Firefox", "GIMP"})); // 9.50 before 10.00
}

TEST_F(ProgramWindow, AnUnreadableListLeavesThePlaceholders) {
    Fake->Keys.clear();
    struct TNone : Platform::IInstalledPrograms {
        std::optional<std::vector<Platform::TUninstallKey>> ReadKeys() override {
            return std::nullopt;
        }
        std::unique_ptr<Platform::IUninstallRun> StartUninstaller(const Platform::TUninstallKey&,
                                                                  const std::string&) override {
            return Platform::FinishedRun({});
        }
    };
    auto old = Platform::SetInstalledPrograms(std::make_unique<TNone>());
    TfrmUninstall w;
    w.show();
    EXPECT_EQ(w.Lv_UninstallList->topLevelItemCount(), 0);
    EXPECT_EQ(w.tvFileType->topLevelItem(0)->text(0), QString::fromUtf8("编程开发(%d)"));
    Platform::SetInstalledPrograms(std::move(old));
}

TEST_F(ProgramWindow, CheckedProgramsGoOneAfterAnotherAndAFailureSaysWhy) {
    const auto winzip = Fake->Control("WinZip");
    const auto gimp = Fake->Control("GIMP");
    TfrmUninstall w;
    w.show();
    w.Lv_UninstallList->topLevelItem(1)->setCheckState(0, Qt::Checked);
    w.Lv_UninstallList->topLevelItem(2)->setCheckState(0, Qt::Checked);
    w.Btn_UninstallClick();
    Pump(300);
    // The second waits for the first: two package managers would collide.
    EXPECT_EQ(Fake->Started, std::vector<std::string>{"WinZip:remove WinZip"});
    EXPECT_EQ(w.Lv_UninstallList->topLevelItem(1)->text(3), QString::fromUtf8("正在卸载…"));
    EXPECT_FALSE(w.Btn_Uninstall->isEnabled());
    EXPECT_FALSE(w.tvFileType->isEnabled());
    w.close(); // an uninstaller is not abandoned half-way
    EXPECT_TRUE(w.isVisible());

    winzip->Outcome.ExitCode = 100;
    winzip->Outcome.Message = "E: Could not get lock";
    winzip->Finished = true;
    Pump(300);
    EXPECT_EQ(Boxes, std::vector<std::string>{
                         "卸载 [WinZip] 失败 : E: Could not get lock (退出代码 100)"});
    EXPECT_EQ(Names(w),
              (QStringList{"Firefox", "WinZip", "GIMP", "Other"})); // still installed: it stays
    EXPECT_EQ(w.Lv_UninstallList->topLevelItem(1)->text(3),
              QString::fromUtf8("卸载失败: E: Could not get lock (退出代码 100)"));
    EXPECT_EQ(Fake->Started.size(), 2u);

    gimp->Outcome.Gone = true;
    gimp->Finished = true;
    Pump(300);
    EXPECT_EQ(Names(w), (QStringList{"Firefox", "WinZip", "Other"}));
    EXPECT_EQ(Fake->MostRunning, 1);
    EXPECT_FALSE(w.Uninstalling());
    EXPECT_TRUE(w.Btn_Uninstall->isEnabled());
    w.close();
    EXPECT_FALSE(w.isVisible());
}

// Activated as a user's click activates it, the window gives the category tree the focus;
// that must not choose a category.
TEST_F(ProgramWindow, AnActivatedWindowListsEveryProgramUntilACategoryIsChosen) {
    TfrmUninstall w;
    w.show();
    if (!QTest::qWaitForWindowActive(&w))
        GTEST_SKIP() << "this platform plugin does not activate windows; runs under an X server";
    Pump(200);
    ASSERT_TRUE(w.tvFileType->hasFocus());
    EXPECT_EQ(Names(w), (QStringList{"Firefox", "WinZip", "GIMP", "Other"}));
    EXPECT_TRUE(w.tvFileType->selectedItems().isEmpty());
    EXPECT_EQ(w.tvFileType->currentItem(), nullptr); // no node even looks chosen
    // The work area, the window manager's frame included.
    EXPECT_TRUE(w.screen()->availableGeometry().contains(w.frameGeometry()))
        << w.frameGeometry().x() << "," << w.frameGeometry().y() << " " << w.frameGeometry().width()
        << "x" << w.frameGeometry().height();

    QTreeWidgetItem* images = w.tvFileType->topLevelItem(9);
    QTest::mouseClick(w.tvFileType->viewport(), Qt::LeftButton, {},
                      w.tvFileType->visualItemRect(images).center());
    EXPECT_EQ(Names(w), QStringList{"GIMP"});
    QTest::keyClick(w.tvFileType, Qt::Key_Down);
    EXPECT_EQ(Names(w), QStringList{"WinZip"});
}
