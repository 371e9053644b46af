#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// One of the program's pictures (":/pictures/<name>.svg") drawn at a size in device-
// independent pixels, sharp on high-density screens.
QPixmap Picture(const QString& name, QSize size);

// The window icon of every top-level window.
QIcon ProgramIcon();
