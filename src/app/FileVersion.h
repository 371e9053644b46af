#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The version-information block of a program file: found in the file's bytes and
// queried as Windows' version API does.

// The first well-formed version-information block in a file's bytes; nullopt when the
// bytes hold none. The view points into fileBytes.
std::optional<std::string_view> FindVersionInfo(std::string_view fileBytes);

// The raw value of a sub-block such as "\VarFileInfo\Translation" or
// "\StringFileInfo\080904E4\FileVersion" (keys compared without regard to case);
// nullopt when a key on the way is missing.
std::optional<std::string_view> VersionQueryValue(std::string_view block, std::string_view subBlock);

// The FileVersion text of the block's first translation; empty when the block has no
// translation entry or its string table has no FileVersion.
std::string VersionFileVersion(std::string_view block);

// The same for a file on disk; empty when the file cannot be read or carries no
// version information.
std::string GetFileVersionText(const std::filesystem::path& file);
