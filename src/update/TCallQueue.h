#pragma once

#include "update/IUiCaller.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

// A user-interface thread without a window system: the thread that owns the queue runs
// the posted calls whenever it calls ProcessPending.
class TCallQueue : public IUiCaller {
public:
    void Post(std::function<void()> call) override;
    // Runs every queued call, waiting up to timeout for the first one. Returns how many ran.
    int ProcessPending(std::chrono::milliseconds timeout = std::chrono::milliseconds(0));

private:
    std::mutex FMutex;
    std::condition_variable FWake;
    std::deque<std::function<void()>> FCalls;
};
