#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace Platform {

// Writes the whole file through a temporary file in the same folder and a rename, so the
// old file stays whole when anything fails. Returns an empty text on success, else the
// system's reason (such as "Permission denied").
std::string WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Reads a whole file; nullopt with the reason in error when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, std::string* error);

// The system's text for an error code of the last failed call.
std::string SystemErrorText(int code);
int LastErrorCode();

} // namespace Platform
