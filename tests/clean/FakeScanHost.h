#pragma once

#include "clean/IJunkScanHost.h"

#include <functional>
#include <string>
#include <vector>

// Records what the scan shows; OnPump lets a test act "while the window handles clicks".
class TFakeScanHost : public IJunkScanHost {
public:
    void AddRow(TJunkRow row) override { Rows.push_back(std::move(row)); }
    void Scroll() override { ++Scrolls; }
    void SetCaption(const std::string& text) override { Captions.push_back(text); }
    void SetStatus(int panel, const std::string& text) override { Status[panel] = text; if (panel == 1) Status1History.push_back(text); }
    int ProgressPosition() const override { return Progress; }
    void SetProgressPosition(int position) override { Progress = position; }
    void Pump() override {
        ++Pumps;
        if (OnPump)
            OnPump();
    }
    bool Running() const override { return Run; }

    std::vector<TJunkRow> Rows;
    std::vector<std::string> Captions;
    std::vector<std::string> Status1History;
    std::string Status[2];
    int Scrolls = 0;
    int Progress = 0;
    int Pumps = 0;
    bool Run = true;
    std::function<void()> OnPump;
};
