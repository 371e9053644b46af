#pragma once

#include <string>
#include <vector>

namespace Platform {

// Starts a program with an argument list (never through a shell) and does not wait for
// it. argv[0] is looked up on the PATH. False when it could not be started.
bool StartDetached(const std::vector<std::string>& argv);

} // namespace Platform
