#pragma once

#include <functional>
#include <string>

// The windows and message boxes of an update, as the update agent drives them. The window
// layer implements it with real windows; tests script the answers.
class IUpdateUi {
public:
    virtual ~IUpdateUi() = default;

    // The ask window with its label text; true when answered with yes.
    virtual bool AskUpgrade(const std::string& text) = 0;

    // Shows the wizard (not modal). cancelled runs after the user confirmed, in the
    // wizard's own question, that the upgrade is to be abandoned; the wizard is closed then.
    virtual void ShowWizard(bool stayOnTop, std::function<void()> cancelled) = 0;
    virtual void WizardFile(const std::string& url, const std::string& allDownloading) = 0;
    virtual void WizardFileSize(const std::string& text) = 0;
    virtual void WizardProgress(int currentPercent, int allPercent, const std::string& rate,
                                const std::string& timeLeft) = 0;
    // Turns the wizard to its finished state with this note.
    virtual void WizardFinished(const std::string& afterNote) = 0;
    // Returns when the wizard has been closed, keeping the user interface responsive:
    // true when it was closed with its OK button, false when it was cancelled or the
    // program is ending.
    virtual bool WaitForWizardClose() = 0;
    // Closes and frees the wizard if it is open.
    virtual void CloseWizard() = 0;

    // The password window; true for OK with the two fields, false for Cancel.
    virtual bool PasswordWindow(const std::string& text, std::string& userName,
                                std::string& password) = 0;

    // A message box with the caption of text 0 and the error icon.
    virtual void SimpleMessage(const std::string& text) = 0;
    // A yes/no message box with the warning icon; true for yes.
    virtual bool WarningQuestion(const std::string& text, const std::string& caption) = 0;
    // A yes/no message box with the caption of text 0 and the question icon; true for yes.
    virtual bool Question(const std::string& text) = 0;

    // Ends the program, as its own exit command does.
    virtual void CloseApplication() = 0;
};
