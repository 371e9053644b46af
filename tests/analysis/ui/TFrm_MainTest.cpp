#include "analysis/ui/TFrm_Main.h"

#include <gmock/gmock.h>

TEST(FrmMain, SupportMailJoinsTheFourFieldsWithLineFeedCarriageReturn) {
    const QString text = TFrm_Main::SupportMailText();
    const QString line = QString(48, '_');
    EXPECT_TRUE(text.startsWith("mailto:"));
    EXPECT_TRUE(text.contains("?subject= Morvane --- Ostrel   &Body=FullName:" + line + "\n\r"));
    EXPECT_TRUE(text.endsWith("Fax:" + line)); // nothing after the last line
}

TEST(FrmMain, TellAFriendEndsEveryLineWithLineFeedCarriageReturn) {
    const QString text = TFrm_Main::TellFriendMailText();
    EXPECT_TRUE(text.startsWith("mailto: "));
    EXPECT_TRUE(text.contains("?subject= Try out Morvane7.0 &Body=My Dear Friend \n\r"));
    EXPECT_TRUE(text.endsWith("\n\rBest Regards,\n\rYours \n\r"));
}

#include <QApplication>
#include <QTableView>
#include "analysis/ui/TShellItemModel.h"

// Shows the window at My Computer with the drive chart; with MORVANE_SHOT_DIR set the
// window is also saved there as a picture.
TEST(FrmMain, ShowsMyComputerWithTheDriveChart) {
    TFrm_Main window;
    window.show();
    QApplication::processEvents();
    EXPECT_TRUE(window.Model().Browser().AtMyComputer());
    EXPECT_GT(window.Model().rowCount(), 0);
    if (!qEnvironmentVariable("MORVANE_SHOT_DIR").isEmpty())
        window.grab().save(qEnvironmentVariable("MORVANE_SHOT_DIR") + "/analysis-drives.png");
}
