#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class QToolButton;

// The about window: the product name, the program file's version and the two ways to
// reach the maker (home page, support mail).
class TFrm_About : public QDialog {
public:
    explicit TFrm_About(QWidget* parent = nullptr);
    ~TFrm_About() override;

    void L_HomepageClick();
    void Tb_EmailClick();
    void Btn_HelpClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();

    QLabel* bk = nullptr;
    QLabel* L_EName = nullptr;
    QLabel* L_VerInfo = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* L_Homepage = nullptr;
    QLabel* L_Email = nullptr;
    QToolButton* TransparentButton2 = nullptr;
    QToolButton* Tb_Email = nullptr;
    QPushButton* Btn_Help = nullptr;
};

extern TFrm_About* Frm_About;
