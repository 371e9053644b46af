#pragma once

#include "analysis/IAnalysisProgress.h"

class QProgressBar;

// The size walks' activity shown on a progress bar of range 0..100: each step moves it
// one further, wrapping to 0 after 99. The walk tells its steps at most once per update
// interval, so the bar is repainted at once, since no event loop runs while it lasts.
class TProgressBarActivity : public IAnalysisProgress {
public:
    explicit TProgressBarActivity(QProgressBar* bar) : FBar(bar) {}
    void Reset() override;
    void Advance(uint64_t steps) override;

private:
    QProgressBar* FBar;
};
