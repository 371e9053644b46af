#pragma once

#include "update/IUpdateUi.h"
#include "update/ui/TUpdateWizardForm.h"

#include <QPointer>
#include <QWidget>

// The update's dialogs as real windows. Each is owned by the window the user works in
// (the topmost modal window, else the active one, else the window that asked last), so
// it comes up above that window and takes the clicks that window would get.
class TQtUpdateUi : public IUpdateUi {
public:
    explicit TQtUpdateUi(QWidget* owner = nullptr);
    ~TQtUpdateUi() override;

    // The window the dialogs belong to when no window is active or modal.
    void SetOwner(QWidget* owner) { FOwner = owner; }
    QWidget* Owner() const;

    bool AskUpgrade(const std::string& text) override;
    void ShowWizard(bool stayOnTop, std::function<void()> cancelled) override;
    void WizardFile(const std::string& url, const std::string& allDownloading) override;
    void WizardFileSize(const std::string& text) override;
    void WizardProgress(int currentPercent, int allPercent, const std::string& rate,
                        const std::string& timeLeft) override;
    void WizardFinished(const std::string& afterNote) override;
    bool WaitForWizardClose() override;
    void CloseWizard() override;
    bool PasswordWindow(const std::string& text, std::string& userName,
                        std::string& password) override;
    void SimpleMessage(const std::string& text) override;
    bool WarningQuestion(const std::string& text, const std::string& caption) override;
    bool Question(const std::string& text) override;
    void CloseApplication() override;
    // A message box with the caption of text 0 and the information icon.
    void InformationMessage(const std::string& text);

    TUpdateWizardForm* Wizard() const { return FWizard; }

private:
    QPointer<QWidget> FOwner;
    QPointer<TUpdateWizardForm> FWizard;
    bool FWizardAccepted = false;
};
