#include "app/ui/TMorvaneApplication.h"

#include "core/ui/Pictures.h"
#include "core/IMessageBoxHook.h"
#include "core/TSetting.h"
#include "platform/TSessionEndSignals.h"

#include <QMetaObject>
#include <QTimer>
#include <QPointer>
#include <QSessionManager>

#include <exception>
#include <iostream>

TMorvaneApplication::TMorvaneApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The name, not the display name: Qt would append a display name to every caption.
    setApplicationName(QString::fromUtf8(Title));
    setDesktopFileName(QStringLiteral("morvane"));
    setWindowIcon(ProgramIcon());

    // The session may end without asking again: what is saved now is what survives.
    connect(this, &QGuiApplication::commitDataRequest, this,
            [](QSessionManager&) { SaveSettings(); });
    // The signal comes on the watcher's thread; the work is done on this one.
    FEndSignals =
        std::make_unique<Platform::TSessionEndSignals>([app = QPointer<TMorvaneApplication>(this)] {
            QMetaObject::invokeMethod(
                app,
                [app] {
                    if (app)
                        app->EndOnRequest();
                },
                Qt::QueuedConnection);
        });
}

// The watcher goes before the application object it posts to.
TMorvaneApplication::~TMorvaneApplication() {
    FEndSignals.reset();
}

bool TMorvaneApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowException(e.what());
    } catch (...) {
        ShowException("Unknown error");
    }
    return false;
}

void TMorvaneApplication::ShowException(const std::string& text) {
    // Also into the session's log: a program started from a menu has nobody to read a
    // box that went unseen, and a box that cannot be shown still leaves its text.
    std::cerr << Title << ": " << text << std::endl;
    // The box runs its own event loop; an error inside it must not recurse without end.
    static bool showing = false;
    const auto* app = dynamic_cast<const TMorvaneApplication*>(QCoreApplication::instance());
    if (showing || (app && app->EndRequested()))
        return;
    showing = true;
    try {
        MessageBoxHook().Show(text, "");
    } catch (...) {
    }
    showing = false;
}

void TMorvaneApplication::EndOnRequest() {
    if (FEndRequested)
        return;
    FEndRequested = true;
    SaveSettings();
    // Every event loop ends, the modal windows' too; main then destroys the launcher,
    // which saves the settings once more with whatever the windows changed on closing.
    // A loop that starts later (the main loop, when the request came during start-up)
    // ends as soon as it runs.
    QCoreApplication::exit(0);
    connect(&FEndTimer, &QTimer::timeout, this, [] { QCoreApplication::exit(0); });
    FEndTimer.start(50);
}

void TMorvaneApplication::SaveSettings() {
    if (!Setting)
        return;
    try {
        Setting->SaveToFile(SettingsFilePath());
    } catch (const std::exception& e) {
        ShowException(e.what());
    }
}
