#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace Platform {

// The system's version record.
struct TOSVersion {
    std::string PlatformName; // "Windows NT", "Linux", ...
    uint32_t Major = 0;
    uint32_t Minor = 0;
    uint32_t Build = 0;
    std::string ServicePack;  // extra text, up to 128 characters; may be empty
};
std::optional<TOSVersion> OSVersion();

// The short (8.3) form of a path. nullopt when the system cannot give one; errorCode
// then holds the system's code (see SystemErrorText). Systems without short names
// return the path unchanged.
std::optional<std::string> ShortPathName(const std::string& path, int& errorCode);

// The name the desktop shows for a path: the file's name, or for a volume root its
// label (or "Local Disk") and the root in parentheses. nullopt when the path does not
// exist.
std::optional<std::string> ShellDisplayName(const std::filesystem::path& path);

// The system's own folder (the Windows folder), without a trailing separator where
// the system allows it.
std::string WindowsFolder();

// The user's per-user application data folder ("Local Settings" on Windows); empty
// when unknown.
std::string LocalSettingsFolder();

// The user's home folder; empty when unknown.
std::filesystem::path HomeFolder();

// Raises the soft limit of open files to the hard limit, so deep walks (one open folder
// per level) do not run out. Called once at start-up. False when it could not be raised.
bool RaiseOpenFileLimit();

} // namespace Platform
