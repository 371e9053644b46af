#include "app/ui/TPictureButton.h"

#include <QCursor>
#include <QMouseEvent>
#include <QToolTip>

TPictureButton::TPictureButton(const QString& name, const QPixmap& picture, int tag, QWidget* parent)
    : QLabel(parent), FTag(tag) {
    setObjectName(name);
    setPixmap(picture);
    resize(picture.deviceIndependentSize().toSize());
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    setStyleSheet(QStringLiteral("QToolTip { color: blue; font-weight: bold; font-size: 13px; }"));
    FHintTimer.setSingleShot(true);
    FHintTimer.setInterval(HintPause);
    connect(&FHintTimer, &QTimer::timeout, this, &TPictureButton::ShowHint);
}

bool TPictureButton::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::ToolTip: // our own timer decides when the hint appears
        return true;
    case QEvent::Enter:
        FHintTimer.start();
        break;
    case QEvent::Leave:
        FHintTimer.stop();
        QToolTip::hideText();
        break;
    default:
        break;
    }
    return QLabel::event(event);
}

void TPictureButton::ShowHint() {
    if (underMouse() && !toolTip().isEmpty())
        QToolTip::showText(QCursor::pos(), toolTip(), this);
}

void TPictureButton::mousePressEvent(QMouseEvent* event) {
    FPressed = event->button() == Qt::LeftButton;
    FHintTimer.stop();
    QToolTip::hideText();
}

void TPictureButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = FPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    FPressed = false;
    if (click)
        emit clicked();
}
