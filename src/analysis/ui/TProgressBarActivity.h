#pragma once

#include "analysis/IAnalysisProgress.h"

class QProgressBar;

// The size walks' activity shown on a progress bar of range 0..100: a step moves it one
// further, wrapping to 0 after 99. The bar is repainted at once, since no event loop
// runs while a walk lasts.
class TProgressBarActivity : public IAnalysisProgress {
public:
    explicit TProgressBarActivity(QProgressBar* bar) : FBar(bar) {}
    void Reset() override;
    void Step() override;

private:
    QProgressBar* FBar;
};
