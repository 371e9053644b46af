#pragma once

#include "platform/PrivacyPlaces.h"

#include <filesystem>
#include <string_view>
#include <vector>

// Small helpers shared by the Linux privacy places. All of them look at an entry itself,
// never at what a link points to.
namespace Platform::PrivacyFiles {

bool IsRealFolder(const std::filesystem::path& path);
// A regular file or a symbolic link: something that is deleted as a file.
bool IsFileOrLink(const std::filesystem::path& path);
// The real sub-folders of a folder whose names satisfy the test, sorted by name.
std::vector<std::filesystem::path> SubFolders(const std::filesystem::path& folder,
                                              bool (*nameMatches)(std::string_view));
// The files (and links) of a folder whose name begins with prefix, sorted by name.
std::vector<std::filesystem::path> FilesStartingWith(const std::filesystem::path& folder,
                                                     std::string_view prefix);

void AddWipe(std::vector<TPrivacyPlace>& places, const std::filesystem::path& folder);
void AddDelete(std::vector<TPrivacyPlace>& places, const std::filesystem::path& file);

} // namespace Platform::PrivacyFiles
