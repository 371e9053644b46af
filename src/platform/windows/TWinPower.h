#pragma once

#include "platform/IPower.h"

namespace Platform {

// ExitWindowsEx, after enabling the shutdown privilege on the NT family.
class TWinPower : public IPower {
public:
    std::string PowerOff() override;
};

} // namespace Platform
