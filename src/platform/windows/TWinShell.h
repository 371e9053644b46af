#pragma once

#include "platform/IShell.h"

namespace Platform {

// ShellExecute with the verb "open", empty parameters and folder, shown normally.
class TWinShell : public IShell {
public:
    bool Open(const std::string& target) override;
};

} // namespace Platform
