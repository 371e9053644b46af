#include "platform/PrivacyPlaces.h"

#include "platform/SystemInfo.h"
#include "platform/linux/XdgFolders.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Platform {
namespace {

bool DanglingLink(const fs::path& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return false;
    return stat(path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

// The first argument of an Exec value: quoting as desktop entries define it. nullopt when
// the value cannot be parsed (then the launcher is left alone).
std::optional<std::string> FirstArgument(const std::string& exec) {
    size_t i = exec.find_first_not_of(' ');
    if (i == std::string::npos)
        return std::nullopt;
    std::string arg;
    if (exec[i] != '"') {
        const size_t end = exec.find(' ', i);
        return exec.substr(i, end == std::string::npos ? std::string::npos : end - i);
    }
    for (++i; i < exec.size(); ++i) {
        if (exec[i] == '"')
            return arg.empty() ? std::nullopt : std::optional<std::string>(arg);
        if (exec[i] == '\\' && i + 1 < exec.size())
            ++i;
        arg += exec[i];
    }
    return std::nullopt; // an unclosed quote
}

// Escapes of string values: "\s", "\n", "\t", "\r" and "\\".
std::string Unescape(const std::string& value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char c = value[++i];
        out += c == 's' ? ' ' : c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
    }
    return out;
}

bool ProgramFound(const std::string& program) {
    if (program.find('/') != std::string::npos)
        return program.front() != '/' || access(program.c_str(), X_OK) == 0;
    const char* env = std::getenv("PATH");
    const std::string path = env && *env ? env : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(':', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string dir = end > start ? path.substr(start, end - start) : ".";
        if (access((dir + "/" + program).c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

// A launcher whose TryExec or Exec program cannot be found.
bool BrokenLauncher(const fs::path& path) {
    struct stat st;
    if (path.extension() != ".desktop" || lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    std::ifstream in(path);
    std::string tryExec, exec, group;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '[') {
            group = line;
            continue;
        }
        if (group != "[Desktop Entry]")
            continue;
        if (line.rfind("TryExec=", 0) == 0)
            tryExec = Unescape(line.substr(8));
        else if (line.rfind("Exec=", 0) == 0)
            exec = Unescape(line.substr(5));
    }
    if (!tryExec.empty() && !ProgramFound(tryExec))
        return true;
    if (exec.empty())
        return false;
    const std::optional<std::string> program = FirstArgument(exec);
    return program && !ProgramFound(*program);
}

void Collect(const fs::path& folder, std::vector<fs::path>& broken) {
    struct stat st;
    if (folder.empty() || lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return;
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (DanglingLink(it->path()) || BrokenLauncher(it->path()))
            found.push_back(it->path());
    std::sort(found.begin(), found.end());
    broken.insert(broken.end(), found.begin(), found.end());
}

} // namespace

std::vector<fs::path> BrokenShortcuts() {
    std::vector<fs::path> broken;
    Collect(Xdg::DesktopFolder(), broken);
    if (const fs::path data = Xdg::DataHome(); !data.empty())
        Collect(data / "applications", broken);
    if (const fs::path config = Xdg::ConfigHome(); !config.empty())
        Collect(config / "autostart", broken);
    return broken;
}

} // namespace Platform
