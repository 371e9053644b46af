#include "core/ui/Pictures.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QSvgRenderer>

// The pictures are compiled into a static library, whose resources only register when
// asked to.
static void RegisterPictures() { Q_INIT_RESOURCE(Pictures); }

QPixmap Picture(const QString& name, QSize size) {
    static const bool registered = (RegisterPictures(), true);
    (void)registered;
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/pictures/%1.svg").arg(name));
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(Picture(QStringLiteral("morvane"), QSize(side, side)));
    return icon;
}
