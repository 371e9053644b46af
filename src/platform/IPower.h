#pragma once

#include <memory>
#include <string>

namespace Platform {

// Switches the computer off, forcing programs to close without asking them to save.
// Tests replace the instance with a recorder so that nothing is switched off for real.
class IPower {
public:
    virtual ~IPower() = default;
    // Empty when the power-off was accepted; otherwise the name of the step that failed,
    // such as "OpenProcessToken() Failed" on Windows or "PowerOff() Failed" on Linux,
    // which the caller shows as the title of its error box.
    virtual std::string PowerOff() = 0;
};

IPower& Power();
// Installs a replacement and returns the previous instance.
std::unique_ptr<IPower> SetPower(std::unique_ptr<IPower> power);

} // namespace Platform
