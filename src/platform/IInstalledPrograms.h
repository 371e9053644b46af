#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Platform {

// One entry of the system's list of installed programs, as the system keeps it. On
// Windows these are the subkeys of the Uninstall key with their raw values; on Linux the
// installed packages that bring applications to the desktop's menu, one entry each.
struct TUninstallKey {
    std::string KeyName;
    std::string DisplayName;
    std::string UninstallString; // as stored; the text shown for the command
    // Linux: the command as an argument list, run without a shell. Empty on Windows,
    // where the shell starts UninstallString.
    std::vector<std::string> UninstallArgs;
    // Linux: who installed it, "dpkg", "flatpak" or "snap"; KeyName is its name there.
    std::string Source;
    // The names of all menu entries the program brings, when it brings more than one.
    std::vector<std::string> EntryNames;
    // Where the system knows better than the command's folder: the package's own
    // folder and its recorded size in KB.
    std::optional<std::string> Location;
    std::optional<double> SizeKB;
};

// What became of a program once its uninstaller has ended.
struct TUninstallOutcome {
    bool Gone = false;   // the program is no longer installed
    bool Started = true; // false: the uninstaller could not be started
    int ExitCode = 0;    // the uninstaller's exit status
    std::string Message; // the last line the uninstaller wrote, or why it did not start
};

// An uninstaller that was started. Its owner polls it until it has ended.
class IUninstallRun {
public:
    virtual ~IUninstallRun() = default;
    // True once the uninstaller has ended; never blocks.
    virtual bool Finished() = 0;
    // What became of the program; called once, after Finished() said true.
    virtual TUninstallOutcome Outcome() = 0;
};

// A run that has ended already, with a known outcome.
std::unique_ptr<IUninstallRun> FinishedRun(TUninstallOutcome outcome);

class IInstalledPrograms {
public:
    virtual ~IInstalledPrograms() = default;
    // The entries in the order the system gives them; nullopt when the list itself
    // cannot be read.
    virtual std::optional<std::vector<TUninstallKey>> ReadKeys() = 0;
    // Starts the uninstaller of an entry (never null). command is the text after the
    // program's own rules (quotes stripped, blanks trimmed). Where the system cannot tell
    // whether a program is gone (Windows), the run ends at once as gone.
    virtual std::unique_ptr<IUninstallRun> StartUninstaller(const TUninstallKey& key,
                                                            const std::string& command) = 0;
};

IInstalledPrograms& InstalledPrograms();
std::unique_ptr<IInstalledPrograms>
SetInstalledPrograms(std::unique_ptr<IInstalledPrograms> programs);
// The system's own list; defined once by each backend.
std::unique_ptr<IInstalledPrograms> CreateNativeInstalledPrograms();

} // namespace Platform
