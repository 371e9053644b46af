#include "update/TCallQueue.h"

void TCallQueue::Post(std::function<void()> call) {
    {
        std::lock_guard lock(FMutex);
        FCalls.push_back(std::move(call));
    }
    FWake.notify_all();
}

int TCallQueue::ProcessPending(std::chrono::milliseconds timeout) {
    std::deque<std::function<void()>> calls;
    {
        std::unique_lock lock(FMutex);
        FWake.wait_for(lock, timeout, [this] { return !FCalls.empty(); });
        calls.swap(FCalls);
    }
    for (auto& call : calls)
        call();
    return static_cast<int>(calls.size());
}
