// Takes the pictures of the shell's windows for the documentation: each window is shown
// as the user first sees it and saved as a PNG file, with its window manager's frame when
// it runs under X with one. Run by docs/screenshots.sh.
#include "app/ui/WindowShot.h"

#include "app/ui/TFrm_About.h"
#include "app/ui/TFrm_Splash.h"
#include "app/ui/TFrm_Tips.h"
#include "app/ui/TFrm_Wizard.h"
#include "app/ui/TMorvaneApplication.h"
#include "clean/ui/TfrmCleaning.h"
#include "options/ui/TfrmAddFilter.h"
#include "options/ui/TfrmOption.h"
#include "privacy/ui/TfrmWipe.h"
#include "programs/ui/TfrmUninstall.h"
#include "core/IMessageBoxHook.h"
#include "core/DateTime.h"
#include "core/TSetting.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

void Pump(int ms) {
    QElapsedTimer clock;
    clock.start();
    do
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    while (clock.elapsed() < ms);
}

bool Take(QWidget* window, const QString& file) {
    if (WindowShot::Save(window, file))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    return false;
}

// The summary box would wait for a click; the picture shows the window behind it.
class TQuietBox : public IMessageBoxHook {
public:
    void Show(const std::string&, const std::string&) override {}
};

// A small home folder with what a cleaner finds in a real one.
QString MakeJunkTree(const QTemporaryDir& root) {
    const QString base = root.filePath(QStringLiteral("home"));
    const char* files[][2] = {
        {"文档/年度报告.doc.BAK", "backup of the report"},
        {"文档/~$年度报告.doc.TMP", "lock"},
        {"下载/setup.log", "installation log, line after line"},
        {"下载/安装包/unpack.TMP", "0123456789"},
        {"项目/build/main.PCH", "precompiled header bytes"},
        {"项目/build/app.NCB", "browse data"},
        {"项目/old/config.OLD", "x=1"},
        {"照片/缩略图.db.BAK", "thumbs"},
    };
    for (const auto& f : files) {
        const QString path = base + QStringLiteral("/") + QString::fromUtf8(f[0]);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(f[1]);
    }
    QDir().mkpath(base + QStringLiteral("/项目/空目录"));
    return base;
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
    Frm_About->hide();

    // The cleaning window after a real scan of a small tree.
    const QString tree = MakeJunkTree(folder);
    Setting->Directorys().Clear();
    Setting->Directorys().Add(tree.toStdString(), true, true);
    for (int i = 0; i < Setting->Garbages().Count(); ++i) {
        const std::string& name = Setting->Garbages()[i].GarbageName();
        Setting->Garbages()[i].SetIfclean(name == "*.BAK" || name == "*.TMP" || name == "*.LOG" ||
                                          name == "*.PCH" || name == "*.NCB" || name == "*.OLD");
    }
    Setting->SetIfCleanZeroDir(true);
    QFile::copy(QStringLiteral(MORVANE_OPTION2_FILE),
                folder.filePath(QStringLiteral("Option2.CFG")));
    auto oldBox = SetMessageBoxHook(std::make_unique<TQuietBox>());
    frmCleaning = new TfrmCleaning(Frm_Wizard);
    frmCleaning->show();
    Pump(1500); // the scan starts a second after showing
    ok &= Take(frmCleaning, out + QStringLiteral("/clean.png"));
    frmCleaning->hide();

    // The options dialog as it opens, its five pages, then the add junk type dialog.
    frmOption = new TfrmOption(Frm_Wizard);
    ok &= Take(frmOption, out + QStringLiteral("/options.png"));
    const char* pages[] = {"privacy", "types", "folders", "parameters", "protected"};
    for (int i = 0; i < 5; ++i) {
        frmOption->Pc_Project->setCurrentIndex(i);
        ok &= Take(frmOption,
                   out + QStringLiteral("/options-%1.png").arg(QString::fromLatin1(pages[i])));
    }
    frmOption->hide();
    TfrmAddFilter addFilter;
    addFilter.eFilterName->setText(QStringLiteral("*.BAK"));
    addFilter.eFilterMemo->setText(QString::fromUtf8("备份文件"));
    ok &= Take(&addFilter, out + QStringLiteral("/add-junk-type.png"));
    SetMessageBoxHook(std::move(oldBox));

    // The privacy window with the settings' ticks.
    Setting->SetIfClean_Internet_Explorer_Temporary_Files(true);
    Setting->SetIfClean_Internet_Explorer_Cookies(true);
    Setting->SetIfClean_Recycle_Bin(true);
    auto* wipe = new TfrmWipe(Frm_Wizard); // the launcher takes it with it
    ok &= Take(wipe, out + QStringLiteral("/privacy.png"));
    wipe->hide();

    // The program manager with this machine's applications, read from the program folder
    // so that the categories file is found.
    QDir::setCurrent(QStringLiteral(MORVANE_KIND_FILE).section(QLatin1Char('/'), 0, -2));
    auto* programs = new TfrmUninstall(Frm_Wizard);
    programs->resize(1100, 640);
    programs->show();
    programs->resize(1100, 640);
    ok &= Take(programs, out + QStringLiteral("/programs.png"));
    programs->hide();
    delete Frm_Wizard;
    return ok ? 0 : 1;
}
