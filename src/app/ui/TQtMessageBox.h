#pragma once

#include "core/IMessageBoxHook.h"

// Shows the engines' messages and the application's error reports in a Qt message box
// over the active window, with an OK button.
class TQtMessageBox : public IMessageBoxHook {
public:
    void Show(const std::string& text, const std::string& title) override;
};
