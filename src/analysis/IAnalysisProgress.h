#pragma once

#include <cstdint>

// Activity indication of the size walks: the window connects it to its progress bar,
// where one step sets the position to (position + 1) mod 100. A walk steps once per
// entry it lists, but it tells the steps in batches, at most once per update interval,
// always on the thread that asked for the walk.
class IAnalysisProgress {
public:
    virtual ~IAnalysisProgress() = default;
    // Puts the bar back to 0.
    virtual void Reset() = 0;
    // steps more steps of activity since the last call.
    virtual void Advance(uint64_t steps) = 0;
};
