#include "platform/TSessionEndSignals.h"

#include <array>
#include <cerrno>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace Platform {
namespace {

constexpr std::array<int, 3> EndSignals = {SIGTERM, SIGINT, SIGHUP};
// What the watcher's thread reads to stop.
constexpr unsigned char StopByte = 0;

// The write end of the pipe, for the handler: writing one byte is all it does.
volatile sig_atomic_t SignalPipe = -1;

void OnEndSignal(int signal) {
    const int saved = errno;
    // The next request, of any of the kinds, ends the process the system's way.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    for (const int kind : EndSignals)
        sigaction(kind, &fallback, nullptr);
    const unsigned char byte = static_cast<unsigned char>(signal);
    if (SignalPipe >= 0)
        (void)!write(SignalPipe, &byte, 1);
    errno = saved;
}

} // namespace

struct TSessionEndSignals::TState {
    std::function<void()> OnRequest;
    int ReadEnd = -1;
    int WriteEnd = -1;
    std::array<struct sigaction, EndSignals.size()> Previous{};
    bool Installed = false;
    std::thread Watcher;

    void Watch() {
        for (;;) {
            unsigned char byte = StopByte;
            const ssize_t n = read(ReadEnd, &byte, 1);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0 || byte == StopByte)
                return;
            OnRequest();
        }
    }
};

TSessionEndSignals::TSessionEndSignals(std::function<void()> onRequest)
    : FState(std::make_unique<TState>()) {
    FState->OnRequest = std::move(onRequest);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return;
    FState->ReadEnd = fds[0];
    FState->WriteEnd = fds[1];
    // The handler must never block, whatever the reader does.
    fcntl(fds[1], F_SETFL, fcntl(fds[1], F_GETFL) | O_NONBLOCK);
    SignalPipe = fds[1];
    FState->Watcher = std::thread([state = FState.get()] { state->Watch(); });
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < EndSignals.size(); ++i)
        sigaction(EndSignals[i], &action, &FState->Previous[i]);
    FState->Installed = true;
}

TSessionEndSignals::~TSessionEndSignals() {
    if (FState->Installed)
        for (size_t i = 0; i < EndSignals.size(); ++i)
            sigaction(EndSignals[i], &FState->Previous[i], nullptr);
    SignalPipe = -1;
    if (FState->Watcher.joinable()) {
        const unsigned char stop = StopByte;
        while (write(FState->WriteEnd, &stop, 1) < 0 && (errno == EINTR || errno == EAGAIN))
            std::this_thread::yield();
        FState->Watcher.join();
    }
    if (FState->ReadEnd >= 0)
        close(FState->ReadEnd);
    if (FState->WriteEnd >= 0)
        close(FState->WriteEnd);
}

bool TSessionEndSignals::Watching() const {
    return FState->Installed;
}

} // namespace Platform
