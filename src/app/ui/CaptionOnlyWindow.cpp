#include "app/ui/CaptionOnlyWindow.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>

namespace {

class TRestoreWhenMinimised : public QObject {
public:
    explicit TRestoreWhenMinimised(QWidget* window) : QObject(window), FWindow(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == FWindow && event->type() == QEvent::WindowStateChange &&
            FWindow->isMinimized())
            // After the window system has finished minimising, not in the middle of it.
            QTimer::singleShot(0, this, [this] {
                if (!FWindow || !FWindow->isMinimized())
                    return;
                FWindow->setWindowState(FWindow->windowState() & ~Qt::WindowMinimized);
                FWindow->show();
                FWindow->raise();
                FWindow->activateWindow();
            });
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<QWidget> FWindow;
};

} // namespace

Qt::WindowFlags CaptionOnlyFlags() {
    const Qt::WindowFlags caption = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return caption | Qt::WindowCloseButtonHint;
    return caption;
}

void RestoreWhenMinimised(QWidget* window) {
    window->installEventFilter(new TRestoreWhenMinimised(window));
}
