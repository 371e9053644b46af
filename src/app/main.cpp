// Start-up: one running copy at a time, the splash while the long-lived windows are
// made, then the launcher's message loop.
#include "app/ui/ModalWindow.h"
#include "app/ui/TFrm_About.h"
#include "app/ui/TFrm_Splash.h"
#include "app/ui/TFrm_Tips.h"
#include "app/ui/TFrm_Wizard.h"
#include "app/ui/TMorvaneApplication.h"
#include "app/ui/TQtMessageBox.h"
#include "core/IMessageBoxHook.h"
#include "core/ui/AboutWindowHook.h"
#include "options/ui/TfrmOption.h"
#include "programs/ui/TfrmUninstall.h"
#include "platform/ProgramFolder.h"
#include "platform/SystemInfo.h"
#include "platform/TSingleInstance.h"
#include "update/ui/UpdateCheck.h"

#include <QCursor>

#include <exception>
#include <filesystem>
#include <memory>
#include <system_error>

namespace {

// Makes one long-lived window; an error while it is made is reported and start-up goes
// on with the next one.
template <typename TWindow> void CreateForm(TWindow*& variable, QWidget* owner) {
    try {
        CreateWindowInto(variable, owner);
    } catch (const std::exception& e) {
        TMorvaneApplication::ShowException(e.what());
    }
}

} // namespace

int main(int argc, char** argv) {
    // Held until the process ends; the system lets go of it however the process ends.
    const Platform::TSingleInstance instance("Morvane_Tolvik");
    if (instance.State() == Platform::TInstanceState::AlreadyRunning)
        return 0;

    Platform::RaiseOpenFileLimit();
    // A few files ("kind.ini" among them) are opened by their bare name, so the program
    // runs in its program folder however it was started, as a Windows shortcut's
    // "Start in" folder would have it.
    std::error_code ec;
    std::filesystem::current_path(Platform::ProgramFolder(), ec);
    TMorvaneApplication app(argc, argv);
    SetMessageBoxHook(std::make_unique<TQtMessageBox>());

    auto splash = std::make_unique<TFrm_Splash>();
    splash->ShowFadingIn();
    QApplication::setOverrideCursor(Qt::WaitCursor);

    // The launcher makes the settings, which every later window reads.
    CreateForm(Frm_Wizard, nullptr);
    if (!Frm_Wizard)
        return 0;
    Frm_Wizard->SetAutoUpdateCheck([] { StartAutomaticUpdateCheck(Frm_Wizard); });
    CreateForm(Frm_About, Frm_Wizard);
    ShowAboutWindow = [](QWidget*) {
        if (Frm_About)
            Frm_About->exec();
    };
    CreateForm(frmOption, Frm_Wizard);
    CreateForm(Frm_Tips, Frm_Wizard);
    CreateForm(frmUninstall, Frm_Wizard);

    splash.reset();
    QApplication::restoreOverrideCursor();

    Frm_Wizard->show();
    app.exec();
    // The launcher takes the windows it owns with it and saves the settings.
    delete Frm_Wizard;
    return 0;
}
