#include "app/ui/TFrm_Wizard.h"

#include "app/LauncherHints.h"
#include "app/ProgramVersion.h"
#include "app/ui/ModalWindow.h"
#include "core/ui/Pictures.h"
#include "app/ui/TFrm_Tips.h"
#include "app/ui/TMorvaneApplication.h"
#include "analysis/ui/TFrm_Main.h"
#include "app/ui/TPictureButton.h"
#include "clean/ui/TfrmCleaning.h"
#include "options/ui/TfrmOption.h"
#include "privacy/ui/TfrmWipe.h"
#include "programs/ui/TfrmUninstall.h"
#include "core/DateTime.h"
#include "core/EMorvaneError.h"
#include "core/TSetting.h"
#include "platform/Locale.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

TFrm_Wizard* Frm_Wizard = nullptr;

namespace {

QFont PixelFont(const QString& family, int pixels, bool bold) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void SetTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    return label;
}

} // namespace

TFrm_Wizard::TFrm_Wizard(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("Frm_Wizard"));
    // The settings exist before any control or later window could ask for them.
    Setting = new TSetting(SettingsFilePath());
    if (!Setting->LoadErrorText().empty())
        TMorvaneApplication::ShowException(Setting->LoadErrorText());
    CreateControls();
    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &TFrm_Wizard::Timer1Timer);
    Timer1.start();
}

TFrm_Wizard::~TFrm_Wizard() {
    Timer1.stop();
    // The owned windows may still look at the settings while they are destroyed, so they
    // go first.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isWindow())
            delete child;
    FormDestroy();
    if (Frm_Wizard == this)
        Frm_Wizard = nullptr;
}

void TFrm_Wizard::CreateControls() {
    setWindowTitle(QStringLiteral("Morvane --- Ostrel "));
    setWindowIcon(ProgramIcon());
    setFixedSize(468, 329);
    QPalette back = palette();
    back.setColor(QPalette::Window, QColor(240, 240, 255));
    setPalette(back);
    setAutoFillBackground(true);
    setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11, false));
    SetTextColor(this, QColor(0, 0, 128));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
    Image1->setPixmap(Picture(QStringLiteral("banner"), QSize(468, 38)));
    Image1->setGeometry(0, 0, 468, 38);

    Label2 = AddLabel(this, "Label2", QStringLiteral("Morvane --- Ostrel "), 12, 9);
    Label2->setFont(PixelFont(QStringLiteral("SimSun"), 19, true));
    SetTextColor(Label2, Qt::white);
    Label2->setAttribute(Qt::WA_TranslucentBackground);
    Label2->adjustSize();

    const QFont infoFont = PixelFont(QStringLiteral("SimSun"), 12, true);
    Label1 = AddLabel(this, "Label1", QStringLiteral("最近清理日期:"), 10, 56);
    Label1->setFont(infoFont);
    SetTextColor(Label1, Qt::black);
    lDate = AddLabel(this, "lDate", QString(), 18, 76);
    lDate->setFixedWidth(110);
    Label3 = AddLabel(this, "Label3", QStringLiteral("版本号:"), 10, 108);
    Label3->setFont(infoFont);
    SetTextColor(Label3, Qt::black);
    lVersion = AddLabel(this, "lVersion", QString(), 18, 128);
    lVersion->setFixedWidth(110);
    for (QLabel* label : {Label1, Label3})
        label->adjustSize();

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::VLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(128, 44, 4, 230);

    Image8 = new QLabel(this);
    Image8->setObjectName(QStringLiteral("Image8"));
    Image8->setScaledContents(true);
    Image8->setPixmap(Picture(QStringLiteral("launcher-back"), QSize(313, 182)));
    Image8->setGeometry(136, 43, 313, 182);

    imgClean = AddPictureButton("imgClean", "clean", 1, 160, 53,
                                QStringLiteral("智能引擎支持下的快速垃圾文件清理..."));
    ImgDiag = AddPictureButton("ImgDiag", "diag", 2, 256, 53,
                               QStringLiteral("磁盘空间目录级分析，通过图表让你直观地找出磁盘占用的原因..."));
    ImgOption = AddPictureButton("ImgOption", "option", 3, 352, 53,
                                 QStringLiteral("高级配置，定制你的参数 ..."));
    ImgWipe = AddPictureButton("ImgWipe", "wipe", 4, 160, 149,
                               QStringLiteral("保护上网安全和隐私功能，擦除你上网留下的纪录..."));
    ImgHelp = AddPictureButton("ImgHelp", "help", 5, 354, 149,
                               QString::fromStdString(HelpButtonHint()));
    ImgUninstall = AddPictureButton("ImgUninstall", "uninstall", 6, 258, 149,
                                    QStringLiteral("计算机上应用程序管理，清理长期不用的应用程序可以大幅提升效率..."));
    connect(ImgHelp, &TPictureButton::clicked, this, &TFrm_Wizard::ImgHelpClick);
    connect(imgClean, &TPictureButton::clicked, this, &TFrm_Wizard::imgCleanClick);
    connect(ImgOption, &TPictureButton::clicked, this, &TFrm_Wizard::ImgOptionClick);
    connect(ImgWipe, &TPictureButton::clicked, this, &TFrm_Wizard::ImgWipeClick);
    connect(ImgUninstall, &TPictureButton::clicked, this, &TFrm_Wizard::ImgUninstallClick);
    connect(ImgDiag, &TPictureButton::clicked, this, &TFrm_Wizard::ImgDiagClick);

    mInfo = new QPlainTextEdit(QStringLiteral("提示: 点击功能按钮进入相应功能..."), this);
    mInfo->setObjectName(QStringLiteral("mInfo"));
    mInfo->setReadOnly(true);
    mInfo->setFrameShape(QFrame::NoFrame);
    mInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mInfo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mInfo->setFocusPolicy(Qt::NoFocus);
    mInfo->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 13, true));
    QPalette hint = mInfo->palette();
    hint.setColor(QPalette::Text, Qt::blue);
    hint.setColor(QPalette::Base, QColor(240, 240, 255));
    mInfo->setPalette(hint);
    mInfo->setGeometry(136, 232, 313, 37);

    RzSeparator1 = new QFrame(this);
    RzSeparator1->setObjectName(QStringLiteral("RzSeparator1"));
    RzSeparator1->setFrameShape(QFrame::HLine);
    RzSeparator1->setFrameShadow(QFrame::Sunken);
    RzSeparator1->setGeometry(0, 280, 468, 4);

    btnClean = new QFrame(this);
    btnClean->setObjectName(QStringLiteral("btnClean"));
    btnClean->setGeometry(0, 284, 468, 45);
    Btn_Exit = new QPushButton(QStringLiteral("&关闭Morvane"), btnClean);
    Btn_Exit->setObjectName(QStringLiteral("Btn_Exit"));
    Btn_Exit->setCursor(Qt::PointingHandCursor);
    Btn_Exit->setGeometry(358, 9, 100, 27);
    connect(Btn_Exit, &QPushButton::clicked, this, &TFrm_Wizard::Btn_ExitClick);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TPictureButton* TFrm_Wizard::AddPictureButton(const char* name, const char* picture, int tag,
                                              int left, int top, const QString& hint) {
    auto* button = new TPictureButton(QString::fromLatin1(name),
                                      Picture(QString::fromLatin1(picture), QSize(70, 62)), tag, this);
    button->move(left, top);
    button->setToolTip(hint);
    return button;
}

