#include "ShellFixture.h"

#include "app/ui/TFrm_Tips.h"
#include "app/ui/TFrm_Wizard.h"
#include "core/DateTime.h"
#include "core/TSetting.h"
#include "platform/Locale.h"

#include <QCursor>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <filesystem>

namespace {

class Launcher : public TShellTest {
protected:
    void TearDown() override {
        delete Frm_Wizard; // takes the tips window with it
        TShellTest::TearDown();
    }

    // Settings on disk before the launcher loads them.
    void StoreSettings(bool autoUpdate, bool showTips, double lastClean) {
        TSetting s(SettingsFilePath());
        s.SetAutoUpdate(autoUpdate);
        s.SetShowTips(showTips);
        s.SetLastCleanDate(lastClean);
        s.SaveToFile(SettingsFilePath());
    }

    TFrm_Wizard* Create() {
        Frm_Wizard = new TFrm_Wizard;
        Frm_Tips = new TFrm_Tips(Frm_Wizard);
        return Frm_Wizard;
    }

    template <typename T>
    T* Find(const char* name) {
        T* control = Frm_Wizard->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    QString Hint() { return Find<QPlainTextEdit>("mInfo")->toPlainText(); }
};

std::string DateText(double value) {
    const auto locale = Platform::LocaleFormats();
    return FormatDateTime(locale.ShortDateFormat, value, locale);
}

} // namespace

TEST_F(Launcher, ShowsItsControlsAndTheDateOfTheLastClean) {
    StoreSettings(false, false, 0);
    Create()->show();
    EXPECT_EQ(Frm_Wizard->windowTitle(), QStringLiteral("Morvane --- Ostrel "));
    EXPECT_EQ(Frm_Wizard->size(), QSize(468, 329));
    EXPECT_EQ(Find<QLabel>("Label1")->text(), QStringLiteral("最近清理日期:"));
    EXPECT_EQ(Find<QLabel>("Label3")->text(), QStringLiteral("版本号:"));
    EXPECT_EQ(Find<QLabel>("lVersion")->text(), QStringLiteral("8.0"));
    EXPECT_EQ(Find<QPushButton>("Btn_Exit")->text(), QStringLiteral("&关闭Morvane"));
    EXPECT_EQ(Hint(), QStringLiteral("提示: 点击功能按钮进入相应功能..."));
    // Never cleaned: day 0, 30 December 1899.
    EXPECT_EQ(Find<QLabel>("lDate")->text().toStdString(), DateText(EncodeDate(1899, 12, 30)));

    struct {
        const char* Name;
        QPoint Pos;
    } const buttons[] = {{"imgClean", {160, 53}}, {"ImgDiag", {256, 53}}, {"ImgOption", {352, 53}},
                         {"ImgWipe", {160, 149}}, {"ImgHelp", {354, 149}}, {"ImgUninstall", {258, 149}}};
    for (const auto& b : buttons) {
        QLabel* picture = Find<QLabel>(b.Name);
        EXPECT_EQ(picture->pos(), b.Pos) << b.Name;
        EXPECT_FALSE(picture->toolTip().isEmpty()) << b.Name;
    }
    EXPECT_TRUE(Find<QLabel>("ImgHelp")->toolTip().contains(QStringLiteral("技术博客")));
}

TEST_F(Launcher, DateLeavesTheTimeOfDayOut) {
    StoreSettings(false, false, 39613.75);
    Create()->show();
    EXPECT_EQ(Find<QLabel>("lDate")->text().toStdString(), DateText(39613.0));
}

TEST_F(Launcher, HintLineFollowsTheButtonUnderTheMouse) {
    StoreSettings(false, false, 0);
    Create()->show();
    Frm_Wizard->UpdateHintLine({136 + 5, 43 + 5}); // over the background only
    EXPECT_EQ(Hint(), QStringLiteral("提示: 点击功能按钮进入相应功能..."));

    const std::pair<QPoint, const char*> inside[] = {
        {{160, 53}, "友情提示: 智能引擎支持下的快速垃圾文件清理...."},
        {{300, 100}, "友情提示: 磁盘空间目录级分析，通过图表让你直观地找出磁盘占用的原因..."},
        {{421, 114}, "友情提示: 高级配置，定制你的参数 ..."},
        {{170, 160}, "友情提示: 保护上网安全和隐私功能，擦除你上网留下的纪录..."},
        {{400, 200}, "友情提示: 有技术问题联系Msn: "},
        {{260, 150}, "友情提示: 计算机上应用程序管理，清理长期不用的应用程序可以大幅提升效率..."},
    };
    for (const auto& [point, text] : inside) {
        Frm_Wizard->UpdateHintLine(point);
        EXPECT_TRUE(Hint().startsWith(QString::fromUtf8(text))) << point.x() << "," << point.y();
    }

    Frm_Wizard->UpdateHintLine({160, 53});
    Frm_Wizard->UpdateHintLine({240, 80});  // between imgClean and ImgDiag
    Frm_Wizard->UpdateHintLine({230, 53});  // imgClean's right edge is outside
    Frm_Wizard->UpdateHintLine({160, 115}); // and so is its bottom edge
    Frm_Wizard->UpdateHintLine({20, 300});  // outside the button area
    EXPECT_EQ(Hint(), QStringLiteral("友情提示: 智能引擎支持下的快速垃圾文件清理...."));
}

TEST_F(Launcher, TimerReadsTheMousePosition) {
    StoreSettings(false, false, 0);
    Create()->show();
    // Under a window manager the window has its place on the screen once it is active.
    Frm_Wizard->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Frm_Wizard));
    QCursor::setPos(Frm_Wizard->mapToGlobal(QPoint(260, 155)));
    if (Frm_Wizard->mapFromGlobal(QCursor::pos()) != QPoint(260, 155))
        GTEST_SKIP() << "this platform cannot move the mouse";
    Pump(250);
    EXPECT_TRUE(Hint().startsWith(QStringLiteral("友情提示: 计算机上应用程序管理")));
}

