#pragma once

// Activity indication of the size walks: the window connects it to its progress bar
// (one step sets the position to (position + 1) mod 100). Called on the walking thread.
class IAnalysisProgress {
public:
    virtual ~IAnalysisProgress() = default;
    // Puts the bar back to 0.
    virtual void Reset() = 0;
    // One step of activity.
    virtual void Step() = 0;
};
