#pragma once

#include "platform/IShell.h"

namespace Platform {

// ShellExecute "open" on a Linux desktop: xdg-open with the target as its one argument.
class TXdgShell : public IShell {
public:
    bool Open(const std::string& target) override;
};

} // namespace Platform
