#include "app/ui/TQtMessageBox.h"

#include <QApplication>
#include <QMessageBox>

void TQtMessageBox::Show(const std::string& text, const std::string& title) {
    const QString caption =
        title.empty() ? QApplication::applicationName() : QString::fromStdString(title);
    QMessageBox box(QMessageBox::NoIcon, caption, QString::fromStdString(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}
