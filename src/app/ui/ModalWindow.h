#pragma once

#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QObject>
#include <QPointer>
#include <QWidget>

// Opening a function window through its global window variable, as the launcher and the
// analysis window do. Header-only so that any window may open another without linking
// to the launcher.

// What happens to a function window after its modal run.
enum class TAfterModal {
    Free,  // destroyed and its variable emptied: the next opening starts afresh
    Close, // only closed: it keeps its state for the next opening
};

namespace ModalWindowDetail {

// Ends a local event loop when the watched window is hidden.
class THideWatcher : public QObject {
public:
    explicit THideWatcher(QEventLoop& loop) : FLoop(loop) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide)
            FLoop.quit();
        return QObject::eventFilter(watched, event);
    }

private:
    QEventLoop& FLoop;
};

} // namespace ModalWindowDetail

// Shows a window modally and returns when it is hidden (or destroyed).
inline void RunModal(QWidget* window) {
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
        dialog->exec();
        return;
    }
    QEventLoop loop;
    ModalWindowDetail::THideWatcher watcher(loop);
    window->installEventFilter(&watcher);
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    if (window->isVisible())
        loop.exec();
    window->removeEventFilter(&watcher);
}

// Creates a window owned by owner into its variable. The variable is emptied whenever the
// window is destroyed, by whomever, so it never points to a dead window; it must outlive
// the window (the window variables are globals).
template <typename TWindow>
TWindow* CreateWindowInto(TWindow*& variable, QWidget* owner) {
    variable = new TWindow(owner);
    QObject::connect(variable, &QObject::destroyed, [&variable, created = variable] {
        if (variable == created)
            variable = nullptr;
    });
    return variable;
}

// Creates the window when its variable is empty, shows it modally and afterwards either
// destroys it (emptying the variable) or closes it. The same happens when the modal run
// ends by an exception, which then goes on to the caller.
template <typename TWindow>
void ShowModalWindow(TWindow*& variable, QWidget* owner, TAfterModal after) {
    if (!variable)
        CreateWindowInto(variable, owner);
    TWindow* const raw = variable;
    const QPointer<TWindow> window = raw;
    auto finish = [&variable, raw, &window, after] {
        if (window.isNull()) { // destroyed during its run
            if (variable == raw)
                variable = nullptr;
            return;
        }
        if (after == TAfterModal::Free) {
            delete raw;
            if (variable == raw)
                variable = nullptr;
        } else if (raw->isVisible()) {
            raw->close();
        }
    };
    try {
        RunModal(raw);
    } catch (...) {
        finish();
        throw;
    }
    finish();
}
