#pragma once

#include <QApplication>
#include <QTimer>

#include <memory>
#include <string>

namespace Platform {
class TSessionEndSignals;
}

// The application object. An exception that escapes an event handler ends up here and is
// shown in the standard error box (its text, the application title as caption); the
// program then goes on with the next event.
//
// It also sees the end of the session: the session manager's request to save (the
// settings are saved) and the system's requests to end (SIGTERM, SIGINT, SIGHUP on
// Linux), on which the settings are saved and the program ends normally, with exit
// code 0, as the exit button ends it.
class TMorvaneApplication : public QApplication {
public:
    // The title the task bar and the error box show.
    static constexpr const char* Title = "Morvane Ostrel";

    TMorvaneApplication(int& argc, char** argv);
    ~TMorvaneApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;

    // The standard error box for an error that nobody handled. Once the program is
    // ending on a request of the system nobody is left to click a box, so the text goes
    // to the standard error stream instead.
    static void ShowException(const std::string& text);

    // Saves the settings and ends every event loop with exit code 0; a second request
    // while ending does nothing more.
    void EndOnRequest();
    bool EndRequested() const { return FEndRequested; }

private:
    static void SaveSettings();

    std::unique_ptr<Platform::TSessionEndSignals> FEndSignals;
    bool FEndRequested = false;
    QTimer FEndTimer;
};
