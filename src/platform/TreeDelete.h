#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace Platform {

// Deletes a file, a link or a folder with everything in it, permanently.
// It refuses (deleting nothing) an empty path, the root folder, the user's home folder
// and the folders that hold it, and a mount point. Below the start it never follows a
// symbolic link (a link is removed as a link), never enters another mounted file system
// and works from open folder handles, so a folder swapped for a link while the delete
// runs is not followed. It goes on past what it cannot delete and returns true only
// when the path is gone.
bool DeleteTree(const std::filesystem::path& path);

// For tests of races: called with the folder's path and an entry's name just before
// the delete opens that entry as a sub-folder. Pass nullptr to remove.
using TDescendHook = std::function<void(const std::string& folder, std::string_view name)>;
void SetDeleteDescendHook(TDescendHook hook);

} // namespace Platform
