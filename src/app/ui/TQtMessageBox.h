#pragma once

#include "core/IMessageBoxHook.h"

// Shows the engines' messages and the application's error reports in a Qt message box
// owned by the active window, with an OK button. A splash on the screen steps aside
// while the box is up, and the mouse shows the arrow over it.
class TQtMessageBox : public IMessageBoxHook {
public:
    void Show(const std::string& text, const std::string& title) override;
};
