#pragma once

#include <memory>
#include <string>

namespace Platform {

// Shell actions with effects outside the program. Tests replace the instance with a
// recorder so that nothing is opened for real.
class IShell {
public:
    virtual ~IShell() = default;
    // Opens a document, folder, web or "mailto:" address with the user's program for it.
    // False when nothing could be started; no message is shown.
    virtual bool Open(const std::string& target) = 0;
};

IShell& Shell();
// Installs a replacement and returns the previous instance.
std::unique_ptr<IShell> SetShell(std::unique_ptr<IShell> shell);

} // namespace Platform
