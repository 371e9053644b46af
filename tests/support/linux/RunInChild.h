#pragma once

#include <functional>
#include <optional>
#include <string>

// Runs child in a forked process and returns the text it gave back through a pipe, once
// that process has ended. For work that must not touch the test process itself: another
// user, namespaces of its own. The child must not use the test framework's assertions;
// it may end early with _exit, and then whatever it had not yet written is lost.
// nullopt when no child could be started.
std::optional<std::string> RunInChild(const std::function<std::string()>& child);
