#include "platform/linux/TDesktopPrograms.h"

#include "platform/Process.h"
#include "platform/SystemInfo.h"
#include "platform/TDirWalker.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace Platform {

namespace {

struct TDesktopEntry {
    std::string Id;
    fs::path File;
    std::string Name;
};

std::string TrimBlanks(const std::string& text) {
    const size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos)
        return {};
    return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

// Reads the keys of the [Desktop Entry] group; false for an entry the menu does not show.
// Blanks around "=" are allowed by the desktop entry format and ignored.
bool ReadEntry(const fs::path& file, std::string& name) {
    std::ifstream in(file);
    std::string line, type, plain, chinese;
    bool inEntry = false, hidden = false;
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
            type = value;
        else if (key == "Name")
            plain = value;
        else if (key == "Name[zh_CN]")
            chinese = value;
        else if ((key == "NoDisplay" || key == "Hidden") && value == "true")
            hidden = true;
    }
    name = chinese.empty() ? plain : chinese;
    return type == "Application" && !hidden && !name.empty();
}

// The flatpak application a exported desktop file belongs to: its file name is the
// application id, or begins with it and a dot for the application's further entries.
std::string FlatpakAppId(const std::string& stem, const std::vector<fs::path>& appFolders) {
    std::string best;
    for (const fs::path& apps : appFolders) {
        std::error_code ec;
        for (auto it = fs::directory_iterator(apps, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
            const std::string id = it->path().filename().string();
            if (id.size() > best.size() && stem.rfind(id, 0) == 0 && (stem.size() == id.size() || stem[id.size()] == '.'))
                best = id;
        }
    }
    return best.empty() ? stem : best;
}

// Every application entry once, by its desktop-file id; the first folder wins.
std::vector<TDesktopEntry> DesktopEntries(const std::vector<fs::path>& folders) {
    std::vector<TDesktopEntry> entries;
    std::set<std::string> seen;
    for (const fs::path& folder : folders) {
        std::error_code ec;
        std::vector<fs::path> files;
        for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec))
            if (it->path().extension() == ".desktop")
                files.push_back(it->path());
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) {
            std::string id = fs::relative(file, folder, ec).generic_string();
            std::replace(id.begin(), id.end(), '/', '-');
            if (!seen.insert(id).second)
                continue;
            TDesktopEntry e{id, file, {}};
            if (ReadEntry(file, e.Name))
                entries.push_back(std::move(e));
        }
    }
    return entries;
}

// The package of each file the dpkg database lists, for the .desktop files only, read
// in one pass over the package lists.
std::map<std::string, std::string> DpkgDesktopOwners(const fs::path& info) {
    std::map<std::string, std::string> owners;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(info, ec)) {
        if (e.path().extension() != ".list")
            continue;
        std::string package = e.path().stem().string();
        package = package.substr(0, package.find(':')); // "name:arch"
        std::ifstream in(e.path());
        for (std::string line; std::getline(in, line);)
            if (line.ends_with(".desktop"))
                owners.emplace(line, package);
    }
    return owners;
}

// Installed-Size (KB) of every package in the dpkg status file.
std::map<std::string, double> DpkgSizes(const fs::path& status) {
    std::map<std::string, double> sizes;
    std::ifstream in(status);
    std::string package;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("Package: ", 0) == 0)
            package = line.substr(9);
        else if (line.rfind("Installed-Size: ", 0) == 0 && !package.empty())
            sizes[package] = std::atof(line.c_str() + 16);
    }
    return sizes;
}

// A multiarch library folder such as x86_64-linux-gnu, shared by every package.
bool IsMultiarchFolder(const std::string& name) { return name.find("-linux-gnu") != std::string::npos; }

// The package's own folder: the top folder of its files under /opt, /usr/lib or
// /usr/share, passing over the folders every package shares.
std::string DpkgLocation(const fs::path& info, const std::string& package) {
    static const std::set<std::string> shared{"applications", "doc", "icons", "man", "locale", "pixmaps",
                                              "metainfo", "menu", "mime", "appdata", "lintian", "bash-completion",
                                              "dbus-1", "help", "info",
                                              "systemd", "zsh", "bug", "common-licenses", "perl5", "python3", "gtk-doc", "fish", "polkit-1", "gnome-shell", "glib-2.0"};
    std::ifstream in(info / (package + ".list"));
    if (!in) {
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(info, ec))
            if (e.path().filename().string().rfind(package + ":", 0) == 0 && e.path().extension() == ".list")
                in.open(e.path());
    }
    std::string best;
    int bestRank = 4;
    for (std::string line; std::getline(in, line);) {
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
    const auto bytes = fs::file_size(sources.SnapImages / (name + "_" + revision.filename().string() + ".snap"), ec);
    return ec ? 0 : static_cast<double>(bytes) / 1024.0;
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
    s.FlatpakApps = {userData / "flatpak/app", "/var/lib/flatpak/app"};
    return s;
}

std::unique_ptr<IInstalledPrograms> CreateNativeInstalledPrograms() {
    return std::make_unique<TDesktopPrograms>(TProgramSources::FromEnvironment());
}

std::optional<std::vector<TUninstallKey>> TDesktopPrograms::ReadKeys() {
    const std::vector<TDesktopEntry> entries = DesktopEntries(FSources.ApplicationFolders);
    const auto owners = DpkgDesktopOwners(FSources.DpkgInfo);
    std::optional<std::map<std::string, double>> sizes;
    std::vector<TUninstallKey> keys;
    for (const TDesktopEntry& e : entries) {
        TUninstallKey key;
        key.DisplayName = e.Name;
        const std::string file = e.File.string();
        const std::string stem = e.File.stem().string();
        if (file.find("/flatpak/exports/share/applications/") != std::string::npos) {
            key.KeyName = FlatpakAppId(stem, FSources.FlatpakApps);
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
        } else if (file.find("/snapd/desktop/applications/") != std::string::npos) {
            key.KeyName = stem.substr(0, stem.find('_'));
            key.UninstallArgs = {"pkexec", "snap", "remove", "--", key.KeyName};
            key.Location = (FSources.SnapMounts / key.KeyName).string() + "/";
            key.SizeKB = SnapImageKB(FSources, key.KeyName);
        } else if (const auto owner = owners.find(file); owner != owners.end()) {
            key.KeyName = owner->second;
            key.UninstallArgs = {"pkexec", "apt-get", "remove", "--yes", "--", key.KeyName};
            if (!sizes)
                sizes = DpkgSizes(FSources.DpkgStatus);
            const auto size = sizes->find(key.KeyName);
            key.SizeKB = size == sizes->end() ? 0 : size->second;
            key.Location = DpkgLocation(FSources.DpkgInfo, key.KeyName);
        } else {
            continue; // nobody can uninstall it
        }
        key.UninstallString = Joined(key.UninstallArgs);
        keys.push_back(std::move(key));
    }
    return keys;
}

bool TDesktopPrograms::StartUninstaller(const TUninstallKey& key, const std::string&) {
    return !key.UninstallArgs.empty() && StartDetached(key.UninstallArgs);
}

} // namespace Platform
