#include "platform/IInstalledPrograms.h"

namespace Platform {

namespace {

std::unique_ptr<IInstalledPrograms>& Slot() {
    static std::unique_ptr<IInstalledPrograms> slot = CreateNativeInstalledPrograms();
    return slot;
}

class TFinishedRun : public IUninstallRun {
public:
    explicit TFinishedRun(TUninstallOutcome outcome) : FOutcome(std::move(outcome)) {}
    bool Finished() override { return true; }
    TUninstallOutcome Outcome() override { return FOutcome; }

private:
    TUninstallOutcome FOutcome;
};

} // namespace

IInstalledPrograms& InstalledPrograms() {
    return *Slot();
}

std::unique_ptr<IInstalledPrograms>
SetInstalledPrograms(std::unique_ptr<IInstalledPrograms> programs) {
    auto previous = std::move(Slot());
    Slot() = std::move(programs);
    return previous;
}

std::unique_ptr<IUninstallRun> FinishedRun(TUninstallOutcome outcome) {
    return std::make_unique<TFinishedRun>(std::move(outcome));
}

} // namespace Platform
