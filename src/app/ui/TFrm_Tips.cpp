#include "app/ui/TFrm_Tips.h"

#include "app/ProgramDir.h"
#include "app/ui/CaptionOnlyWindow.h"
#include "core/ui/Pictures.h"
#include "app/ui/TMorvaneApplication.h"
#include "core/TSetting.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTextBrowser>
#include <QUrl>

TFrm_Tips* Frm_Tips = nullptr;

namespace {

QFont PixelFont(const QString& family, int pixels, bool bold) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QFrame* AddPanel(QWidget* parent, const char* name, const QRect& bounds, const QColor& color) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setGeometry(bounds);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, color);
    panel->setPalette(palette);
    panel->setAutoFillBackground(true);
    return panel;
}

QString PathString(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return QString::fromUtf8(reinterpret_cast<const char*>(text.data()), qsizetype(text.size()));
}

} // namespace

TFrm_Tips::TFrm_Tips(QWidget* parent) : QDialog(parent, CaptionOnlyFlags()) {
    setObjectName(QStringLiteral("Frm_Tips"));
    RestoreWhenMinimised(this);
    setWindowTitle(QStringLiteral("每日技巧"));
    setFixedSize(430, 264);
    QFont font = PixelFont(QStringLiteral("MS Sans Serif"), 12, false);
    setFont(font);

    Panel1 = AddPanel(this, "Panel1", QRect(8, 8, 413, 219), palette().color(QPalette::Window));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setFrameShadow(QFrame::Sunken);
    Panel2 = AddPanel(Panel1, "Panel2", QRect(1, 1, 65, 217), QColor(200, 200, 200));
    Image1 = new QLabel(Panel2);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(Picture(QStringLiteral("tip"), QSize(32, 32)));
    Image1->setGeometry(16, 14, 32, 32);

    P_Tips = AddPanel(Panel1, "P_Tips", QRect(66, 1, 346, 217), Qt::white);
    Label1 = new QLabel(QStringLiteral("你知道这些技巧吗 ..."), P_Tips);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(PixelFont(QStringLiteral("Arial Black"), 16, true));
    Label1->setGeometry(10, 6, 330, 24);
    Bevel1 = new QFrame(P_Tips);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(8, 32, 330, 3);
    wbTips = new QTextBrowser(P_Tips);
    wbTips->setObjectName(QStringLiteral("wbTips"));
    wbTips->setFrameShape(QFrame::NoFrame);
    wbTips->setOpenLinks(false);
    wbTips->setGeometry(0, 38, 346, 177);

    Ckb_Hint = new QCheckBox(QStringLiteral("&每次启动时显示技巧"), this);
    Ckb_Hint->setObjectName(QStringLiteral("Ckb_Hint"));
    Ckb_Hint->setGeometry(10, 235, 200, 22);
    Btn_NextTips = new QPushButton(QStringLiteral("下一条"), this);
    Btn_NextTips->setObjectName(QStringLiteral("Btn_NextTips"));
    Btn_NextTips->setGeometry(258, 233, 78, 25);
    Btn_DeletePlan = new QPushButton(QStringLiteral("关  闭"), this);
    Btn_DeletePlan->setObjectName(QStringLiteral("Btn_DeletePlan"));
    Btn_DeletePlan->setGeometry(343, 233, 78, 25);
    Btn_DeletePlan->setDefault(true);

    connect(Btn_NextTips, &QPushButton::clicked, this, &TFrm_Tips::Btn_NextTipsClick);
    connect(Btn_DeletePlan, &QPushButton::clicked, this, &TFrm_Tips::Btn_DeletePlanClick);
    // clicked, not toggled: only the user's click changes the setting.
    connect(Ckb_Hint, &QCheckBox::clicked, this, &TFrm_Tips::Ckb_HintClick);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    ProgramDir = ProgramFolderWithSeparator();
    // A page that cannot be written is reported; the window is still made.
    try {
        LoadTips();
    } catch (const std::exception& e) {
        TMorvaneApplication::ShowException(e.what());
    }
}

TFrm_Tips::~TFrm_Tips() {
    if (Frm_Tips == this)
        Frm_Tips = nullptr;
}

void TFrm_Tips::LoadTips() {
    if (FTips.LoadTips(ProgramDir / "Tips.CFG"))
        ShowTip(FTips.TipIndex());
}

void TFrm_Tips::ShowTip(int index) {
    const std::filesystem::path page = ProgramDir / "tips.htm";
    WriteTipsPage(page, FTips.Tip(index));
    const QUrl url = QUrl::fromLocalFile(PathString(page));
    if (wbTips->source() == url)
        wbTips->reload();
    else
        wbTips->setSource(url);
}

void TFrm_Tips::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFrm_Tips::FormShow() {
    Ckb_Hint->setChecked(Setting && Setting->ShowTips());
    Btn_DeletePlan->setFocus();
}

// Where the window manager gives the window a close box, it closes as the button does.
void TFrm_Tips::closeEvent(QCloseEvent* event) {
    event->accept();
    if (isVisible())
        Btn_DeletePlanClick();
}

void TFrm_Tips::Btn_NextTipsClick() { ShowTip(FTips.NextTip()); }

void TFrm_Tips::Btn_DeletePlanClick() { accept(); }

void TFrm_Tips::Ckb_HintClick() {
    if (!Setting)
        return;
    Setting->SetShowTips(Ckb_Hint->isChecked());
    Setting->SaveToFile(SettingsFilePath());
}
