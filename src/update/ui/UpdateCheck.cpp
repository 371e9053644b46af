#include "update/ui/UpdateCheck.h"

#include "update/TUpdateAgent.h"
#include "update/UpdateTexts.h"
#include "update/ui/EmbeddedUpgrader.h"
#include "update/ui/TQtUpdateUi.h"
#include "update/ui/TTransferThreadWindow.h"

#include "app/ProgramVersion.h"
#include "platform/ProgramFolder.h"

#include <QCoreApplication>

#include <memory>

TUpdateAgent* UpdateAgent1 = nullptr;

namespace {

// The dialogs outlive the agent that drives them.
std::unique_ptr<TQtUpdateUi> AgentUi;

void FreeAgent() {
    delete UpdateAgent1;
    UpdateAgent1 = nullptr;
    AgentUi.reset();
}

std::string AppTitle() {
    return QCoreApplication::applicationName().toStdString();
}

} // namespace

std::string BuiltInInfoFileUrl() {
    return MORVANE_INFO_FILE_URL;
}

void ConfigureProgramAgent(TUpdateAgent& agent) {
    agent.AutoCheck = false;
    agent.InfoFile.UpgradeMsg = "first release";
    agent.InfoFileURL = BuiltInInfoFileUrl();
    agent.MiscFilesUpgrade = TMiscFilesBehavior::mfuOnlyIfSizeDifferent;
    agent.VersionControl = TVersionControl::byNumber;
    agent.VersionDate = ProgramVersion::Date;
    agent.VersionNumber = ProgramVersion::Number;
    agent.ShowMessages = AllUpdateMessages;
    agent.Wizard.Enabled = true;
    agent.Wizard.StayOnTop = true;
    agent.ProgramFile = Platform::ProgramFile();
    agent.AppTitle = AppTitle();
    agent.PublicKey = MORVANE_UPDATE_PUBLIC_KEY;
    agent.UpgraderImage = [] { return std::string(EmbeddedUpgrader()); };
}

TUpdateAgent& ProgramUpdateAgent(QWidget* window) {
    if (!UpdateAgent1) {
        AgentUi = std::make_unique<TQtUpdateUi>(window);
        UpdateAgent1 = new TUpdateAgent(TTransferThreadWindow::Acquire(), *AgentUi);
        ConfigureProgramAgent(*UpdateAgent1);
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, &FreeAgent);
    }
    AgentUi->SetOwner(window);
    return *UpdateAgent1;
}

void StartUpdateCheck(QWidget* window, const std::string& infoFileUrl, bool fromCommand) {
    if (infoFileUrl.empty()) {
        // Nowhere to look: such a copy comes from the system's packages, which bring its
        // updates, so a start never tries and the command says where updates come from.
        if (fromCommand) {
            TQtUpdateUi ui(window);
            ui.InformationMessage(FormatUpdateText(utPackageManager, AppTitle().c_str()));
        }
        return;
    }
    TUpdateAgent& agent = ProgramUpdateAgent(window);
    agent.InfoFileURL = infoFileUrl;
    agent.CheckUpdate();
}

void StartAutomaticUpdateCheck(QWidget* window) {
    StartUpdateCheck(window, BuiltInInfoFileUrl(), false);
}

void OnlineUpdate(QWidget* window) {
    StartUpdateCheck(window, BuiltInInfoFileUrl(), true);
}
