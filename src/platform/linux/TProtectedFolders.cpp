#include "platform/linux/TProtectedFolders.h"

#include "platform/DeleteHooks.h"

#include <cstdlib>
#include <system_error>

#include <limits.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Platform {

namespace {

fs::path AccountHome() {
    if (const THomeLookup& lookup = CurrentAccountHomeLookup())
        return lookup();
    if (const struct passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return {};
}

} // namespace

std::string NormalPathText(const fs::path& path) {
    fs::path p = path;
    if (p.is_relative()) {
        std::error_code ec;
        p = fs::current_path(ec) / p;
    }
    std::string text = p.lexically_normal().native();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

TProtectedFolders TProtectedFolders::ForUser() {
    TProtectedFolders f;
    f.FTexts.insert("/");
    f.AddIdentityOf("/");
    if (const char* h = std::getenv("HOME"); h && *h)
        f.AddHome(h);
    f.AddHome(AccountHome());
    return f;
}

void TProtectedFolders::AddHome(const fs::path& home) {
    if (home.empty() || home.is_relative())
        return;
    const auto protect = [this](const fs::path& p) {
        FTexts.insert(p.native());
        AddIdentityOf(p);
    };
    // As written: a link on the way is followed by stat, so each text protects what it
    // leads to as well.
    ForEachUp(fs::path(NormalPathText(home)), protect);
    // As it really is: the folders above the real home, which the texts above may not name.
    char real[PATH_MAX];
    if (realpath(home.c_str(), real))
        ForEachUp(fs::path(real), protect);
}

void TProtectedFolders::AddIdentityOf(const fs::path& path) {
    struct stat st;
    if (stat(path.c_str(), &st) == 0)
        FIdentities.emplace(st.st_dev, st.st_ino);
}

bool TProtectedFolders::HoldsIdentity(dev_t device, ino_t inode) const {
    return FIdentities.count({device, inode}) != 0;
}

bool TProtectedFolders::HoldsText(const fs::path& path) const {
    return FTexts.count(NormalPathText(path)) != 0;
}

} // namespace Platform
