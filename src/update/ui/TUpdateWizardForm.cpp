#include "update/ui/TUpdateWizardForm.h"

#include "update/ui/UpdateUiText.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

// The picture lives in a static library, whose resources are registered by hand.
static void InitUpdatePictures() { Q_INIT_RESOURCE(UpdatePictures); }

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& rect) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(rect);
    return label;
}

QProgressBar* MakeBar(QWidget* parent, const char* name, const QRect& rect) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setGeometry(rect);
    return bar;
}

} // namespace

TUpdateWizardForm::TUpdateWizardForm(bool stayOnTop, QWidget* parent) : QDialog(parent) {
    InitUpdatePictures();
    setObjectName(QStringLiteral("UpdateWizardForm"));
    setWindowTitle(DisplayText(0));
    Qt::WindowFlags flags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                            Qt::WindowCloseButtonHint;
    if (stayOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    setWindowFlags(flags);
    setFixedSize(570, 346);

    WizardPicture = new QLabel(this);
    WizardPicture->setObjectName(QStringLiteral("WizardPicture"));
    WizardPicture->setGeometry(12, 12, 118, 218);
    WizardPicture->setPixmap(QIcon(QStringLiteral(":/update/wizard.svg")).pixmap(118, 218));

    AboutShadow = MakeLabel(this, "AboutShadow", QStringLiteral(" Morvane Update "),
                            QRect(13, 241, 118, 20));
    AboutShadow->setStyleSheet(QStringLiteral("color: #a0a0a0; font-weight: bold;"));
    AboutLabel = MakeLabel(this, "AboutLabel", QStringLiteral(" Morvane Update "),
                           QRect(12, 240, 118, 20));
    AboutLabel->setStyleSheet(QStringLiteral("color: #1f5fa8; font-weight: bold;"));

    WizardTitle = MakeLabel(this, "WizardTitle", DisplayText(1), QRect(146, 12, 410, 26));
    QFont titleFont = WizardTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.35);
    WizardTitle->setFont(titleFont);

    LCurrentFile = new QGroupBox(QStringLiteral(" ") + DisplayText(3) + QStringLiteral(" "), this);
    LCurrentFile->setObjectName(QStringLiteral("LCurrentFile"));
    LCurrentFile->setGeometry(146, 46, 410, 160);
    LDownloadingFileFrom =
        MakeLabel(LCurrentFile, "LDownloadingFileFrom", DisplayText(5), QRect(12, 24, 386, 18));
    FileURL = new QLineEdit(LCurrentFile);
    FileURL->setObjectName(QStringLiteral("FileURL"));
    FileURL->setReadOnly(true);
    FileURL->setGeometry(12, 44, 386, 22);
    FileSizeLab = MakeLabel(LCurrentFile, "FileSizeLab", QString(), QRect(12, 72, 190, 18));
    TransferRateLab = MakeLabel(LCurrentFile, "TransferRateLab", QString(), QRect(208, 72, 190, 18));
    EstimatedTimeLeftLab =
        MakeLabel(LCurrentFile, "EstimatedTimeLeftLab", DisplayText(22), QRect(12, 94, 386, 18));
    ProgressCurrentFile = MakeBar(LCurrentFile, "ProgressCurrentFile", QRect(12, 122, 386, 20));

    LAllFiles = new QGroupBox(QStringLiteral(" ") + DisplayText(4) + QStringLiteral(" "), this);
    LAllFiles->setObjectName(QStringLiteral("LAllFiles"));
    LAllFiles->setGeometry(146, 214, 410, 76);
    AllDownloading = MakeLabel(LAllFiles, "AllDownloading", QString(), QRect(12, 22, 386, 18));
    ProgressAllFiles = MakeBar(LAllFiles, "ProgressAllFiles", QRect(12, 44, 386, 20));

    AfterNote = MakeLabel(this, "AfterNote", QString(), QRect(146, 56, 410, 180));
    AfterNote->setWordWrap(true);
    AfterNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    AfterNote->hide();

    auto* bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(12, 300, 546, 4);

    FinishBtn = new QPushButton(DisplayText(18), this);
    FinishBtn->setObjectName(QStringLiteral("FinishBtn"));
    FinishBtn->setGeometry(396, 312, 75, 25);
    FinishBtn->setEnabled(false);
    connect(FinishBtn, &QPushButton::clicked, this, [this] {
        FClosing = true;
        accept();
    });
    CancelBtn = new QPushButton(DisplayText(17), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(481, 312, 75, 25);
    connect(CancelBtn, &QPushButton::clicked, this, [this] { CancelBtnClick(); });
}

void TUpdateWizardForm::SetFile(const std::string& url, const std::string& allDownloading) {
    FileURL->setText(QString::fromStdString(url));
    AllDownloading->setText(DisplayText(allDownloading));
    ProgressCurrentFile->setValue(0);
}

void TUpdateWizardForm::SetFileSize(const std::string& text) { FileSizeLab->setText(DisplayText(text)); }

void TUpdateWizardForm::SetProgress(int currentPercent, int allPercent, const std::string& rate,
                                    const std::string& timeLeft) {
    ProgressCurrentFile->setValue(std::clamp(currentPercent, 0, 100));
    ProgressAllFiles->setValue(std::clamp(allPercent, 0, 100));
    TransferRateLab->setText(DisplayText(rate));
    EstimatedTimeLeftLab->setText(DisplayText(timeLeft));
}

void TUpdateWizardForm::Finish(const std::string& afterNote) {
    FFinished = true;
    WizardTitle->setText(DisplayText(2));
    AfterNote->setText(DisplayText(afterNote));
    AfterNote->show();
    LCurrentFile->hide();
    LAllFiles->hide();
    CancelBtn->setEnabled(false);
    FinishBtn->setText(DisplayText(16));
    FinishBtn->setEnabled(true);
    FinishBtn->setDefault(true);
    FinishBtn->setFocus();
}

void TUpdateWizardForm::ForceClose() {
    FClosing = true;
    done(QDialog::Rejected);
}

bool TUpdateWizardForm::ConfirmCancel() {
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(), DisplayText(27),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setObjectName(QStringLiteral("ConfirmCancelBox"));
    return box.exec() == QMessageBox::Yes;
}

void TUpdateWizardForm::CancelBtnClick() {
    if (!ConfirmCancel())
        return;
    ForceClose();
    if (OnCancelled)
        OnCancelled();
}

void TUpdateWizardForm::reject() {
    // Escape asks like the Cancel button; a forced close goes straight through.
    if (FClosing)
        QDialog::reject();
    else
        CancelBtnClick();
}

void TUpdateWizardForm::closeEvent(QCloseEvent* event) {
    if (FClosing) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    CancelBtnClick();
}
