#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

// Asks for the user name and password that a protected download needs.
class TPasswordForm : public QDialog {
public:
    TPasswordForm(const std::string& text, const std::string& userName, QWidget* parent = nullptr);

    std::string UserName() const;
    std::string Password() const;

private:
    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* UsernameLab = nullptr;
    QLineEdit* UsernameEdit = nullptr;
    QLabel* PasswordLab = nullptr;
    QLineEdit* PasswordEdit = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
};
