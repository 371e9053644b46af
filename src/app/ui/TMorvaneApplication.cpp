#include "app/ui/TMorvaneApplication.h"

#include "core/ui/Pictures.h"
#include "core/IMessageBoxHook.h"

#include <exception>
#include <iostream>

TMorvaneApplication::TMorvaneApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The name, not the display name: Qt would append a display name to every caption.
    setApplicationName(QString::fromUtf8(Title));
    setDesktopFileName(QStringLiteral("morvane"));
    setWindowIcon(ProgramIcon());
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
    if (showing)
        return;
    showing = true;
    try {
        MessageBoxHook().Show(text, "");
    } catch (...) {
    }
    showing = false;
}
