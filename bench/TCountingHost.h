#pragma once

#include "clean/TJunkScanner.h"

// A junk scan host with no window: it only counts the rows, so what a benchmark measures
// is the walk and the tests, not drawing.
class TCountingHost : public IJunkScanHost {
public:
    void AddRow(TJunkRow) override { ++Rows; }
    void Scroll() override {}
    void SetCaption(const std::string&) override {}
    void SetStatus(int, const std::string&) override {}
    int ProgressPosition() const override { return FPosition; }
    void SetProgressPosition(int position) override { FPosition = position; }
    void Pump() override {}
    bool Running() const override { return true; }

    long long Rows = 0;

private:
    int FPosition = 0;
};
