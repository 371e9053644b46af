#include "platform/linux/TDesktopPrograms.h"

#include "platform/SystemInfo.h"
#include "platform/TDirWalker.h"
#include "platform/linux/ExecLine.h"
#include "platform/linux/TPackageUninstallRun.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace Platform {

namespace {

// The keys of an entry's [Desktop Entry] group that the list needs.
struct TEntryKeys {
    std::string Type, Name, Exec;
    bool Shown = true; // not NoDisplay, not Hidden
};

// One desktop-file id as the menu sees it: the file that decides (a user's copy first)
// and the system's file it stands in for, if any.
struct TDesktopEntry {
    std::string Id;
    fs::path File;
    std::optional<fs::path> SystemFile;
    std::string Name;
    std::vector<std::string> Execs; // the decisive file's Exec, then the system file's
};

// What owns an entry, before entries of one package are merged.
struct TOwnedEntry {
    const TDesktopEntry* Entry;
    std::string Source, Package;
    std::vector<std::string> Candidates; // dpkg: the files whose package it is, best first
    std::string ProgramFile;             // dpkg: the entry's program, when it told the package
};

std::string TrimBlanks(const std::string& text) {
    const size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos)
        return {};
    return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

// Blanks around "=" are allowed by the desktop entry format and ignored.
std::optional<TEntryKeys> ReadEntry(const fs::path& file) {
    std::ifstream in(file);
    if (!in)
        return std::nullopt;
    TEntryKeys keys;
    std::string line, chinese;
    bool inEntry = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        const size_t equals = line.find('=');
        if (!inEntry || equals == std::string::npos || line[0] == '#')
            continue;
        const std::string key = TrimBlanks(line.substr(0, equals));
        const std::string value = TrimBlanks(line.substr(equals + 1));
        if (key == "Type")
            keys.Type = value;
        else if (key == "Name")
            keys.Name = value;
        else if (key == "Name[zh_CN]")
            chinese = value;
        else if (key == "Exec")
            keys.Exec = value;
        else if ((key == "NoDisplay" || key == "Hidden") && value == "true")
            keys.Shown = false;
    }
    if (!chinese.empty())
        keys.Name = chinese;
    return keys;
}

