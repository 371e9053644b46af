#pragma once

#include <functional>
#include <memory>

namespace Platform {

// Catches the requests to end the program that the system sends outside the window
// system: on Linux the signals SIGTERM (logout, shutdown, kill), SIGINT (Ctrl+C) and
// SIGHUP (the terminal went away); on Windows the console's Ctrl+C, close, logoff and
// shutdown events. Each request calls onRequest on a thread of the watcher's own, never
// inside the signal handler, so onRequest may do anything a thread may (hand the work to
// the user-interface thread, for instance). Only the first request is caught: the next
// one ends the process the system's way, so a program stuck while ending can still be
// stopped. One watcher at a time per process.
class TSessionEndSignals {
public:
    explicit TSessionEndSignals(std::function<void()> onRequest);
    // Puts the previous handling of the signals back and waits for the watcher's thread.
    ~TSessionEndSignals();
    TSessionEndSignals(const TSessionEndSignals&) = delete;
    TSessionEndSignals& operator=(const TSessionEndSignals&) = delete;

    // False when the handlers could not be installed (the program then ends the system's
    // way on these signals, as before).
    bool Watching() const;

    struct TState;

private:
    std::unique_ptr<TState> FState;
};

} // namespace Platform
