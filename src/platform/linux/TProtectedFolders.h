#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <utility>

#include <sys/types.h>

namespace Platform {

// The folders no delete may take: the root, the user's home folder and every folder that
// holds it. Built from HOME and from the account's own home, each taken both as written
// (with its parents as written) and as reached through links (the real folder and every
// real folder above it), so a home reached through a link (/home/u -> /data/users/u)
// protects /data/users and /data as well as /home.
class TProtectedFolders {
public:
    static TProtectedFolders ForUser();

    // True when the folder of this device and inode is one of them.
    bool HoldsIdentity(dev_t device, ino_t inode) const;
    // True when the path, made absolute and lexically normal, names one of them.
    bool HoldsText(const std::filesystem::path& path) const;

private:
    void AddHome(const std::filesystem::path& home);
    void AddIdentityOf(const std::filesystem::path& path);

    std::set<std::pair<dev_t, ino_t>> FIdentities;
    std::set<std::string> FTexts;
};

// The absolute, lexically normal text of a path, without a trailing separator.
std::string NormalPathText(const std::filesystem::path& path);

} // namespace Platform
