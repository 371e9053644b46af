#pragma once

#include <filesystem>
#include <string>

// Makes link a junction (a mount-point reparse point) to the folder target, creating
// link as an empty folder first. Returns an empty text on success, else why not: wine 8
// answers FSCTL_SET_REPARSE_POINT with ERROR_NOT_SUPPORTED, and tests skip on that text.
std::string MakeJunction(const std::filesystem::path& link, const std::filesystem::path& target);

// Makes link a symbolic link to the folder target; the same answer. Wine's
// CreateSymbolicLinkW reports success without making anything, which is caught here.
std::string MakeFolderSymlink(const std::filesystem::path& link,
                              const std::filesystem::path& target);
