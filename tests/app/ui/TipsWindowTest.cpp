#include "ShellFixture.h"
#include "WindowManagerHints.h"

#include "app/ProgramDir.h"
#include "app/ui/ModalWindow.h"
#include "app/ui/TFrm_Tips.h"
#include "core/TSetting.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QWindow>

namespace {

class TipsWindow : public TShellTest {
protected:
    void SetUp() override {
        TShellTest::SetUp();
        Setting = new TSetting(SettingsFilePath());
    }
    void TearDown() override {
        delete Frm_Tips;
        delete Setting;
        Setting = nullptr;
        TShellTest::TearDown();
    }

    TFrm_Tips* Create() { return Frm_Tips = new TFrm_Tips; }

    QString Shown() {
        return Frm_Tips->findChild<QTextBrowser*>(QStringLiteral("wbTips"))->toPlainText().trimmed();
    }
    void Click(const char* name) {
        Frm_Tips->findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
    }
};

} // namespace

TEST_F(TipsWindow, NextCyclesThroughTheTipsAndRewritesThePage) {
    Folder().Write("Tips.CFG", "<b>第一条</b>\r\nsecond\r\nthird\r\n");
    Create();
    EXPECT_EQ(ProgramDir, Folder().Path() / "");
    EXPECT_EQ(Shown(), QStringLiteral("第一条"));
    QStringList seen;
    for (int i = 0; i < 3; ++i) {
        Click("Btn_NextTips");
        seen << Shown();
    }
    EXPECT_EQ(seen, (QStringList{"second", "third", QStringLiteral("第一条")}));
    EXPECT_EQ(TTempDir::Read(Folder() / "tips.htm"),
              "<font:12px \"MS Song\", \"MS Sans Serif\"; size=1>\r\n<b>第一条</b>\r\n</font>\r\n");
}

TEST_F(TipsWindow, WithoutTipsTheEmptyTipIsShown) {
    Create();
    EXPECT_FALSE(std::filesystem::exists(Folder() / "tips.htm")); // no file, no page
    Click("Btn_NextTips");
    EXPECT_EQ(Shown(), QString());
    EXPECT_TRUE(std::filesystem::exists(Folder() / "tips.htm"));
}

TEST_F(TipsWindow, EscLeavesItOpenTheCloseBoxClosesAsTheButtonAndTheTipIsKept) {
    Folder().Write("Tips.CFG", "one\r\ntwo\r\n");
    Create()->show();
    Click("Btn_NextTips");
    Frm_Tips->reject(); // Esc
    EXPECT_TRUE(Frm_Tips->isVisible());
    Click("Btn_DeletePlan");
    EXPECT_FALSE(Frm_Tips->isVisible());
    Frm_Tips->show();
    EXPECT_EQ(Shown(), QStringLiteral("two"));

    // The window manager's close box ends the modal run as the button does.
    QTimer::singleShot(0, [] { Frm_Tips->windowHandle()->close(); });
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(5000, Frm_Tips, &QDialog::accept); // a close box that fails ends the test
    RunModal(Frm_Tips);
    EXPECT_LT(clock.elapsed(), 4000);
    EXPECT_FALSE(Frm_Tips->isVisible());
}

TEST_F(TipsWindow, MinimisingLeavesTheTipsAndTheLauncherOnTheScreen) {
    QWidget launcher;
    launcher.resize(468, 329);
    launcher.show();
    Frm_Tips = new TFrm_Tips(&launcher);
    bool stayed = false;
    bool active = false;
    QTimer::singleShot(0, [&] {
        active = QTest::qWaitForWindowActive(Frm_Tips, 5000);
        Frm_Tips->showMinimized();
        Pump(500);
        stayed = !Frm_Tips->isMinimized() && Frm_Tips->isVisible() && !launcher.isMinimized();
        Click("Btn_DeletePlan");
    });
    RunModal(Frm_Tips);
    EXPECT_TRUE(active);
    EXPECT_TRUE(stayed);
    delete Frm_Tips; // before the launcher that owns it
}

// What the tips ask of the window manager and what it offers on their title bar, read
// from the X server itself.
TEST_F(TipsWindow, WindowManagerIsAskedForNoMinimiseNorMaximise) {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "no X server: the window manager's buttons are seen under Xvfb only";
    Create()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Frm_Tips));
    // Not every function, no minimise, no maximise; the close box.
    const unsigned functions = WindowManagerHints::MotifFunctions(Frm_Tips);
    EXPECT_EQ(functions & 0x39u, 0x20u) << functions;

    QString actions;
    for (int i = 0; i < 30 && !actions.contains(QStringLiteral("_NET_WM_ACTION_CLOSE")); ++i) {
        Pump(100);
        actions = WindowManagerHints::Property(Frm_Tips, "_NET_WM_ALLOWED_ACTIONS");
    }
    if (!actions.contains(QStringLiteral("_NET_WM_ACTION_CLOSE")))
        GTEST_SKIP() << "no window manager on this X server: " << actions.toStdString();
    EXPECT_FALSE(actions.contains(QStringLiteral("MAXIMIZE"))) << actions.toStdString();
    Click("Btn_DeletePlan");
}

TEST_F(TipsWindow, CheckBoxShowsAndSavesTheStartSetting) {
    Setting->SetShowTips(true);
    Create()->show();
    auto* box = Frm_Tips->findChild<QCheckBox*>(QStringLiteral("Ckb_Hint"));
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(box->text(), QStringLiteral("&每次启动时显示技巧"));
    box->click();
    EXPECT_FALSE(Setting->ShowTips());
    EXPECT_FALSE(TSetting(SettingsFilePath()).ShowTips()); // on disk at once
    box->click();
    EXPECT_TRUE(TSetting(SettingsFilePath()).ShowTips());
}
