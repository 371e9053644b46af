#include "support/TTempDir.h"
#include "update/TCustomHttpTransfer.h"
#include "update/TUpdateAgent.h"
#include "update/UpdateTexts.h"
#include "update/ui/TAskUpgradeForm.h"
#include "update/ui/TPasswordForm.h"
#include "update/ui/TQtUpdateUi.h"
#include "update/ui/TTransferThreadWindow.h"
#include "update/ui/TUpdateWizardForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <gmock/gmock.h>

using ::testing::HasSubstr;

namespace {

template <typename T> T* Child(QWidget* window, const char* name) {
    auto* child = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// Answers the next message box that opens with the given button.
void AnswerNextBox(QMessageBox::StandardButton answer, QString* text = nullptr) {
    QTimer::singleShot(50, [answer, text] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                if (text)
                    *text = box->text();
                box->button(answer)->click();
                return;
            }
        AnswerNextBox(answer, text); // not open yet
    });
}

void Pump(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

TEST(UpdateWindowsTest, TheAskWindowFitsItsTextAndAnswers) {
    const auto text = TUpdateAgent::AskText("Morvane", "Line one\r\nLine two");
    TAskUpgradeForm form(text);
    auto* label = Child<QLabel>(&form, "Label1");
    EXPECT_THAT(label->text().toStdString(), HasSubstr("Line one\nLine two"));
    EXPECT_EQ(form.windowTitle(), "Application update wizard");
    EXPECT_EQ(form.width(), 318);
    EXPECT_EQ(label->width(), 318 - label->x() - 11);
    EXPECT_EQ(form.height(), label->geometry().bottom() + 1 + 45);
    auto* yes = Child<QPushButton>(&form, "YesBtn");
    EXPECT_TRUE(yes->isDefault());
    EXPECT_EQ(Child<QPushButton>(&form, "LaterBtn")->text(), "&Later");
    QTimer::singleShot(0, yes, &QPushButton::click);
    EXPECT_EQ(form.exec(), QDialog::Accepted);
}

TEST(UpdateWindowsTest, TheWizardShowsProgressAndItsFinishedState) {
    TUpdateWizardForm wizard(true);
    EXPECT_EQ(wizard.size(), QSize(570, 346));
    auto* finish = Child<QPushButton>(&wizard, "FinishBtn");
    EXPECT_FALSE(finish->isEnabled());
    EXPECT_EQ(finish->text(), "&Next >");
    EXPECT_EQ(Child<QLabel>(&wizard, "EstimatedTimeLeftLab")->text(), "Preparing. . .");
    EXPECT_EQ(Child<QGroupBox>(&wizard, "LCurrentFile")->title(), " Current file ");
    wizard.SetFile("http://127.0.0.1/x.dat", "Downloading 2 of 3");
    wizard.SetProgress(40, 46, "Transfer rate: 12.5 Kb/s", "Estimated time left: 0:01:05");
    EXPECT_EQ(Child<QLineEdit>(&wizard, "FileURL")->text(), "http://127.0.0.1/x.dat");
    EXPECT_TRUE(Child<QLineEdit>(&wizard, "FileURL")->isReadOnly());
    EXPECT_EQ(Child<QProgressBar>(&wizard, "ProgressAllFiles")->value(), 46);
    EXPECT_EQ(Child<QLabel>(&wizard, "AllDownloading")->text(), "Downloading 2 of 3");
    wizard.show();
    wizard.Finish(FormatUpdateText(10, "Morvane"));
    EXPECT_EQ(Child<QLabel>(&wizard, "WizardTitle")->text(), "Upgrade completed!");
    EXPECT_TRUE(Child<QLabel>(&wizard, "AfterNote")->isVisible());
    EXPECT_THAT(Child<QLabel>(&wizard, "AfterNote")->text().toStdString(),
                HasSubstr("Morvane has been successfully completed.\n\nPress the OK"));
    EXPECT_FALSE(Child<QGroupBox>(&wizard, "LAllFiles")->isVisible());
    EXPECT_FALSE(Child<QPushButton>(&wizard, "CancelBtn")->isEnabled());
    EXPECT_TRUE(finish->isEnabled());
    EXPECT_EQ(finish->text(), "&OK");
}

TEST(UpdateWindowsTest, CancellingTheWizardAsksFirst) {
    TUpdateWizardForm wizard(false);
    int cancelled = 0;
    wizard.OnCancelled = [&] { ++cancelled; };
    wizard.show();
    QString asked;
    AnswerNextBox(QMessageBox::No, &asked);
    Child<QPushButton>(&wizard, "CancelBtn")->click();
    EXPECT_EQ(asked.toStdString(),
              "The update is not completed.\nWould you like to abort upgrading?");
    EXPECT_EQ(cancelled, 0);
    EXPECT_TRUE(wizard.isVisible());
    AnswerNextBox(QMessageBox::Yes);
    wizard.close(); // the close box asks the same question
    EXPECT_EQ(cancelled, 1);
    EXPECT_FALSE(wizard.isVisible());
}

TEST(UpdateWindowsTest, WaitingForTheWizardEndsWithItsOkButton) {
    TQtUpdateUi ui(nullptr);
    ui.ShowWizard(false, [] {});
    ui.WizardFinished("done");
    QTimer::singleShot(50, [&] { Child<QPushButton>(ui.Wizard(), "FinishBtn")->click(); });
    EXPECT_TRUE(ui.WaitForWizardClose());
    Pump(50);
    EXPECT_EQ(ui.Wizard(), nullptr); // closed and freed

    ui.ShowWizard(false, [] {});
    ui.WizardFinished("done");
    QTimer::singleShot(50, [&] { ui.CloseWizard(); }); // closed, but not with OK
    EXPECT_FALSE(ui.WaitForWizardClose());
}

TEST(UpdateWindowsTest, EndingTheApplicationEndsEveryModalRun) {
    // The restart after an update must end the program also from within a window that the
    // launcher runs modally; closing that one window would end only its own run.
    TQtUpdateUi ui(nullptr);
    bool innerEnded = false;
    QTimer::singleShot(0, [&] {
        QEventLoop modalRun;
        QTimer::singleShot(20, [&] { ui.CloseApplication(); });
        modalRun.exec();
        innerEnded = true;
    });
    QTimer guard; // gone with the test, so it never ends a later one
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(5000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_TRUE(innerEnded);
}

TEST(UpdateWindowsTest, ThePasswordWindowStartsWithTheKnownUserName) {
    TPasswordForm form(FormatUpdateText(29, "Morvane.inf"), "anna");
    EXPECT_EQ(form.size(), QSize(297, 141));
    EXPECT_EQ(form.windowTitle(), "Enter password");
    EXPECT_EQ(Child<QLineEdit>(&form, "UsernameEdit")->text(), "anna");
    EXPECT_EQ(Child<QLineEdit>(&form, "PasswordEdit")->echoMode(), QLineEdit::Password);
    EXPECT_THAT(Child<QLabel>(&form, "Label1")->text().toStdString(),
                HasSubstr("Access to remote file \"Morvane.inf\" is password protected."));
    Child<QLineEdit>(&form, "PasswordEdit")->setText("pw");
    QTimer::singleShot(0, [&] { Child<QPushButton>(&form, "OKBtn")->click(); });
    EXPECT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_EQ(form.Password(), "pw");
}

TEST(UpdateWindowsTest, ReportsArriveOnTheWindowThreadThroughTheSharedHiddenWindow) {
    TTempDir temp;
    const auto file = temp.Write("payload.bin", std::string(50000, 'p'));
    bool onUiThread = true;
    bool done = false;
    int progress = 0;
    {
        TCustomHttpTransfer first(TTransferThreadWindow::Acquire());
        TCustomHttpTransfer second(TTransferThreadWindow::Acquire());
        EXPECT_EQ(TTransferThreadWindow::Users(), 2);
        first.OnProgress = [&](const THttpProgress&) {
            ++progress;
            onUiThread &= QThread::currentThread() == qApp->thread();
        };
        first.OnDone = [&](const std::string&, const std::string& data, int64_t) {
            done = data.size() == 50000;
            onUiThread &= QThread::currentThread() == qApp->thread();
        };
        first.Settings().URL = "file://" + file.string();
        ASSERT_TRUE(first.Start());
        QElapsedTimer clock;
        clock.start();
        while (first.Busy() && clock.elapsed() < 10000)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    for (int i = 0; i < 100 && TCustomHttpTransfer::LiveWorkers() > 0; ++i)
        Pump(10);
    EXPECT_TRUE(done);
    EXPECT_GT(progress, 1);
    EXPECT_TRUE(onUiThread);
    EXPECT_EQ(TTransferThreadWindow::Users(), 0);
}

} // namespace
