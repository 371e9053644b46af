// The program's update commands as the windows use them: a build without an update
// address, "Online Update" from a window that is itself modal, and the end of the program
// while a transfer runs.
#include "support/RecordingScript.h"
#include "support/TTempDir.h"
#include "update/TCustomHttpTransfer.h"
#include "update/TUpdateAgent.h"
#include "update/TUpdateSignature.h"
#include "update/UpdateCrypto.h"
#include "update/UpdateTexts.h"
#include "update/ui/TAskUpgradeForm.h"
#include "update/ui/TTransferThreadWindow.h"
#include "update/ui/TUpdateWizardForm.h"
#include "update/ui/UpdateCheck.h"
#include "update/ui/UpdateUiText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

void Pump(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Clicks a button the way the window system delivers a click, so that a window blocked
// by another modal window would not get it.
void Click(QPushButton* button) {
    QWidget* window = button->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      button->mapTo(window, button->rect().center()));
}

TEST(UpdateCheckTest, ABuildWithoutAnUpdateAddressNeverChecksAndSaysWhoUpdatesIt) {
    QWidget launcher;
    launcher.show();
    // The same as a build without the address, whatever this build was made with.
    StartUpdateCheck(&launcher, "", false);
    Pump(50);
    EXPECT_EQ(UpdateAgent1, nullptr);
    EXPECT_EQ(TCustomHttpTransfer::LiveWorkers(), 0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    QString shown;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    StartUpdateCheck(&launcher, "", true);
    EXPECT_EQ(shown, DisplayText(FormatUpdateText(
                         utPackageManager, qPrintable(QCoreApplication::applicationName()))));
    EXPECT_EQ(UpdateAgent1, nullptr);

    if (!BuiltInInfoFileUrl().empty())
        GTEST_SKIP() << "this build checks " << BuiltInInfoFileUrl();
    StartAutomaticUpdateCheck(&launcher);
    Pump(50);
    EXPECT_EQ(UpdateAgent1, nullptr);
    EXPECT_EQ(TCustomHttpTransfer::LiveWorkers(), 0);
}

TEST(UpdateCheckTest, OnlineUpdateFromAModalWindowRunsToTheRestart) {
    TTempDir temp;
    std::string publicKey;
    std::string secretKey;
    ASSERT_TRUE(UpdateCrypto::GenerateKeyPair(publicKey, secretKey));
    const std::string payload = "#!/bin/sh\nexit 0\n";
    const auto served = temp.Write("served/morvane", payload);
    const auto program = temp.Write("program/morvane", "old program");
    fs::create_directories(temp / "tmp");
    const std::string info = "#version=99.0\r\n#url=file://" + served.string() +
                             "\r\n#sha256=" + TUpdateSignature::FileHash(served) +
                             "\r\n#size=" + std::to_string(payload.size()) + "\r\n";
    const auto infoFile = temp.Write(
        "served/Morvane.inf", TUpdateSignature::Sign(info, TUpdateSignature::ToBase64(secretKey)));

    // As the launcher shows the analysis window.
    QWidget analysis;
    analysis.setWindowModality(Qt::ApplicationModal);
    TUpdateAgent& agent = ProgramUpdateAgent(&analysis);
    agent.PublicKey = TUpdateSignature::ToBase64(publicKey);
    agent.ProgramFile = program;
    agent.UpgraderFolder = temp / "tmp";
    const fs::path startedWith = temp / "upgrader-args";
    agent.UpgraderImage = [&] { return RecordingScript(startedWith); };

    QPointer<QWidget> wizardParent;
    Qt::WindowModality wizardModality = Qt::NonModal;
    bool modalRunEnded = false;
    QTimer user; // answers what comes up, one window at a time
    QObject::connect(&user, &QTimer::timeout, [&] {
        QWidget* top = QApplication::activeModalWidget();
        if (auto* ask = dynamic_cast<TAskUpgradeForm*>(top)) {
            Click(ask->findChild<QPushButton*>(QStringLiteral("YesBtn")));
        } else if (auto* wizard = dynamic_cast<TUpdateWizardForm*>(top)) {
            auto* finish = wizard->findChild<QPushButton*>(QStringLiteral("FinishBtn"));
            if (finish->isEnabled()) {
                wizardParent = wizard->parentWidget();
                wizardModality = wizard->windowModality();
                Click(finish);
            }
        } else if (auto* box = qobject_cast<QMessageBox*>(top)) {
            ADD_FAILURE() << box->text().toStdString();
            box->accept();
        }
    });
    user.start(20);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(15000);
    QTimer::singleShot(0, [&] {
        QEventLoop modalRun;
        analysis.show();
        QTimer::singleShot(
            0, [&] { StartUpdateCheck(&analysis, "file://" + infoFile.string(), true); });
        modalRun.exec();
        modalRunEnded = true;
    });
    EXPECT_EQ(QCoreApplication::exec(), 0); // the restart ended the program's loops
    EXPECT_TRUE(modalRunEnded);
    EXPECT_EQ(wizardParent, &analysis);
    EXPECT_EQ(wizardModality, Qt::ApplicationModal);
    WaitForFile(startedWith, 5s);
    EXPECT_EQ(TTempDir::Read(startedWith), program.string() + " +/afterupgrade0\n");
    EXPECT_EQ(TTempDir::Read(temp / "program/morvane.uTMP"), payload);
    EXPECT_EQ(UpdateAgent1, nullptr); // freed as the program ends
}

// The program ending while a transfer reports: a process of its own, since it ends the
// application object. The first test starts the second.
constexpr const char* ChildVariable = "MORVANE_UPDATE_SHUTDOWN_CHILD";

TEST(UpdateShutdownTest, EndingTheProgramDuringATransferEndsTheProcessWithinASecond) {
    TTempDir temp;
    const auto file = temp.Write("payload.bin", std::string(4 * 1024 * 1024, 'p'));
    QProcess child;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(ChildVariable), QString::fromStdString(file.string()));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=UpdateShutdownChild.*")});
    ASSERT_TRUE(child.waitForStarted(5000));
    QByteArray out;
    QElapsedTimer sinceQuit;
    while (!out.contains("quitting") && child.state() != QProcess::NotRunning &&
           child.waitForReadyRead(10000))
        out += child.readAllStandardOutput();
    sinceQuit.start();
    ASSERT_TRUE(out.contains("quitting while busy")) << out.toStdString();
    const bool ended = child.waitForFinished(5000);
    const qint64 took = sinceQuit.elapsed();
    if (!ended)
        child.kill();
    ASSERT_TRUE(ended) << "the process hangs after the end of its event loop";
    EXPECT_LT(took, 1000);
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0);
}

TEST(UpdateShutdownChild, ATransferThatReportsWhileTheProgramEnds) {
    const QByteArray file = qgetenv(ChildVariable);
    if (file.isEmpty())
        GTEST_SKIP() << "started by UpdateShutdownTest in a process of its own";
    // As the launcher's update component: reports through the shared hidden window, and
    // freed when the application quits.
    auto* transfer = new TCustomHttpTransfer(TTransferThreadWindow::Acquire());
    transfer->Settings().URL = "file://" + file.toStdString();
    transfer->Settings().TransferBufferSize = 16; // many small reports: busy at the end
    transfer->OnProgress = [](const THttpProgress&) {};
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [&transfer] {
        delete transfer;
        transfer = nullptr;
    });
    ASSERT_TRUE(transfer->Start());
    QTimer::singleShot(300, [&transfer] {
        std::printf("quitting%s\n", transfer->Busy() ? " while busy" : "");
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    QCoreApplication::exec();
    EXPECT_EQ(transfer, nullptr);
}

} // namespace
