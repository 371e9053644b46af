#include "app/ui/TFrm_Splash.h"

#include "core/ui/Pictures.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QPropertyAnimation>
#include <QScreen>
#include <QShowEvent>

TFrm_Splash::TFrm_Splash(QWidget* parent)
    // Not kept on top: nothing else comes up during start-up but an error box, which the
    // splash must not cover.
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("Frm_Splash"));
    setFixedSize(342, 174);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(Picture(QStringLiteral("splash"), QSize(344, 176)));
    Image2->setGeometry(0, 0, 344, 176);

    lProductTitle = new QLabel(this);
    lProductTitle->setObjectName(QStringLiteral("lProductTitle"));
    QFont font(QStringLiteral("Microsoft Sans Serif"));
    font.setPixelSize(14);
    font.setBold(true);
    lProductTitle->setFont(font);
    QPalette navy = lProductTitle->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    lProductTitle->setPalette(navy);
    lProductTitle->setAttribute(Qt::WA_TranslucentBackground);
    lProductTitle->move(24, 120);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TFrm_Splash::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFrm_Splash::FormShow() {
    lProductTitle->setText(QStringLiteral("Morvane --- Ostrel  "));
    lProductTitle->adjustSize();
}

void TFrm_Splash::ShowFadingIn() {
    // Window opacity stands for the blend animation; where the window system cannot blend,
    // the window simply appears and the wait keeps the same length.
    setWindowOpacity(0.0);
    show();
    QPropertyAnimation fade(this, "windowOpacity");
    fade.setDuration(FadeTime);
    fade.setStartValue(0.0);
    fade.setEndValue(1.0);
    QEventLoop loop;
    QObject::connect(&fade, &QPropertyAnimation::finished, &loop, &QEventLoop::quit);
    fade.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    setWindowOpacity(1.0);
    repaint();
}