void TFrm_Wizard::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous() || FShown)
        return;
    FShown = true;
    FormShow();
}

void TFrm_Wizard::FormShow() {
    lVersion->setText(QString::fromLatin1(ProgramVersion::Number));
    const Platform::TLocaleFormats locale = Platform::LocaleFormats();
    lDate->setText(QString::fromStdString(
        FormatDateTime("ddddd", Setting->LastCleanDate(), locale)));
    if (Setting->AutoUpdate() && FAutoUpdateCheck)
        FAutoUpdateCheck();
    // The tips come up over the launcher once it is on the screen.
    if (Setting->ShowTips())
        QTimer::singleShot(0, this, &TFrm_Wizard::ShowTipsWindow);
}

void TFrm_Wizard::FormDestroy() {
    if (!Setting)
        return;
    try {
        Setting->SaveToFile(SettingsFilePath());
    } catch (const EMorvaneError& e) {
        TMorvaneApplication::ShowException(e.what());
    }
    delete Setting;
    Setting = nullptr;
}

void TFrm_Wizard::Timer1Timer() { UpdateHintLine(mapFromGlobal(QCursor::pos())); }

void TFrm_Wizard::UpdateHintLine(QPoint clientPoint) {
    // The order decides which button wins where two would overlap.
    const std::array<TPictureButton*, 6> order = {imgClean, ImgDiag, ImgOption,
                                                  ImgWipe, ImgHelp, ImgUninstall};
    std::array<THintTarget, 6> targets;
    for (size_t i = 0; i < order.size(); ++i) {
        const QRect r = order[i]->geometry();
        targets[i] = {r.left(), r.top(), r.width(), r.height(), order[i]->Tag()};
    }
    const THintTarget* hit = TargetAt(targets, clientPoint.x(), clientPoint.y());
    if (!hit || hit->Tag <= 0)
        return;
    const QString text = QString::fromStdString(HintLineText(hit->Tag));
    if (mInfo->toPlainText() != text)
        mInfo->setPlainText(text);
}

void TFrm_Wizard::ShowTipsWindow() {
    if (Frm_Tips)
        RunModal(Frm_Tips);
}

void TFrm_Wizard::ImgHelpClick() { ShowTipsWindow(); }

// The cleaning window lives for the whole run and keeps its list between openings.
void TFrm_Wizard::imgCleanClick() { ShowModalWindow(frmCleaning, this, TAfterModal::Close); }

// Every later opening of the options starts from the settings as they are then.
void TFrm_Wizard::ImgOptionClick() { ShowModalWindow(frmOption, this, TAfterModal::Free); }

void TFrm_Wizard::ImgWipeClick() { ShowModalWindow(frmWipe, this, TAfterModal::Free); }

void TFrm_Wizard::ImgUninstallClick() { ShowModalWindow(frmUninstall, this, TAfterModal::Free); }

void TFrm_Wizard::ImgDiagClick() { ShowModalWindow(Frm_Main, this, TAfterModal::Free); }

void TFrm_Wizard::Btn_ExitClick() {
    // Ends the message loop; the windows are then destroyed and the settings saved.
    QCoreApplication::exit(0);
}

void TFrm_Wizard::closeEvent(QCloseEvent* event) {
    event->accept();
    QCoreApplication::exit(0);
}
