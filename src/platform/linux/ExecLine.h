#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace Platform {

// The arguments of a desktop entry's Exec value: the value's own escapes undone, then split
// at blanks outside double quotes, with "\" escaping inside them; field codes (%f, %U...)
// dropped.
std::vector<std::string> ExecArguments(const std::string& exec);

// The files whose package is the package of a menu entry's program, best first: the
// program of the Exec line as the PATH finds it, with its links resolved and its other
// name on a system whose /bin is /usr/bin. A wrapper (env, pkexec) is looked through and
// an interpreter stands for its script; a launcher of documents or links (xdg-open, sh -c,
// flatpak run) names no program of its own and gives nothing.
std::vector<std::filesystem::path>
ExecOwnerCandidates(const std::string& exec, const std::vector<std::filesystem::path>& searchPath);

} // namespace Platform
