#include "platform/linux/TXdgShell.h"

#include "platform/Process.h"

namespace Platform {

bool TXdgShell::Open(const std::string& target) {
    if (target.empty())
        return false;
    return StartDetached({"xdg-open", target});
}

} // namespace Platform
