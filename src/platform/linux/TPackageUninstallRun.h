#pragma once

#include "platform/IInstalledPrograms.h"
#include "platform/linux/TChildProcess.h"

#include <functional>
#include <string>
#include <vector>

namespace Platform {

// An uninstaller running as a child process; when it has ended the package system is
// asked whether the program is gone, whatever the exit status said.
class TPackageUninstallRun : public IUninstallRun {
public:
    TPackageUninstallRun(const std::vector<std::string>& argv,
                         std::function<bool()> stillInstalled);
    bool Finished() override { return FChild.Poll(); }
    TUninstallOutcome Outcome() override;

private:
    TChildProcess FChild;
    std::function<bool()> FStillInstalled;
};

} // namespace Platform
