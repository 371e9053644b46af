#include "update/ui/UpdateCheck.h"

#include "update/TUpdateAgent.h"
#include "update/ui/EmbeddedUpgrader.h"
#include "update/ui/TQtUpdateUi.h"
#include "update/ui/TTransferThreadWindow.h"

#include "core/MakerAddresses.h"
#include "app/ProgramVersion.h"
#include "platform/ProgramFolder.h"

#include <QCoreApplication>

#include <memory>

TUpdateAgent* UpdateAgent1 = nullptr;

namespace {

// The dialogs outlive the agent that drives them.
std::unique_ptr<TQtUpdateUi> AgentUi;

std::string InfoFileUrl() {
    const std::string configured = MORVANE_INFO_FILE_URL;
    if (!configured.empty())
        return configured;
    return std::string(MakerAddresses::UpdateServer) + MakerAddresses::UpdateInfoPath;
}

void FreeAgent() {
    delete UpdateAgent1;
    UpdateAgent1 = nullptr;
    AgentUi.reset();
}

} // namespace

void ConfigureProgramAgent(TUpdateAgent& agent) {
    agent.AutoCheck = false;
    agent.InfoFile.UpgradeMsg = "first release";
    agent.InfoFileURL = InfoFileUrl();
    agent.MiscFilesUpgrade = TMiscFilesBehavior::mfuOnlyIfSizeDifferent;
    agent.VersionControl = TVersionControl::byNumber;
    agent.VersionDate = ProgramVersion::Date;
    agent.VersionNumber = ProgramVersion::Number;
    agent.ShowMessages = AllUpdateMessages;
    agent.Wizard.Enabled = true;
    agent.Wizard.StayOnTop = true;
    agent.ProgramFile = Platform::ProgramFile();
    agent.AppTitle = QCoreApplication::applicationName().toStdString();
    agent.PublicKey = MORVANE_UPDATE_PUBLIC_KEY;
    agent.UpgraderImage = [] { return std::string(EmbeddedUpgrader()); };
}

void StartUpdateCheck(QWidget* mainWindow) {
    if (!UpdateAgent1) {
        AgentUi = std::make_unique<TQtUpdateUi>(mainWindow);
        UpdateAgent1 = new TUpdateAgent(TTransferThreadWindow::Acquire(), *AgentUi);
        ConfigureProgramAgent(*UpdateAgent1);
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, &FreeAgent);
    }
    UpdateAgent1->CheckUpdate();
}
