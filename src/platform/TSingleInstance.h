#pragma once

#include <cstdint>
#include <string>

namespace Platform {

enum class TInstanceState {
    Acquired,       // this copy is the one that runs
    AlreadyRunning, // another live copy holds the lock
};

// A process-wide named lock that the system releases when the process ends, however it
// ends. The object must live as long as the program runs.
class TSingleInstance {
public:
    explicit TSingleInstance(const std::string& name);
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;

    // A lock that cannot be created at all (no permission, no folder) is reported as
    // Acquired: refusing to start would be worse than running two copies.
    TInstanceState State() const { return FState; }

private:
    TInstanceState FState = TInstanceState::Acquired;
    intptr_t FHandle = -1;
};

} // namespace Platform
