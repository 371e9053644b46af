#pragma once

#include <memory>
#include <string>

// How the engines show the few message boxes that they raise themselves (an OK button,
// no owner window). The window layer installs the real one; tests install a recorder.
// Until something is installed the messages go to the standard error stream.
class IMessageBoxHook {
public:
    virtual ~IMessageBoxHook() = default;
    // An empty title means the application's title, as a plain message shows it.
    virtual void Show(const std::string& text, const std::string& title) = 0;
};

IMessageBoxHook& MessageBoxHook();
// Installs a replacement and returns the previous instance.
std::unique_ptr<IMessageBoxHook> SetMessageBoxHook(std::unique_ptr<IMessageBoxHook> hook);
