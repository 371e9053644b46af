#pragma once

#include <QApplication>

#include <string>

// The application object. An exception that escapes an event handler ends up here and is
// shown in the standard error box (its text, the application title as caption); the
// program then goes on with the next event.
class TMorvaneApplication : public QApplication {
public:
    // The title the task bar and the error box show.
    static constexpr const char* Title = "Morvane Ostrel";

    TMorvaneApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The standard error box for an error that nobody handled.
    static void ShowException(const std::string& text);
};
