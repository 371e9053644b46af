#include "platform/linux/DpkgQuery.h"

#include "platform/linux/TChildProcess.h"

#include <cstdlib>
#include <set>
#include <sstream>

namespace Platform {

namespace {

// The dpkg-query pattern that matches exactly this path.
std::string ExactPattern(const std::string& path) {
    std::string pattern;
    for (char c : path) {
        if (c == '*' || c == '?' || c == '[' || c == '\\')
            pattern += '\\';
        pattern += c;
    }
    return pattern;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A multiarch library folder such as x86_64-linux-gnu, shared by every package.
bool IsMultiarchFolder(const std::string& name) {
    return name.find("-linux-gnu") != std::string::npos;
}

// The package's own folder: the top folder of its files under /opt, /usr/lib or
// /usr/share, passing over the folders every package shares.
std::string DpkgLocation(const std::vector<std::string>& files) {
    static const std::set<std::string> shared{
        "applications",    "doc",     "icons",   "man",     "locale",  "pixmaps",
        "metainfo",        "menu",    "mime",    "appdata", "lintian", "bash-completion",
        "dbus-1",          "help",    "info",    "systemd", "zsh",     "bug",
        "common-licenses", "perl5",   "python3", "gtk-doc", "fish",    "polkit-1",
        "gnome-shell",     "glib-2.0"};
    std::string best;
    int bestRank = 4;
    for (const std::string& line : files) {
        int rank = 0;
        std::string base;
        for (const char* prefix : {"/opt/", "/usr/lib/", "/usr/share/"}) {
            ++rank;
            if (line.rfind(prefix, 0) == 0) {
                base = prefix;
                break;
            }
        }
        if (base.empty() || rank >= bestRank)
            continue;
        size_t end = line.find('/', base.size());
        if (end == std::string::npos)
            continue; // a file directly in the base folder
        if (IsMultiarchFolder(line.substr(base.size(), end - base.size()))) {
            // /usr/lib/<triplet>/<program>/: the triplet folder is shared by every package.
            base = line.substr(0, end + 1);
            end = line.find('/', base.size());
            if (end == std::string::npos)
                continue;
        }
        const std::string top = line.substr(base.size(), end - base.size());
        if (shared.count(top))
            continue;
        best = base + top + "/";
        bestRank = rank;
    }
    return best;
}

} // namespace

TCommandResult RunCommand(const std::vector<std::string>& argv) {
    TChildProcess child(argv, /*withErrors=*/false);
    TCommandResult result;
    result.Started = child.Started();
    if (!child.Wait(60000))
        child.Kill();
    result.ExitCode = child.ExitCode();
    result.Output = child.Output();
    return result;
}

// The package of each path dpkg knows, from "package[, package...]: path" lines; the
// diversion lines are passed over.
std::map<std::string, std::string> DpkgOwners(const TCommandRunner& run,
                                              const std::vector<std::string>& paths) {
    std::map<std::string, std::string> owners;
    // A thousand paths a call keep the command line well within its limit.
    for (size_t from = 0; from < paths.size(); from += 1000) {
        std::vector<std::string> argv{"dpkg-query", "--search", "--"};
        for (size_t i = from; i < paths.size() && i < from + 1000; ++i)
            argv.push_back(ExactPattern(paths[i]));
        for (const std::string& line : Lines(run(argv).Output)) {
            const size_t colon = line.find(": ");
            if (colon == std::string::npos || line.rfind("diversion by ", 0) == 0 ||
                line.rfind("local diversion", 0) == 0)
                continue;
            const std::string packages = line.substr(0, colon);
            owners.emplace(line.substr(colon + 2), packages.substr(0, packages.find(',')));
        }
    }
    return owners;
}

// Installed-Size (KB) of each package, under its plain and its architecture-qualified name.
std::map<std::string, double> DpkgSizes(const TCommandRunner& run,
                                        const std::vector<std::string>& packages) {
    std::map<std::string, double> sizes;
    if (packages.empty())
        return sizes;
    std::vector<std::string> argv{"dpkg-query", "--show",
                                  "--showformat=${binary:Package}\t${Package}\t${Installed-Size}\n",
                                  "--"};
    argv.insert(argv.end(), packages.begin(), packages.end());
    for (const std::string& line : Lines(run(argv).Output)) {
        std::stringstream fields(line);
        std::string qualified, plain, size;
        std::getline(fields, qualified, '\t');
        std::getline(fields, plain, '\t');
        std::getline(fields, size, '\t');
        sizes[qualified] = sizes[plain] = std::atof(size.c_str());
    }
    return sizes;
}

// The folder of each package from one listing of all their files, in which dpkg-query
// puts an empty line between one package's files and the next's.
std::map<std::string, std::string> DpkgLocations(const TCommandRunner& run,
                                                 const std::vector<std::string>& packages) {
    std::map<std::string, std::string> locations;
    if (packages.empty())
        return locations;
    std::vector<std::string> argv{"dpkg-query", "--listfiles", "--"};
    argv.insert(argv.end(), packages.begin(), packages.end());
    size_t index = 0;
    std::vector<std::string> files;
    for (const std::string& line : Lines(run(argv).Output + "\n\n")) {
        if (!line.empty()) {
            files.push_back(line);
            continue;
        }
        if (index < packages.size())
            locations[packages[index++]] = DpkgLocation(files);
        files.clear();
    }
    return locations;
}

} // namespace Platform
