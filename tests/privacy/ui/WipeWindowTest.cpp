#include "app/ui/ShellFixture.h"
#include "app/ui/ModalWindow.h"

#include "core/PrivacyItems.h"
#include "core/TSetting.h"
#include "platform/IPrivacyRoutines.h"
#include "privacy/ui/TfrmWipe.h"

#include <QListWidget>
#include <QProgressBar>
#include <QTimer>

#include <vector>

namespace {

class TNoRoutines : public Platform::IPrivacyRoutines {
public:
    explicit TNoRoutines(int* calls) : FCalls(calls) {}
    void CleanTemporaryInternetFiles() override { ++*FCalls; }
    void CleanHistory() override { ++*FCalls; }
    void CleanCookies() override { ++*FCalls; }
    void CleanRecentFolders() override { ++*FCalls; }
    void CleanTempFolders() override { ++*FCalls; }
    std::string EmptyRecycleBin() override { ++*FCalls; return {}; }
    void CleanBrokenShortcuts() override { ++*FCalls; }

private:
    int* FCalls;
};

class WipeWindow : public TShellTest {
protected:
    void SetUp() override {
        TShellTest::SetUp();
        Setting = new TSetting(Home / "s.ini");
        for (const auto& item : PrivacyItems())
            (Setting->*item.Set)(false);
        FOld = Platform::SetPrivacyRoutines(std::make_unique<TNoRoutines>(&Calls));
    }
    void TearDown() override {
        Platform::SetPrivacyRoutines(std::move(FOld));
        delete Setting;
        Setting = nullptr;
        TShellTest::TearDown();
    }
    TTempDir Home;
    int Calls = 0;

private:
    std::unique_ptr<Platform::IPrivacyRoutines> FOld;
};

} // namespace

TEST_F(WipeWindow, ShowsTheTicksAndWritesAChangeAtOnce) {
    Setting->SetIfClean_Recycle_Bin(true);
    TfrmWipe window;
    window.show();
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("上网安全及隐私保护"));
    ASSERT_EQ(window.clCleanOption->count(), 9);
    EXPECT_EQ(window.clCleanOption->item(7)->checkState(), Qt::Checked);
    EXPECT_EQ(window.clCleanOption->item(0)->checkState(), Qt::Unchecked);
    window.clCleanOption->item(1)->setCheckState(Qt::Checked);
    EXPECT_TRUE(Setting->IfClean_Internet_Explorer_History());
    window.clCleanOption->item(7)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(Setting->IfClean_Recycle_Bin());
}

TEST_F(WipeWindow, NothingTickedRunsNothingAndFillsTheBar) {
    TfrmWipe window;
    window.show();
    window.btnCleanClick();
    EXPECT_EQ(Calls, 0);
    EXPECT_EQ(window.pb_Wipe->value(), 9);
    EXPECT_EQ(window.pb_Wipe->maximum(), 9);
    EXPECT_TRUE(Boxes.empty());
}

namespace {

TEST_F(WipeWindow, ShowingAgainNeitherClearsNorWritesTheSettings) {
    for (const auto& item : PrivacyItems())
        (Setting->*item.Set)(true);
    TfrmWipe window;
    window.show();
    window.hide();
    window.show();
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(window.clCleanOption->item(i)->checkState(), Qt::Checked) << i;
        EXPECT_TRUE((Setting->*PrivacyItems()[static_cast<size_t>(i)].Get)()) << i;
    }
}

TEST_F(WipeWindow, EveryOpeningIsANewWindowThatStartsFromTheSettings) {
    Setting->SetIfClean_Windows_Temporary_Files(true);
    std::vector<bool> tickedAtOpening;
    auto closeWhenShown = [&] {
        QTimer::singleShot(0, [&] {
            ASSERT_NE(frmWipe, nullptr);
            tickedAtOpening.push_back(frmWipe->clCleanOption->item(6)->checkState() == Qt::Checked);
            frmWipe->clCleanOption->item(6)->setCheckState(Qt::Unchecked);
            frmWipe->RzButton6Click();
        });
    };
    closeWhenShown();
    ShowModalWindow(frmWipe, nullptr, TAfterModal::Free);
    EXPECT_EQ(frmWipe, nullptr);
    EXPECT_FALSE(Setting->IfClean_Windows_Temporary_Files());

    Setting->SetIfClean_Windows_Temporary_Files(true);
    closeWhenShown();
    ShowModalWindow(frmWipe, nullptr, TAfterModal::Free);
    EXPECT_EQ(frmWipe, nullptr);
    EXPECT_EQ(tickedAtOpening, (std::vector<bool>{true, true}));
}

} // namespace
