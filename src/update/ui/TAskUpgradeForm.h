#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QPushButton;

// Asks whether the newer version is to be installed now.
class TAskUpgradeForm : public QDialog {
public:
    // text: the question with the program title and the update's message filled in.
    explicit TAskUpgradeForm(const std::string& text, QWidget* parent = nullptr);

private:
    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QWidget* BottomPanel = nullptr;
    QPushButton* YesBtn = nullptr;
    QPushButton* LaterBtn = nullptr;
};
