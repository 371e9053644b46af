#pragma once

#include "app/TTips.h"

#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QTextBrowser;

// The daily tips: one tip at a time from the tips file, shown as a small HTML page. Its
// close button ends it (and the close box, where a window manager adds one); it cannot be
// minimised. The check box decides whether it comes up at start.
class TFrm_Tips : public QDialog {
public:
    explicit TFrm_Tips(QWidget* parent = nullptr);
    ~TFrm_Tips() override;

    // Reads the tips file of the program folder and shows tip 1.
    void LoadTips();
    // Rewrites the tips page with tip index (empty above the tips read) and shows it.
    void ShowTip(int index);

    void Btn_NextTipsClick();
    void Btn_DeletePlanClick();
    void Ckb_HintClick();

    const TTips& Tips() const { return FTips; }

    // Esc does not close the tips.
    void reject() override {}

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormShow();

    QFrame* Panel1 = nullptr;
    QFrame* Panel2 = nullptr;
    QLabel* Image1 = nullptr;
    QFrame* P_Tips = nullptr;
    QLabel* Label1 = nullptr;
    QFrame* Bevel1 = nullptr;
    QTextBrowser* wbTips = nullptr;
    QPushButton* Btn_NextTips = nullptr;
    QPushButton* Btn_DeletePlan = nullptr;
    QCheckBox* Ckb_Hint = nullptr;

    TTips FTips;
};

extern TFrm_Tips* Frm_Tips;
