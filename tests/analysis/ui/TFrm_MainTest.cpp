#include "analysis/ui/TFrm_Main.h"

#include <gmock/gmock.h>

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
    window.ShowDriveChart(); // nothing is charted until asked for
    if (!qEnvironmentVariable("MORVANE_SHOT_DIR").isEmpty())
        window.grab().save(qEnvironmentVariable("MORVANE_SHOT_DIR") + "/analysis-drives.png");
}
