#include "analysis/ui/TProgressBarActivity.h"

#include <QProgressBar>

void TProgressBarActivity::Reset() {
    FBar->setValue(0);
    FBar->repaint();
}

void TProgressBarActivity::Advance(uint64_t steps) {
    const int position =
        static_cast<int>((static_cast<uint64_t>(FBar->value()) + steps % 100) % 100);
    FBar->setValue(position);
    FBar->repaint();
}
