#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace Platform {

// What a query program printed on its standard output, and how it ended.
struct TCommandResult {
    bool Started = false;
    int ExitCode = -1;
    std::string Output;
};
using TCommandRunner = std::function<TCommandResult(const std::vector<std::string>& argv)>;

// Runs a query program to its end (a minute at most) and returns its standard output;
// its error output is dropped.
TCommandResult RunCommand(const std::vector<std::string>& argv);

// What dpkg-query knows of files and packages, each asked in as few calls as it takes.
// The package of each path dpkg knows (the first, where several share a file).
std::map<std::string, std::string> DpkgOwners(const TCommandRunner& run,
                                              const std::vector<std::string>& paths);
// Installed-Size (KB) of each package, under its plain and its architecture-qualified name.
std::map<std::string, double> DpkgSizes(const TCommandRunner& run,
                                        const std::vector<std::string>& packages);
// The package's own folder: the top folder of its files under /opt, /usr/lib or
// /usr/share, passing over the folders every package shares; empty when it has none.
std::map<std::string, std::string> DpkgLocations(const TCommandRunner& run,
                                                 const std::vector<std::string>& packages);

} // namespace Platform
