#pragma once

#include <functional>
#include <string>

// Runs body as an ordinary user. Tests about refused permissions mean nothing to root,
// and CI runs as root, so there the body runs in a forked child that has dropped to the
// "nobody" user; its result text comes back through a pipe. The folders the body uses
// must be reachable by that user (see OpenToEveryone).
std::string RunUnprivileged(const std::function<std::string()>& body);

// chmod 0777 on the folder and each of its parents up to the temporary folder.
void OpenToEveryone(const std::string& folder);

// False where the file system's permission bits cannot refuse our own writes (Windows):
// tests about refused writes skip themselves there.
bool PermissionsCanRefuseWrites();
