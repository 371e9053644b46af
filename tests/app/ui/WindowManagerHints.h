#pragma once

// What a window asks of an X window manager and what the manager offers it, read from the
// X server with xprop (under Xvfb; elsewhere there is nothing to read).
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace WindowManagerHints {

inline QString Property(QWidget* window, const char* name) {
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window->winId()),
                                          QString::fromLatin1(name)});
    xprop.waitForFinished(5000);
    return QString::fromLatin1(xprop.readAllStandardOutput()).trimmed();
}

// The functions word of the Motif hints: 0x1 all, 0x8 minimise, 0x10 maximise, 0x20
// close; 0 when the window sets none.
inline unsigned MotifFunctions(QWidget* window) {
    const QStringList fields =
        Property(window, "_MOTIF_WM_HINTS").section(QLatin1Char('='), 1).split(QLatin1Char(','));
    return fields.size() >= 2 ? fields[1].trimmed().toUInt(nullptr, 16) : 0;
}

} // namespace WindowManagerHints
