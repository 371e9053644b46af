#include "platform/SystemInfo.h"
#include "platform/Volumes.h"

#include <cstdlib>

#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Platform {
namespace {

// Reads a leading decimal number and moves past it and one following ".".
uint32_t TakeNumber(const char*& p) {
    uint32_t n = 0;
    while (*p >= '0' && *p <= '9')
        n = n * 10 + static_cast<uint32_t>(*p++ - '0');
    if (*p == '.')
        ++p;
    return n;
}

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::string(v) : fallback;
}

} // namespace

// The kernel stands for the version record: "Linux", its release numbers and, as the
// extra text, the release and build strings ("6.1.0-13-amd64 #1 SMP ...").
std::optional<TOSVersion> OSVersion() {
    struct utsname u;
    if (uname(&u) != 0)
        return std::nullopt;
    TOSVersion v;
    v.PlatformName = u.sysname;
    const char* p = u.release;
    v.Major = TakeNumber(p);
    v.Minor = TakeNumber(p);
    v.Build = TakeNumber(p);
    v.ServicePack = std::string(u.release) + " " + u.version;
    if (v.ServicePack.size() > 128)
        v.ServicePack.resize(128);
    return v;
}

// Linux names have no short form: the path is its own short form.
std::optional<std::string> ShortPathName(const std::string& path, int& errorCode) {
    errorCode = 0;
    return path;
}

std::optional<std::string> ShellDisplayName(const fs::path& path) {
    struct stat st;
    if (path.empty() || lstat(path.c_str(), &st) != 0)
        return std::nullopt;
    std::string text = path.native();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    for (const TVolumeInfo& v : Volumes().List()) {
        std::string mount = v.Root;
        if (mount.size() > 1)
            mount.pop_back();
        if (mount == text)
            return (v.Label.empty() ? std::string("Local Disk") : v.Label) + " (" + mount + ")";
    }
    const std::string name = fs::path(text).filename().native();
    return name.empty() ? text : name;
}

// Linux has no Windows folder; the root holds the system the way it does.
std::string WindowsFolder() { return "/"; }

// The per-user application data folder stands in for "Local Settings".
std::string LocalSettingsFolder() {
    const std::string home = HomeFolder().native();
    const std::string fallback = home.empty() ? std::string() : home + "/.local/share";
    return EnvOr("XDG_DATA_HOME", fallback);
}

fs::path HomeFolder() {
    if (const char* h = std::getenv("HOME"); h && *h)
        return h;
    if (const struct passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return {};
}

bool RaiseOpenFileLimit() {
    struct rlimit lim;
    if (getrlimit(RLIMIT_NOFILE, &lim) != 0)
        return false;
    if (lim.rlim_cur == lim.rlim_max)
        return true;
    lim.rlim_cur = lim.rlim_max;
    return setrlimit(RLIMIT_NOFILE, &lim) == 0;
}

} // namespace Platform
