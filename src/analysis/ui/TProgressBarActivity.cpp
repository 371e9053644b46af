#include "analysis/ui/TProgressBarActivity.h"

#include <QProgressBar>

void TProgressBarActivity::Reset() {
    FBar->setValue(0);
    FBar->repaint();
}

void TProgressBarActivity::Step() {
    FBar->setValue((FBar->value() + 1) % 100);
    FBar->repaint();
}
