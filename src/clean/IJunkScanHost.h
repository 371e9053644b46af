#pragma once

#include "clean/TJunkRow.h"

#include <string>

// What the junk scan needs of the window that shows it. The scan runs on the window's
// thread; Pump is where the window handles the user's clicks in the middle of a walk.
class IJunkScanHost {
public:
    virtual ~IJunkScanHost() = default;

    // Appends a row at the end of the junk list (rows arrive checked).
    virtual void AddRow(TJunkRow row) = 0;
    // Scrolls the junk list 20 pixels further down, so the newest rows stay in view.
    virtual void Scroll() = 0;
    virtual void SetCaption(const std::string& text) = 0;
    // panel is 0 or 1.
    virtual void SetStatus(int panel, const std::string& text) = 0;
    virtual int ProgressPosition() const = 0;
    virtual void SetProgressPosition(int position) = 0;
    // Processes all pending window messages and returns.
    virtual void Pump() = 0;
    // The run flag: the walk goes on only while it is true.
    virtual bool Running() const = 0;
};
