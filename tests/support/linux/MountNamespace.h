#pragma once

#include <functional>
#include <optional>
#include <string>

// Runs body in a forked child inside a user and mount namespace of its own, where it may
// mount file systems (a tmpfs) without touching the machine's mounts; they vanish with
// the child. Returns body's text, or nullopt with the reason in whyNot where no such
// namespace can be made (a container that forbids them). The body runs in a child
// process: it must not use the test framework's assertions.
std::optional<std::string> RunInMountNamespace(const std::function<std::string()>& body,
                                               std::string& whyNot);

// Mounts a fresh tmpfs on folder; the error text, empty on success.
std::string MountTmpfs(const std::string& folder);
