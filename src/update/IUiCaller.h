#pragma once

#include <functional>

// Hands calls from a worker thread to the user-interface thread. The window layer
// provides one over its event loop; tests and tools use TCallQueue.
class IUiCaller {
public:
    virtual ~IUiCaller() = default;
    // Queues call to run on the user-interface thread and returns at once. The call
    // may run after the object that queued it is gone, so it carries what it needs.
    virtual void Post(std::function<void()> call) = 0;
};
