#include "platform/FileOwnership.h"

#include <vector>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {

std::vector<char> LookupBuffer() {
    const long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    return std::vector<char>(size > 0 ? static_cast<size_t>(size) : 16384);
}

std::string UserName(uid_t uid) {
    std::vector<char> buffer = LookupBuffer();
    struct passwd pw;
    struct passwd* found = nullptr;
    if (getpwuid_r(uid, &pw, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name)
        return found->pw_name;
    return std::to_string(uid);
}

std::string GroupName(gid_t gid) {
    std::vector<char> buffer = LookupBuffer();
    struct group gr;
    struct group* found = nullptr;
    if (getgrgid_r(gid, &gr, buffer.data(), buffer.size(), &found) == 0 && found && found->gr_name)
        return found->gr_name;
    return std::to_string(gid);
}

std::string PermissionText(mode_t mode) {
    const mode_t bits[9] = {S_IRUSR, S_IWUSR, S_IXUSR, S_IRGRP, S_IWGRP,
                            S_IXGRP, S_IROTH, S_IWOTH, S_IXOTH};
    const char* letters = "rwxrwxrwx";
    std::string text(9, '-');
    for (int i = 0; i < 9; ++i)
        if (mode & bits[i])
            text[static_cast<size_t>(i)] = letters[i];
    return text;
}

} // namespace

std::optional<TOwnership> QueryOwnership(const std::filesystem::path& path) {
    struct stat st;
    if (path.empty() || lstat(path.c_str(), &st) != 0)
        return std::nullopt;
    return TOwnership{UserName(st.st_uid), GroupName(st.st_gid), PermissionText(st.st_mode)};
}

} // namespace Platform
