#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace Platform {

// The folders the user's own commands are found in: ~/.local/bin, the PATH a login shell
// of the user sets up (asked with a bounded wait; a shell that does not answer in time
// adds nothing) and this program's own PATH, without repeats. The program may have been
// started with a shorter PATH than the user's sessions have.
std::vector<std::string> UserSearchPath(const std::filesystem::path& home,
                                        const std::filesystem::path& shell);

// The PATH a login shell reports, or empty.
std::string LoginShellPath(const std::filesystem::path& shell);

} // namespace Platform
