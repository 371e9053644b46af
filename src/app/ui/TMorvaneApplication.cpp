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
    // The box runs its own event loop; an error inside it must not recurse without end.
    static bool showing = false;
    if (showing) {
        std::cerr << Title << ": " << text << '\n';
        return;
    }
    showing = true;
    try {
        MessageBoxHook().Show(text, "");
    } catch (...) {
    }
    showing = false;
}
