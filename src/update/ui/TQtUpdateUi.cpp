#include "update/ui/TQtUpdateUi.h"

#include "update/ui/TAskUpgradeForm.h"
#include "update/ui/TPasswordForm.h"
#include "update/ui/TUpdateWizardForm.h"
#include "update/ui/UpdateUiText.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>

TQtUpdateUi::TQtUpdateUi(QWidget* mainWindow) : FMainWindow(mainWindow) {}

TQtUpdateUi::~TQtUpdateUi() { delete FWizard.data(); }

bool TQtUpdateUi::AskUpgrade(const std::string& text) {
    TAskUpgradeForm form(text);
    return form.exec() == QDialog::Accepted;
}

void TQtUpdateUi::ShowWizard(bool stayOnTop, std::function<void()> cancelled) {
    CloseWizard();
    FWizard = new TUpdateWizardForm(stayOnTop);
    FWizard->setAttribute(Qt::WA_DeleteOnClose);
    FWizard->OnCancelled = std::move(cancelled);
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

void TQtUpdateUi::WaitForWizardClose() {
    if (!FWizard || !FWizard->isVisible())
        return;
    QEventLoop loop;
    QObject::connect(FWizard.data(), &QDialog::finished, &loop, &QEventLoop::quit);
    QObject::connect(FWizard.data(), &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
}

void TQtUpdateUi::CloseWizard() {
    if (FWizard)
        FWizard->ForceClose();
}

bool TQtUpdateUi::PasswordWindow(const std::string& text, std::string& userName,
                                 std::string& password) {
    TPasswordForm form(text, userName);
    if (form.exec() != QDialog::Accepted)
        return false;
    userName = form.UserName();
    password = form.Password();
    return true;
}

void TQtUpdateUi::SimpleMessage(const std::string& text) {
    QMessageBox box(QMessageBox::Critical, DisplayText(0), DisplayText(text), QMessageBox::Ok);
    box.setObjectName(QStringLiteral("UpdateMessageBox"));
    box.exec();
}

bool TQtUpdateUi::WarningQuestion(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Warning, DisplayText(caption), DisplayText(text),
                    QMessageBox::Yes | QMessageBox::No);
    box.setObjectName(QStringLiteral("UpdateQuestionBox"));
    return box.exec() == QMessageBox::Yes;
}

void TQtUpdateUi::CloseApplication() {
    if (FMainWindow)
        FMainWindow->close();
    else
        QApplication::quit();
}
