// Takes the pictures of the shell's windows for the documentation: each window is shown
// as the user first sees it and drawn into a PNG file. Run by docs/screenshots.sh.
#include "app/ui/TFrm_About.h"
#include "app/ui/TFrm_Splash.h"
#include "app/ui/TFrm_Tips.h"
#include "app/ui/TFrm_Wizard.h"
#include "app/ui/TMorvaneApplication.h"
#include "core/DateTime.h"
#include "core/TSetting.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void Pump(int ms) {
    QElapsedTimer clock;
    clock.start();
    do
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    while (clock.elapsed() < ms);
}

bool Take(QWidget* window, const QString& file) {
    window->show();
    window->raise();
    Pump(300);
    if (window->grab().save(file))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    return false;
}

} // namespace

int main(int argc, char** argv) {
    TMorvaneApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);

    // A program folder of its own, so that no real settings are read or written.
    QTemporaryDir folder;
    QFile::copy(QStringLiteral(MORVANE_TIPS_FILE), folder.filePath(QStringLiteral("Tips.CFG")));
    Platform::SetProgramFolder(folder.path().toStdString());

    bool ok = true;
    {
        TFrm_Splash splash;
        ok &= Take(&splash, out + QStringLiteral("/splash.png"));
    }

    Frm_Wizard = new TFrm_Wizard;
    Frm_About = new TFrm_About(Frm_Wizard);
    Frm_Tips = new TFrm_Tips(Frm_Wizard);
    Setting->SetLastCleanDate(EncodeDate(2008, 6, 14));
    Setting->SetAutoUpdate(false);
    Frm_Wizard->UpdateHintLine(QPoint(290, 80)); // as if the mouse rested on the analysis button
    ok &= Take(Frm_Wizard, out + QStringLiteral("/launcher.png"));
    ok &= Take(Frm_Tips, out + QStringLiteral("/tips.png"));
    Frm_Tips->hide();
    ok &= Take(Frm_About, out + QStringLiteral("/about.png"));
    delete Frm_Wizard;
    return ok ? 0 : 1;
}
