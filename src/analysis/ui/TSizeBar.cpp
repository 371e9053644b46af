#include "analysis/ui/TSizeBar.h"

#include <QMouseEvent>
#include <QPainter>

TSizeBar::TSizeBar(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), FOrientation(orientation) {
    if (orientation == Qt::Horizontal)
        setFixedHeight(Thickness);
    else
        setFixedWidth(Thickness);
    setToolTip("Collapse/Expand Directory Information");
}

QRect TSizeBar::HotSpot() const {
    const int length = 60;
    if (FOrientation == Qt::Horizontal)
        return QRect((width() - length) / 2, 0, length, height());
    return QRect(0, (height() - length) / 2, width(), length);
}

void TSizeBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    // The groove: a dark and a light line along the bar.
    painter.setPen(palette().color(QPalette::Dark));
    if (FOrientation == Qt::Horizontal)
        painter.drawLine(0, Thickness / 2 - 1, width(), Thickness / 2 - 1);
    else
        painter.drawLine(Thickness / 2 - 1, 0, Thickness / 2 - 1, height());
    painter.setPen(palette().color(QPalette::Light));
    if (FOrientation == Qt::Horizontal)
        painter.drawLine(0, Thickness / 2, width(), Thickness / 2);
    else
        painter.drawLine(Thickness / 2, 0, Thickness / 2, height());
    painter.fillRect(HotSpot(), palette().color(QPalette::Mid));
}

void TSizeBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && HotSpot().contains(event->position().toPoint()))
        emit HotSpotClicked();
    QWidget::mousePressEvent(event);
}
