// Takes the pictures of the update windows for the documentation: the ask window with a
// release note, and the wizard in the middle of a download. Run by docs/update-screenshots.sh.
#include "app/ui/TMorvaneApplication.h"
#include "update/TUpdateAgent.h"
#include "update/UpdateTexts.h"
#include "update/ui/TAskUpgradeForm.h"
#include "update/ui/TUpdateWizardForm.h"

#include <QDir>
#include <QElapsedTimer>

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
    const std::string title = QCoreApplication::applicationName().toStdString();

    bool ok = true;
    TAskUpgradeForm ask(TUpdateAgent::AskText(
        title, "Morvane 8.1:\r\n- faster junk scans\r\n- the analysis window remembers its view"));
    ok &= Take(&ask, out + QStringLiteral("/update-ask.png"));
    ask.hide();

    TUpdateWizardForm wizard(false);
    wizard.SetFile("https://update.example.com/download/update/Morvane.exe",
                   FormatUpdateText(9, 1, 2));
    wizard.SetFileSize(FormatUpdateText(6, 1843200 / 1024.0));
    wizard.SetProgress(62, 31, FormatUpdateText(7, 148.3), FormatUpdateText(8, 0, 0, 5));
    ok &= Take(&wizard, out + QStringLiteral("/update-wizard.png"));
    return ok ? 0 : 1;
}
