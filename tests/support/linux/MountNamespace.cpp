#include "support/linux/MountNamespace.h"

#include "support/linux/RunInChild.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

bool WriteFile(const char* path, const std::string& text) {
    std::ofstream out(path);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

// In the child: the namespaces, ourselves as root in them, and mounts of our own.
std::string EnterNamespaces() {
    const uid_t uid = getuid();
    const gid_t gid = getgid();
    if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
        return std::string("unshare: ") + std::strerror(errno);
    if (!WriteFile("/proc/self/setgroups", "deny") ||
        !WriteFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
        !WriteFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
        return "cannot map the user into the namespace";
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("private mounts: ") + std::strerror(errno);
    return {};
}

} // namespace

std::optional<std::string> RunInMountNamespace(const std::function<std::string()>& body,
                                               std::string& whyNot) {
    const std::optional<std::string> reply = RunInChild([&body] {
        const std::string failure = EnterNamespaces();
        return failure.empty() ? "+" + body() : "-" + failure;
    });
    if (!reply) {
        whyNot = "pipe or fork failed";
        return std::nullopt;
    }
    const std::string& result = *reply;
    if (result.empty() || result[0] != '+') {
        whyNot = result.empty() ? "the child ended without a word" : result.substr(1);
        return std::nullopt;
    }
    return result.substr(1);
}

std::string MountTmpfs(const std::string& folder) {
    if (mount("morvane-test", folder.c_str(), "tmpfs", 0, "size=64m") != 0)
        return std::string("mount: ") + std::strerror(errno);
    return {};
}
