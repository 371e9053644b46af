#include "support/Unprivileged.h"

// Windows has no all-powerful user that ignores file permissions the way root does, so
// the body simply runs here.
std::string RunUnprivileged(const std::function<std::string()>& body) { return body(); }

void OpenToEveryone(const std::string&) {}

bool PermissionsCanRefuseWrites() { return false; }
