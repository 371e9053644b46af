#include "update/ui/TPasswordForm.h"

#include "update/ui/UpdateUiText.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

TPasswordForm::TPasswordForm(const std::string& text, const std::string& userName, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("PasswordForm"));
    setWindowTitle(DisplayText(11));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(297, 141);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(8, 8, 32, 32);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));

    Label1 = new QLabel(DisplayText(text), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setGeometry(48, 6, 241, 52);

    UsernameLab = new QLabel(DisplayText(12), this);
    UsernameLab->setObjectName(QStringLiteral("UsernameLab"));
    UsernameLab->setGeometry(8, 62, 80, 21);
    UsernameEdit = new QLineEdit(QString::fromStdString(userName), this);
    UsernameEdit->setObjectName(QStringLiteral("UsernameEdit"));
    UsernameEdit->setGeometry(90, 62, 199, 21);

    PasswordLab = new QLabel(DisplayText(13), this);
    PasswordLab->setObjectName(QStringLiteral("PasswordLab"));
    PasswordLab->setGeometry(8, 88, 80, 21);
    PasswordEdit = new QLineEdit(this);
    PasswordEdit->setObjectName(QStringLiteral("PasswordEdit"));
    PasswordEdit->setEchoMode(QLineEdit::Password);
    PasswordEdit->setGeometry(90, 88, 199, 21);

    OKBtn = new QPushButton(DisplayText(16), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(132, 113, 75, 24);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    CancelBtn = new QPushButton(DisplayText(17), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(214, 113, 75, 24);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

std::string TPasswordForm::UserName() const { return UsernameEdit->text().toStdString(); }

std::string TPasswordForm::Password() const { return PasswordEdit->text().toStdString(); }
