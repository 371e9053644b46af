#include "update/ui/TQtUpdateUi.h"

#include "update/ui/TAskUpgradeForm.h"
#include "update/ui/TPasswordForm.h"
#include "update/ui/TUpdateWizardForm.h"
#include "update/ui/UpdateUiText.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>

TQtUpdateUi::TQtUpdateUi(QWidget* owner) : FOwner(owner) {}

TQtUpdateUi::~TQtUpdateUi() {
    delete FWizard.data();
}

QWidget* TQtUpdateUi::Owner() const {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return FOwner;
}

bool TQtUpdateUi::AskUpgrade(const std::string& text) {
    TAskUpgradeForm form(text, Owner());
    return form.exec() == QDialog::Accepted;
}

void TQtUpdateUi::ShowWizard(bool stayOnTop, std::function<void()> cancelled) {
    CloseWizard();
    // Modal, so that it takes the clicks also above a window that is modal itself; it is
    // not run in a loop of its own, since the downloads go on behind it.
    FWizard = new TUpdateWizardForm(stayOnTop, Owner());
    FWizard->setAttribute(Qt::WA_DeleteOnClose);
    FWizard->setWindowModality(Qt::ApplicationModal);
    FWizard->OnCancelled = std::move(cancelled);
    FWizardAccepted = false;
    QObject::connect(FWizard.data(), &QDialog::finished,
                     [this](int result) { FWizardAccepted = result == QDialog::Accepted; });
    FWizard->show();
}

void TQtUpdateUi::WizardFile(const std::string& url, const std::string& allDownloading) {
    if (FWizard)
        FWizard->SetFile(url, allDownloading);
}

void TQtUpdateUi::WizardFileSize(const std::string& text) {
    if (FWizard)
        FWizard->SetFileSize(text);
}

void TQtUpdateUi::WizardProgress(int currentPercent, int allPercent, const std::string& rate,
                                 const std::string& timeLeft) {
    if (FWizard)
        FWizard->SetProgress(currentPercent, allPercent, rate, timeLeft);
}

void TQtUpdateUi::WizardFinished(const std::string& afterNote) {
    if (FWizard)
        FWizard->Finish(afterNote);
}

bool TQtUpdateUi::WaitForWizardClose() {
    if (FWizard && FWizard->isVisible()) {
        QEventLoop loop;
        QObject::connect(FWizard.data(), &QDialog::finished, &loop, &QEventLoop::quit);
        QObject::connect(FWizard.data(), &QObject::destroyed, &loop, &QEventLoop::quit);
        // Returns at once, or as soon as the program is told to end.
        loop.exec();
    }
    return FWizardAccepted && !(FWizard && FWizard->isVisible());
}

void TQtUpdateUi::CloseWizard() {
    if (FWizard)
        FWizard->ForceClose();
}

bool TQtUpdateUi::PasswordWindow(const std::string& text, std::string& userName,
                                 std::string& password) {
    TPasswordForm form(text, userName, Owner());
    if (form.exec() != QDialog::Accepted)
        return false;
    userName = form.UserName();
    password = form.Password();
    return true;
}

void TQtUpdateUi::SimpleMessage(const std::string& text) {
    QMessageBox box(QMessageBox::Critical, DisplayText(0), DisplayText(text), QMessageBox::Ok,
                    Owner());
    box.setObjectName(QStringLiteral("UpdateMessageBox"));
    box.exec();
}

void TQtUpdateUi::InformationMessage(const std::string& text) {
    QMessageBox box(QMessageBox::Information, DisplayText(0), DisplayText(text), QMessageBox::Ok,
                    Owner());
    box.setObjectName(QStringLiteral("UpdateMessageBox"));
    box.exec();
}

bool TQtUpdateUi::WarningQuestion(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Warning, DisplayText(caption), DisplayText(text),
                    QMessageBox::Yes | QMessageBox::No, Owner());
    box.setObjectName(QStringLiteral("UpdateQuestionBox"));
    return box.exec() == QMessageBox::Yes;
}

bool TQtUpdateUi::Question(const std::string& text) {
    QMessageBox box(QMessageBox::Question, DisplayText(0), DisplayText(text),
                    QMessageBox::Yes | QMessageBox::No, Owner());
    box.setObjectName(QStringLiteral("UpdateQuestionBox"));
    return box.exec() == QMessageBox::Yes;
}

void TQtUpdateUi::CloseApplication() {
    // Ends every loop, the modal runs of the launcher's function windows among them, and
    // the program then ends as its exit button ends it: windows destroyed, settings saved.
    // Closing one window would only end that window's modal run.
    QCoreApplication::exit(0);
}
