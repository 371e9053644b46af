// The one place in the code, besides CMake, that knows which backend is built.
#include "platform/IShell.h"

#ifdef _WIN32
#include "platform/windows/TWinShell.h"
#else
#include "platform/linux/TXdgShell.h"
#endif

namespace Platform {
namespace {

#ifdef _WIN32
using TNativeShell = TWinShell;
#else
using TNativeShell = TXdgShell;
#endif

std::unique_ptr<IShell>& ShellSlot() {
    static std::unique_ptr<IShell> slot = std::make_unique<TNativeShell>();
    return slot;
}

} // namespace

IShell& Shell() { return *ShellSlot(); }

std::unique_ptr<IShell> SetShell(std::unique_ptr<IShell> shell) {
    auto previous = std::move(ShellSlot());
    ShellSlot() = std::move(shell);
    return previous;
}

} // namespace Platform
