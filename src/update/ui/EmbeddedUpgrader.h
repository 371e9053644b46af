#pragma once

#include <string_view>

// The upgrader program's file, carried inside the main program.
std::string_view EmbeddedUpgrader();
