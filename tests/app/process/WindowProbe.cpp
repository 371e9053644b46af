// Loaded into the real program by the start-up smoke test (LD_PRELOAD), it writes what
// the user sees to the file named by MORVANE_PROBE_FILE, five times a second: every
// window on the screen and the rows of the lists and trees in it. The program itself
// is not changed; the probe only looks. Windows are named by their class.
#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QSaveFile>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>

#include <cstdlib>
#include <cxxabi.h>
#include <memory>
#include <typeinfo>

namespace {

QString Flag(bool value) {
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

// The windows a user can see: no tool tips, menus or the like.
bool UserWindow(const QWidget* widget) {
    const Qt::WindowType type = widget->windowType();
    return widget->isWindow() && widget->isVisible() && type != Qt::ToolTip && type != Qt::Popup &&
           type != Qt::Desktop;
}

// A window by its class (TFrm_Wizard, QMessageBox), whatever its object is called.
QString ClassOf(const QWidget* window) {
    int status = 0;
    const std::unique_ptr<char, void (*)(void*)> name(
        abi::__cxa_demangle(typeid(*window).name(), nullptr, nullptr, &status), std::free);
    return QString::fromLatin1(status == 0 && name ? name.get() : typeid(*window).name());
}

QString Snapshot() {
    QString out;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!UserWindow(window))
            continue;
        const QString name = ClassOf(window);
        out += QStringLiteral("window %1 active=%2 minimized=%3 title=%4\n")
                   .arg(name, Flag(window->isActiveWindow()), Flag(window->isMinimized()),
                        window->windowTitle());
        for (const QTreeWidget* tree : window->findChildren<QTreeWidget*>())
            for (int i = 0; i < tree->topLevelItemCount(); ++i)
                out += QStringLiteral("row %1 %2 %3\n")
                           .arg(name, tree->objectName(), tree->topLevelItem(i)->text(0));
    }
    return out;
}

void Write() {
    QSaveFile file(qEnvironmentVariable("MORVANE_PROBE_FILE"));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(Snapshot().toUtf8());
        file.commit();
    }
}

void StartProbe() {
    if (qEnvironmentVariableIsEmpty("MORVANE_PROBE_FILE"))
        return;
    auto* timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, &Write);
    timer->start(200);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(StartProbe)
