#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// Shows the downloads of an update: the current file, both progress bars, and at the end
// the note that the program restarts. Not modal; the update agent drives it.
class TUpdateWizardForm : public QDialog {
public:
    explicit TUpdateWizardForm(bool stayOnTop, QWidget* parent = nullptr);

    // Runs when the user has confirmed that the upgrade is to be abandoned; the wizard
    // closes itself afterwards.
    std::function<void()> OnCancelled;

    void SetFile(const std::string& url, const std::string& allDownloading);
    void SetFileSize(const std::string& text);
    void SetProgress(int currentPercent, int allPercent, const std::string& rate,
                     const std::string& timeLeft);
    // The finished state: the note shown, the groups hidden, OK offered.
    void Finish(const std::string& afterNote);
    // Closes without asking.
    void ForceClose();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void CancelBtnClick();
    bool ConfirmCancel();

    QLabel* WizardPicture = nullptr;
    QLabel* WizardTitle = nullptr;
    QLabel* AboutShadow = nullptr;
    QLabel* AboutLabel = nullptr;
    QGroupBox* LCurrentFile = nullptr;
    QLabel* LDownloadingFileFrom = nullptr;
    QLineEdit* FileURL = nullptr;
    QLabel* FileSizeLab = nullptr;
    QLabel* TransferRateLab = nullptr;
    QLabel* EstimatedTimeLeftLab = nullptr;
    QProgressBar* ProgressCurrentFile = nullptr;
    QGroupBox* LAllFiles = nullptr;
    QLabel* AllDownloading = nullptr;
    QProgressBar* ProgressAllFiles = nullptr;
    QLabel* AfterNote = nullptr;
    QPushButton* FinishBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    bool FFinished = false;
    bool FClosing = false;
};
