#include "platform/TSessionEndSignals.h"

#include <mutex>

#include <windows.h>

namespace Platform {
namespace {

std::mutex WatcherLock;
std::function<void()>* Current = nullptr; // guarded by WatcherLock
bool Received = false;                    // guarded by WatcherLock

// The system calls this on a thread of its own. After a close, logoff or shutdown event
// it ends the process once the handler returns, so the handler gives the program a few
// seconds to end by itself first.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    {
        const std::lock_guard<std::mutex> lock(WatcherLock);
        // FALSE hands the event on to the system's handler, which ends the process.
        if (!Current || Received)
            return FALSE;
        Received = true;
        (*Current)();
    }
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        Sleep(5000);
    return TRUE;
}

} // namespace

struct TSessionEndSignals::TState {
    std::function<void()> OnRequest;
    bool Installed = false;
};

TSessionEndSignals::TSessionEndSignals(std::function<void()> onRequest)
    : FState(std::make_unique<TState>()) {
    FState->OnRequest = std::move(onRequest);
    {
        const std::lock_guard<std::mutex> lock(WatcherLock);
        Current = &FState->OnRequest;
        Received = false;
    }
    FState->Installed = SetConsoleCtrlHandler(OnConsoleEvent, TRUE) != 0;
}

TSessionEndSignals::~TSessionEndSignals() {
    if (FState->Installed)
        SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
    const std::lock_guard<std::mutex> lock(WatcherLock);
    Current = nullptr;
}

bool TSessionEndSignals::Watching() const {
    return FState->Installed;
}

} // namespace Platform