// Every application entry once, by its desktop-file id; the first folder decides. A
// user's copy that hides a system entry from the menu does not hide the installed program.
std::vector<TDesktopEntry> DesktopEntries(const std::vector<fs::path>& folders) {
    std::vector<std::string> order;
    std::map<std::string, std::vector<fs::path>> files;
    for (const fs::path& folder : folders) {
        std::error_code ec;
        std::vector<fs::path> found;
        for (auto it = fs::recursive_directory_iterator(folder, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
            if (it->path().extension() == ".desktop")
                found.push_back(it->path());
        std::sort(found.begin(), found.end());
        for (const fs::path& file : found) {
            std::string id = fs::relative(file, folder, ec).generic_string();
            std::replace(id.begin(), id.end(), '/', '-');
            auto& list = files[id];
            if (list.empty())
                order.push_back(id);
            list.push_back(file);
        }
    }
    std::vector<TDesktopEntry> entries;
    for (const std::string& id : order) {
        const std::vector<fs::path>& list = files[id];
        const auto own = ReadEntry(list[0]);
        const auto system = list.size() > 1 ? ReadEntry(list[1]) : std::nullopt;
        if (!own)
            continue;
        const std::string type = own->Type.empty() && system ? system->Type : own->Type;
        TDesktopEntry e{id, list[0], std::nullopt, own->Name, {own->Exec}};
        bool shown = own->Shown;
        if (system) {
            e.SystemFile = list[1];
            e.Execs.push_back(system->Exec);
            shown = shown || system->Shown;
            if (e.Name.empty())
                e.Name = system->Name;
        }
        if (type == "Application" && shown && !e.Name.empty())
            entries.push_back(std::move(e));
    }
    return entries;
}

// The flatpak application an exported desktop file belongs to: its file name is the
// application id, or begins with it and a dot for the application's further entries.
std::string FlatpakAppId(const std::string& stem, const std::vector<fs::path>& appFolders) {
    std::string best;
    for (const fs::path& apps : appFolders) {
        std::error_code ec;
        for (auto it = fs::directory_iterator(apps, ec); !ec && it != fs::directory_iterator();
             it.increment(ec)) {
            const std::string id = it->path().filename().string();
            if (id.size() > best.size() && stem.rfind(id, 0) == 0 &&
                (stem.size() == id.size() || stem[id.size()] == '.'))
                best = id;
        }
    }
    return best.empty() ? stem : best;
}

std::string Joined(const std::vector<std::string>& args) {
    std::string text;
    for (const std::string& a : args)
        text += (text.empty() ? "" : " ") + a;
    return text;
}

double FolderKB(const fs::path& folder) {
    const TTreeTotal total = SumTree(folder, [](const TDirEntry&) { return true; });
    return total.Opened ? static_cast<double>(total.Bytes) / 1024.0 : 0;
}

// A snap is a mounted image: its installed size is that of the current revision's image.
double SnapImageKB(const TProgramSources& sources, const std::string& name) {
    std::error_code ec;
    const fs::path revision = fs::read_symlink(sources.SnapMounts / name / "current", ec);
    if (ec)
        return 0;
    const auto bytes = fs::file_size(
        sources.SnapImages / (name + "_" + revision.filename().string() + ".snap"), ec);
    return ec ? 0 : static_cast<double>(bytes) / 1024.0;
}

std::vector<std::string> DpkgCandidates(const TDesktopEntry& e,
                                        const std::vector<fs::path>& searchPath) {
    std::vector<std::string> paths;
    for (const std::string& exec : e.Execs)
        for (const fs::path& p : ExecOwnerCandidates(exec, searchPath))
            paths.push_back(p.string());
    // The desktop file's own package when the program tells nothing: the system's file
    // where a user's copy stands in for it.
    paths.push_back((e.SystemFile ? *e.SystemFile : e.File).string());
    return paths;
}

// Which of a package's entries names the row: the one named after the package, else the
// one whose program is, else the shortest name.
const TDesktopEntry* MainEntry(const std::vector<const TDesktopEntry*>& entries,
                               const std::string& package) {
    const auto rank = [&](const TDesktopEntry* e) {
        const std::string stem = fs::path(e->Id).stem().string();
        if (stem == package)
            return 0;
        const auto args = ExecArguments(e->Execs[0]);
        if (!args.empty() && fs::path(args[0]).filename() == package)
            return 1;
        return 2;
    };
    return *std::min_element(entries.begin(), entries.end(),
                             [&](const TDesktopEntry* a, const TDesktopEntry* b) {
                                 const int ra = rank(a), rb = rank(b);
                                 return ra != rb ? ra < rb : a->Name.size() < b->Name.size();
                             });
}

void Classify(const TProgramSources& sources, const std::vector<TDesktopEntry>& entries,
              std::vector<TOwnedEntry>& owned) {
    std::vector<std::string> queried;
    for (const TDesktopEntry& e : entries) {
        const std::string origin = (e.SystemFile ? *e.SystemFile : e.File).string();
        const std::string stem = fs::path(origin).stem().string();
        if (origin.find("/flatpak/exports/share/applications/") != std::string::npos)
            owned.push_back({&e, "flatpak", FlatpakAppId(stem, sources.FlatpakApps), {}});
        else if (origin.find("/snapd/desktop/applications/") != std::string::npos)
            owned.push_back({&e, "snap", stem.substr(0, stem.find('_')), {}});
        else {
            owned.push_back({&e, "dpkg", {}, DpkgCandidates(e, sources.SearchPath)});
            queried.insert(queried.end(), owned.back().Candidates.begin(),
                           owned.back().Candidates.end());
        }
    }
    std::sort(queried.begin(), queried.end());
    queried.erase(std::unique(queried.begin(), queried.end()), queried.end());
    const auto owners = DpkgOwners(sources.Run, queried);
    for (TOwnedEntry& o : owned) {
        if (o.Source != "dpkg")
            continue;
        for (size_t i = 0; i < o.Candidates.size() && o.Package.empty(); ++i)
            if (const auto it = owners.find(o.Candidates[i]); it != owners.end()) {
                o.Package = it->second;
                // The last candidate is the desktop file itself.
                if (i + 1 < o.Candidates.size())
                    o.ProgramFile = o.Candidates[i];
            }
    }
}

} // namespace

TProgramSources TProgramSources::FromEnvironment() {
    TProgramSources s;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const fs::path home = HomeFolder();
    const fs::path userData = dataHome && *dataHome ? fs::path(dataHome) : home / ".local/share";
    s.ApplicationFolders.push_back(userData / "applications");
    const char* dataDirs = std::getenv("XDG_DATA_DIRS");
    std::stringstream dirs(dataDirs && *dataDirs ? dataDirs : "/usr/local/share:/usr/share");
    for (std::string dir; std::getline(dirs, dir, ':');)
        if (!dir.empty())
            s.ApplicationFolders.push_back(fs::path(dir) / "applications");
    const char* path = std::getenv("PATH");
    // The system folders too: a desktop's PATH often lacks the sbin folders.
    std::stringstream folders(std::string(path ? path : "") +
                              ":/usr/local/bin:/usr/bin:/bin:/usr/local/sbin:/usr/sbin:/sbin");
    for (std::string folder; std::getline(folders, folder, ':');)
        if (!folder.empty() && folder[0] == '/')
            s.SearchPath.push_back(folder);
    s.FlatpakApps = {userData / "flatpak/app", "/var/lib/flatpak/app"};
    return s;
}

std::unique_ptr<IInstalledPrograms> CreateNativeInstalledPrograms() {
    return std::make_unique<TDesktopPrograms>(TProgramSources::FromEnvironment());
}

std::optional<std::vector<TUninstallKey>> TDesktopPrograms::ReadKeys() {
    const std::vector<TDesktopEntry> entries = DesktopEntries(FSources.ApplicationFolders);
    std::vector<TOwnedEntry> owned;
    Classify(FSources, entries, owned);

    // One program per package, where its first entry stands; its entries in menu order.
    std::vector<std::pair<std::string, std::string>> order;
    std::map<std::pair<std::string, std::string>, std::vector<const TDesktopEntry*>> byPackage;
    std::vector<std::string> debs;
    std::map<std::string, std::string> programFolders;
    for (const TOwnedEntry& o : owned) {
        if (o.Package.empty())
            continue; // nobody can uninstall it
        auto& list = byPackage[{o.Source, o.Package}];
        if (list.empty()) {
            order.emplace_back(o.Source, o.Package);
            if (o.Source == "dpkg")
                debs.push_back(o.Package);
        }
        list.push_back(o.Entry);
        if (programFolders.count(o.Package) == 0 && !o.ProgramFile.empty())
            programFolders[o.Package] = fs::path(o.ProgramFile).parent_path().string() + "/";
    }
    const auto sizes = DpkgSizes(FSources.Run, debs);
    const auto locations = DpkgLocations(FSources.Run, debs);

    std::vector<TUninstallKey> keys;
    for (const auto& id : order) {
        const auto& list = byPackage[id];
        TUninstallKey key;
        key.Source = id.first;
        key.KeyName = id.second;
        key.DisplayName = MainEntry(list, key.KeyName)->Name;
        if (list.size() > 1)
            for (const TDesktopEntry* e : list)
                key.EntryNames.push_back(e->Name);
        if (key.Source == "flatpak") {
            key.UninstallArgs = {"flatpak", "uninstall", "--assumeyes", "--", key.KeyName};
            for (const fs::path& apps : FSources.FlatpakApps) {
                const fs::path files = apps / key.KeyName / "current/active/files";
                std::error_code ec;
                if (fs::is_directory(files, ec)) {
                    key.Location = files.string() + "/";
                    key.SizeKB = FolderKB(files);
                    break;
                }
            }
        } else if (key.Source == "snap") {
            key.UninstallArgs = {"pkexec", "snap", "remove", "--", key.KeyName};
            key.Location = (FSources.SnapMounts / key.KeyName).string() + "/";
            key.SizeKB = SnapImageKB(FSources, key.KeyName);
        } else {
            key.UninstallArgs = {"pkexec", "apt-get", "remove", "--yes", "--", key.KeyName};
            const auto size = sizes.find(key.KeyName);
            key.SizeKB = size == sizes.end() ? 0 : size->second;
            // A package with no folder of its own (vim: /usr/bin/vim.basic and shared
            // folders) shows its program's folder.
            const auto location = locations.find(key.KeyName);
            key.Location = location == locations.end() ? std::string() : location->second;
            if (key.Location->empty() && programFolders.count(key.KeyName))
                key.Location = programFolders[key.KeyName];
        }
        key.UninstallString = Joined(key.UninstallArgs);
        keys.push_back(std::move(key));
    }
    return keys;
}

bool TDesktopPrograms::IsInstalled(const TUninstallKey& key) const {
    if (key.Source == "flatpak")
        return FSources.Run({"flatpak", "info", "--", key.KeyName}).ExitCode == 0;
    if (key.Source == "snap")
        return FSources.Run({"snap", "list", "--", key.KeyName}).ExitCode == 0;
    const TCommandResult status = FSources.Run(
        {"dpkg-query", "--show", "--showformat=${db:Status-Abbrev}", "--", key.KeyName});
    if (!status.Started)
        return true; // nobody to ask: it may well be there still
    // The second letter is the package's state: not installed, or its configuration only.
    return status.Output.size() >= 2 && status.Output[1] != 'n' && status.Output[1] != 'c';
}

std::unique_ptr<IUninstallRun> TDesktopPrograms::StartUninstaller(const TUninstallKey& key,
                                                                  const std::string&) {
    const TUninstallKey copy = key;
    return std::make_unique<TPackageUninstallRun>(key.UninstallArgs,
                                                  [this, copy] { return IsInstalled(copy); });
}

} // namespace Platform