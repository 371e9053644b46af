#include "platform/linux/TPackageUninstallRun.h"

namespace Platform {

namespace {

// The last line with something on it: what a failing tool says last is why it failed.
std::string LastLine(const std::string& text) {
    size_t end = text.find_last_not_of(" \t\r\n");
    if (end == std::string::npos)
        return {};
    const size_t start = text.find_last_of('\n', end);
    const size_t from = start == std::string::npos ? 0 : start + 1;
    return text.substr(from, end + 1 - from);
}

} // namespace

TPackageUninstallRun::TPackageUninstallRun(const std::vector<std::string>& argv,
                                           std::function<bool()> stillInstalled)
    : FChild(argv, /*withErrors=*/true), FStillInstalled(std::move(stillInstalled)) {
    // Only the end of a long removal log is ever shown.
    FChild.SetOutputLimit(16384);
}

TUninstallOutcome TPackageUninstallRun::Outcome() {
    TUninstallOutcome outcome;
    outcome.Started = FChild.Started();
    outcome.ExitCode = FChild.ExitCode();
    outcome.Message = outcome.Started ? LastLine(FChild.Output()) : FChild.StartError();
    outcome.Gone = !FStillInstalled();
    return outcome;
}

} // namespace Platform
