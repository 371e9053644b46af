#pragma once

#include "platform/IPower.h"

namespace Platform {

// Asks systemd-logind on the system bus to power the machine off, without asking
// interactively for authorisation.
class TLogindPower : public IPower {
public:
    std::string PowerOff() override;
};

} // namespace Platform
