#include "app/ui/TFrm_About.h"

#include "app/FileVersion.h"
#include "app/ui/CaptionOnlyWindow.h"
#include "core/MakerAddresses.h"
#include "core/MailTexts.h"
#include "core/ui/Pictures.h"
#include "platform/IShell.h"
#include "platform/ProgramFolder.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>

#include <functional>

TFrm_About* Frm_About = nullptr;

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
    palette.setColor(QPalette::ButtonText, color);
    widget->setPalette(palette);
}

// A label that looks and acts like a web link.
QLabel* AddLink(QWidget* parent, const char* name, const char* text, int left, int top) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font = PixelFont(QStringLiteral("SimSun"), 13, false);
    font.setUnderline(true);
    label->setFont(font);
    SetTextColor(label, Qt::blue);
    label->setCursor(Qt::PointingHandCursor);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QToolButton* AddFlatButton(QWidget* parent, const char* name, const QString& text,
                           const char* glyph, const QRect& bounds) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setIcon(QIcon(Picture(QString::fromLatin1(glyph), QSize(16, 16))));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setGeometry(bounds);
    return button;
}

// Clicks on a label, which has no clicked signal of its own.
class TClickFilter : public QObject {
public:
    TClickFilter(QObject* parent, std::function<void()> onClick)
        : QObject(parent), FOnClick(std::move(onClick)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            FOnClick();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> FOnClick;
};

} // namespace

TFrm_About::TFrm_About(QWidget* parent)
    : QDialog(parent, CaptionOnlyFlags()) {
    RestoreWhenMinimised(this);
    setObjectName(QStringLiteral("Frm_About"));
    setWindowTitle(QStringLiteral("About..."));
    setFixedSize(349, 206);

    bk = new QLabel(this);
    bk->setObjectName(QStringLiteral("bk"));
    bk->setPixmap(Picture(QStringLiteral("bk"), QSize(96, 96)));
    bk->setGeometry(0, 0, 96, 96);

    L_EName = new QLabel(QStringLiteral("Morvane"), this);
    L_EName->setObjectName(QStringLiteral("L_EName"));
    L_EName->setFont(PixelFont(QStringLiteral("Times New Roman"), 35, true));
    SetTextColor(L_EName, QColor(128, 0, 128));
    L_EName->move(112, 14);
    L_EName->adjustSize();

    L_VerInfo = new QLabel(this);
    L_VerInfo->setObjectName(QStringLiteral("L_VerInfo"));
    L_VerInfo->setFont(PixelFont(QStringLiteral("Arial"), 12, false));
    SetTextColor(L_VerInfo, Qt::black);
    L_VerInfo->setGeometry(116, 62, 220, 18);

    L_Homepage = AddLink(this, "L_Homepage", MakerAddresses::HomePage, 16, 104);
    L_Email = AddLink(this, "L_Email", MakerAddresses::SupportMail, 16, 128);
    L_Homepage->installEventFilter(new TClickFilter(L_Homepage, [this] { L_HomepageClick(); }));
    L_Email->installEventFilter(new TClickFilter(L_Email, [this] { Tb_EmailClick(); }));

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(8, 158, 333, 3);

    TransparentButton2 = AddFlatButton(this, "TransparentButton2", QStringLiteral("&官方网站"), "web",
                                       QRect(8, 169, 92, 28));
    Tb_Email = AddFlatButton(this, "Tb_Email", QStringLiteral("官方Blog"), "mail",
                             QRect(104, 169, 92, 28));
    Btn_Help = new QPushButton(QStringLiteral("以后再说"), this);
    Btn_Help->setObjectName(QStringLiteral("Btn_Help"));
    Btn_Help->setGeometry(258, 170, 82, 26);
    Btn_Help->setDefault(true);

    connect(TransparentButton2, &QToolButton::clicked, this, &TFrm_About::L_HomepageClick);
    connect(Tb_Email, &QToolButton::clicked, this, &TFrm_About::Tb_EmailClick);
    connect(Btn_Help, &QPushButton::clicked, this, &TFrm_About::Btn_HelpClick);
    FormCreate();
}

TFrm_About::~TFrm_About() {
    if (Frm_About == this)
        Frm_About = nullptr;
}

void TFrm_About::FormCreate() {
    // The product picture, repeated, is the window's background.
    QPalette back = palette();
    back.setBrush(QPalette::Window, QBrush(Picture(QStringLiteral("bk"), QSize(96, 96))));
    setPalette(back);
    setAutoFillBackground(true);
}

void TFrm_About::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFrm_About::FormShow() {
    L_VerInfo->setText(QStringLiteral("Version ") +
                       QString::fromStdString(GetFileVersionText(Platform::ProgramFile())));
}

void TFrm_About::L_HomepageClick() { Platform::Shell().Open(MakerAddresses::HomePage); }

void TFrm_About::Tb_EmailClick() { Platform::Shell().Open(SupportMailText()); }

void TFrm_About::Btn_HelpClick() { accept(); }
