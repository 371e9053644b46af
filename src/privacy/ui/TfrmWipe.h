#pragma once

#include <QDialog>

class QListWidget;
class QProgressBar;
class QPushButton;

// The privacy window: the nine items with their ticks, which are settings, and one button
// that cleans every ticked item without asking. A new window for every opening.
class TfrmWipe : public QDialog {
public:
    explicit TfrmWipe(QWidget* parent = nullptr);

    void btnCleanClick();
    void RzButton6Click();

    QListWidget* clCleanOption = nullptr;
    QProgressBar* pb_Wipe = nullptr;
    QPushButton* btnClean = nullptr;
    QPushButton* RzButton6 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void clCleanOptionChange(int index, bool checked);

    bool FFilling = false;
};

extern TfrmWipe* frmWipe;
