#pragma once

#include <string>

// Opens a web address in the user's browser; "http://" is put in front of a text without
// "://". False when no program could be started for it.
bool OpenWebAddress(const std::string& address);
