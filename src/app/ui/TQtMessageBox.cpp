#include "app/ui/TQtMessageBox.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPointer>

#include <vector>

namespace {

// The window the box belongs to: the active one, else the modal window on top; the
// splash is never an owner, since it goes away while the box is up.
QWidget* BoxOwner() {
    QWidget* owner = QApplication::activeWindow();
    if (!owner || owner->windowType() == Qt::SplashScreen)
        owner = QApplication::activeModalWidget();
    if (owner && owner->windowType() == Qt::SplashScreen)
        owner = nullptr;
    return owner;
}

// A splash on the screen would stand over the box, and start-up would look frozen.
std::vector<QPointer<QWidget>> HideSplashes() {
    std::vector<QPointer<QWidget>> hidden;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->windowType() == Qt::SplashScreen && window->isVisible()) {
            window->hide();
            hidden.emplace_back(window);
        }
    return hidden;
}

// A box as narrow as a short message would cut its caption under a window manager's
// title bar, which has the buttons and the icon beside it.
void KeepCaptionWhole(QMessageBox& box, const QString& caption) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    const int width = box.fontMetrics().horizontalAdvance(caption) + 120;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

void TQtMessageBox::Show(const std::string& text, const std::string& title) {
    const QString caption =
        title.empty() ? QApplication::applicationName() : QString::fromStdString(title);
    const std::vector<QPointer<QWidget>> splashes = HideSplashes();
    // The box waits for a click: no hourglass over it, even while start-up shows one.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    {
        QMessageBox box(QMessageBox::NoIcon, caption, QString::fromStdString(text), QMessageBox::Ok,
                        BoxOwner());
        KeepCaptionWhole(box, caption);
        box.exec();
    }
    QApplication::restoreOverrideCursor();
    for (const QPointer<QWidget>& splash : splashes)
        if (splash)
            splash->show();
}
