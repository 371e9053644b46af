#include "platform/IPrivacyRoutines.h"

namespace Platform {

namespace {

std::unique_ptr<IPrivacyRoutines>& Slot() {
    static std::unique_ptr<IPrivacyRoutines> slot = CreateNativePrivacyRoutines();
    return slot;
}

} // namespace

IPrivacyRoutines& PrivacyRoutines() { return *Slot(); }

std::unique_ptr<IPrivacyRoutines> SetPrivacyRoutines(std::unique_ptr<IPrivacyRoutines> routines) {
    auto previous = std::move(Slot());
    Slot() = std::move(routines);
    return previous;
}

} // namespace Platform
