#pragma once

#include "update/IUpdateUi.h"
#include "update/ui/TUpdateWizardForm.h"

#include <QPointer>
#include <QWidget>

// The update's dialogs as real windows.
class TQtUpdateUi : public IUpdateUi {
public:
    // mainWindow is closed for the restart; without one the application quits.
    explicit TQtUpdateUi(QWidget* mainWindow);
    ~TQtUpdateUi() override;

    bool AskUpgrade(const std::string& text) override;
    void ShowWizard(bool stayOnTop, std::function<void()> cancelled) override;
    void WizardFile(const std::string& url, const std::string& allDownloading) override;
    void WizardFileSize(const std::string& text) override;
    void WizardProgress(int currentPercent, int allPercent, const std::string& rate,
                        const std::string& timeLeft) override;
    void WizardFinished(const std::string& afterNote) override;
    void WaitForWizardClose() override;
    void CloseWizard() override;
    bool PasswordWindow(const std::string& text, std::string& userName,
                        std::string& password) override;
    void SimpleMessage(const std::string& text) override;
    bool WarningQuestion(const std::string& text, const std::string& caption) override;
    void CloseApplication() override;

    TUpdateWizardForm* Wizard() const { return FWizard; }

private:
    QPointer<QWidget> FMainWindow;
    QPointer<TUpdateWizardForm> FWizard;
};
