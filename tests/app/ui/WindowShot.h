#pragma once

// Pictures of windows for the documentation, as a user sees them: shown and activated as
// a click would bring them up, and, under X with a window manager, taken from the screen
// with the window manager's frame around them.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QString>
#include <QTest>
#include <QWidget>

namespace WindowShot {

inline void Pump(int ms) {
    QElapsedTimer clock;
    clock.start();
    do
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    while (clock.elapsed() < ms);
}

// Shows the window on top and saves its picture to file; false when it cannot be written.
inline bool Save(QWidget* window, const QString& file) {
    window->show();
    window->raise();
    window->activateWindow();
    // A splash never becomes active; it only has to be on the screen.
    if (window->windowType() == Qt::SplashScreen || !QTest::qWaitForWindowActive(window, 3000))
        (void)QTest::qWaitForWindowExposed(window, 3000);
    // The window manager tells the size of its frame a moment after it shows the window.
    const bool framed = window->windowType() != Qt::SplashScreen &&
                        QGuiApplication::platformName() == QLatin1String("xcb");
    for (int i = 0; framed && i < 40 && window->frameGeometry() == window->geometry(); ++i)
        Pump(50);
    Pump(400); // the frame drawn, the last repaints done
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        if (QScreen* screen = window->screen()) {
            const QRect frame = window->frameGeometry().translated(-screen->geometry().topLeft());
            const QPixmap shot =
                screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
            if (!shot.isNull())
                return shot.save(file);
        }
    return window->grab().save(file);
}

} // namespace WindowShot
