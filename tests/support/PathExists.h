#pragma once

#include <filesystem>
#include <system_error>

// Whether there is an entry under the name, a link counting as itself and not as what it
// points at: the tests about deletes must see a dangling link that was left behind. An
// entry that cannot be looked at counts as absent.
inline bool PathExists(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}
