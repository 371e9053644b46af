#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Platform {

// One entry of the system's list of installed programs, as the system keeps it. On
// Windows these are the subkeys of the Uninstall key with their raw values; on Linux the
// desktop's applications with the package that owns each.
struct TUninstallKey {
    std::string KeyName;
    std::string DisplayName;
    std::string UninstallString; // as stored; the text shown for the command
    // Linux: the command as an argument list, run without a shell. Empty on Windows,
    // where the shell starts UninstallString.
    std::vector<std::string> UninstallArgs;
    // Where the system knows better than the command's folder: the package's own
    // folder and its recorded size in KB.
    std::optional<std::string> Location;
    std::optional<double> SizeKB;
};

class IInstalledPrograms {
public:
    virtual ~IInstalledPrograms() = default;
    // The entries in the order the system gives them; nullopt when the list itself
    // cannot be read.
    virtual std::optional<std::vector<TUninstallKey>> ReadKeys() = 0;
    // Starts the uninstaller of an entry and does not wait for it. command is the
    // text after the program's own rules (quotes stripped, blanks trimmed).
    virtual bool StartUninstaller(const TUninstallKey& key, const std::string& command) = 0;
};

IInstalledPrograms& InstalledPrograms();
std::unique_ptr<IInstalledPrograms> SetInstalledPrograms(std::unique_ptr<IInstalledPrograms> programs);
// The system's own list; defined once by each backend.
std::unique_ptr<IInstalledPrograms> CreateNativeInstalledPrograms();

} // namespace Platform
