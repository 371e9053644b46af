#include "ShellFixture.h"

#include "app/ProgramDir.h"
#include "app/ui/TFrm_Tips.h"
#include "core/TSetting.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTextBrowser>

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

TEST_F(TipsWindow, OnlyTheCloseButtonClosesAndTheTipIsKept) {
    Folder().Write("Tips.CFG", "one\r\ntwo\r\n");
    Create()->show();
    Click("Btn_NextTips");
    Frm_Tips->close();
    Frm_Tips->reject(); // Esc
    EXPECT_TRUE(Frm_Tips->isVisible());
    Click("Btn_DeletePlan");
    EXPECT_FALSE(Frm_Tips->isVisible());
    Frm_Tips->show();
    EXPECT_EQ(Shown(), QStringLiteral("two"));
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
