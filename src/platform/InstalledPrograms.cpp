#include "platform/IInstalledPrograms.h"

namespace Platform {

namespace {

std::unique_ptr<IInstalledPrograms>& Slot() {
    static std::unique_ptr<IInstalledPrograms> slot = CreateNativeInstalledPrograms();
    return slot;
}

} // namespace

IInstalledPrograms& InstalledPrograms() { return *Slot(); }

std::unique_ptr<IInstalledPrograms> SetInstalledPrograms(std::unique_ptr<IInstalledPrograms> programs) {
    auto previous = std::move(Slot());
    Slot() = std::move(programs);
    return previous;
}

} // namespace Platform
