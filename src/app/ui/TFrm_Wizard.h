#pragma once

#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class TPictureButton;

// The launcher: the main window. It owns the settings object for the whole run, offers
// the six functions as picture buttons and describes the button under the mouse in its
// hint line.
class TFrm_Wizard : public QWidget {
public:
    // Creates and loads the settings object; a failed read is reported and the defaults
    // stay in force.
    explicit TFrm_Wizard(QWidget* parent = nullptr);
    // Saves the settings (a failure is reported) and destroys the settings object, after
    // the windows the launcher owns are gone.
    ~TFrm_Wizard() override;

    // Starts the automatic update check when the launcher is first shown and the settings
    // ask for it. The launcher does not wait for the check. Unset: no check is made.
    void SetAutoUpdateCheck(std::function<void()> check) { FAutoUpdateCheck = std::move(check); }

    // The hint line for a point in client coordinates: the text of the picture button
    // under it, or unchanged when the point is over none.
    void UpdateHintLine(QPoint clientPoint);

    void ImgHelpClick();
    void imgCleanClick();
    void ImgOptionClick();
    void ImgWipeClick();
    void ImgUninstallClick();
    void ImgDiagClick();
    void Btn_ExitClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    TPictureButton* AddPictureButton(const char* name, const char* picture, int tag, int left,
                                     int top, const QString& hint);
    void FormShow();
    void FormDestroy();
    void Timer1Timer();
    void ShowTipsWindow();

    QLabel* Image1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lDate = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* lVersion = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* Image8 = nullptr;
    QPlainTextEdit* mInfo = nullptr;
    QFrame* RzSeparator1 = nullptr;
    QFrame* btnClean = nullptr;
    QPushButton* Btn_Exit = nullptr;
    TPictureButton* imgClean = nullptr;
    TPictureButton* ImgDiag = nullptr;
    TPictureButton* ImgOption = nullptr;
    TPictureButton* ImgWipe = nullptr;
    TPictureButton* ImgHelp = nullptr;
    TPictureButton* ImgUninstall = nullptr;
    QTimer Timer1;

    std::function<void()> FAutoUpdateCheck;
    bool FShown = false;
};

extern TFrm_Wizard* Frm_Wizard;