TEST_F(Launcher, UpdateCheckStartsOnlyWhenTheSettingsAskForIt) {
    int checks = 0;
    StoreSettings(true, false, 0);
    Create()->SetAutoUpdateCheck([&] { ++checks; });
    Frm_Wizard->show();
    Frm_Wizard->hide();
    Frm_Wizard->show(); // only the first showing counts
    EXPECT_EQ(checks, 1);
    delete Frm_Wizard;

    StoreSettings(false, false, 0);
    Create()->SetAutoUpdateCheck([&] { ++checks; });
    Frm_Wizard->show();
    EXPECT_EQ(checks, 1);
}

TEST_F(Launcher, TipsComeUpModallyAtStartWhenAsked) {
    Folder().Write("Tips.CFG", "first tip\r\n");
    StoreSettings(false, true, 0);
    Create();
    QWidget* modal = nullptr;
    QTimer::singleShot(100, [&] {
        modal = QApplication::activeModalWidget();
        if (modal)
            modal->findChild<QPushButton*>(QStringLiteral("Btn_DeletePlan"))->click();
    });
    Frm_Wizard->show();
    Pump(300);
    EXPECT_EQ(modal, Frm_Tips);
    EXPECT_FALSE(Frm_Tips->isVisible());
}

TEST_F(Launcher, ExitButtonAndCloseBoxBothEndTheLoopAndSaveTheSettings) {
    const auto file = SettingsFilePath();
    for (bool byButton : {true, false}) {
        std::filesystem::remove(file);
        Create()->show();
        Setting->SetSlicePercent(byButton ? 33 : 44);
        QTimer::singleShot(0, [&] {
            if (byButton)
                Frm_Wizard->findChild<QPushButton*>(QStringLiteral("Btn_Exit"))->click();
            else
                Frm_Wizard->close();
        });
        EXPECT_EQ(QApplication::exec(), 0);
        EXPECT_FALSE(std::filesystem::exists(file)); // saved when the launcher goes
        delete Frm_Wizard;
        EXPECT_EQ(Setting, nullptr);
        ASSERT_TRUE(std::filesystem::exists(file));
        EXPECT_EQ(TSetting(file).SlicePercent(), byButton ? 33 : 44);
    }
}

TEST_F(Launcher, FailedSaveAtTheEndIsReported) {
    Create();
    std::filesystem::create_directory(SettingsFilePath()); // a folder where the file should go
    delete Frm_Wizard;
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].rfind("Cannot create file", 0), 0u) << Boxes[0];
}

TEST_F(Launcher, DamagedSettingsAreReportedAndTheDefaultsUsed) {
    Folder().Write("Morvane.cfg", "this is not a settings file");
    Create();
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_TRUE(Setting->AutoUpdate());
}
