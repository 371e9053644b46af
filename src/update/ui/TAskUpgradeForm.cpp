#include "update/ui/TAskUpgradeForm.h"

#include "update/ui/UpdateUiText.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace {

constexpr int ClientWidth = 318;
constexpr int PanelHeight = 45;
constexpr int LabelLeft = 56;
constexpr int LabelTop = 12;

} // namespace

TAskUpgradeForm::TAskUpgradeForm(const std::string& text, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AskUpgradeForm"));
    setWindowTitle(DisplayText(0));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(12, LabelTop, 32, 32);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setText(DisplayText(text));
    const int labelWidth = ClientWidth - LabelLeft - 11;
    Label1->setGeometry(LabelLeft, LabelTop, labelWidth, Label1->heightForWidth(labelWidth));

    const int labelBottom = Label1->geometry().bottom() + 1;
    BottomPanel = new QWidget(this);
    BottomPanel->setObjectName(QStringLiteral("BottomPanel"));
    BottomPanel->setGeometry(0, labelBottom, ClientWidth, PanelHeight);

    YesBtn = new QPushButton(DisplayText(14), BottomPanel);
    YesBtn->setObjectName(QStringLiteral("YesBtn"));
    YesBtn->setGeometry(ClientWidth / 2 - 80, 10, 75, 25);
    YesBtn->setDefault(true);
    connect(YesBtn, &QPushButton::clicked, this, &QDialog::accept);

    LaterBtn = new QPushButton(DisplayText(19), BottomPanel);
    LaterBtn->setObjectName(QStringLiteral("LaterBtn"));
    LaterBtn->setGeometry(ClientWidth / 2 + 5, 10, 75, 25);
    connect(LaterBtn, &QPushButton::clicked, this, &QDialog::reject); // Escape answers no too

    setFixedSize(ClientWidth, labelBottom + PanelHeight);
}
