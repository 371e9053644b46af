#include "platform/linux/PrivacyFiles.h"

#include <algorithm>
#include <system_error>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace Platform::PrivacyFiles {

bool IsRealFolder(const fs::path& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFileOrLink(const fs::path& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode));
}

std::vector<fs::path> SubFolders(const fs::path& folder, bool (*nameMatches)(std::string_view)) {
    std::vector<fs::path> found;
    if (!IsRealFolder(folder))
        return found;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& p = it->path();
        if (nameMatches(p.filename().native()) && IsRealFolder(p))
            found.push_back(p);
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<fs::path> FilesStartingWith(const fs::path& folder, std::string_view prefix) {
    std::vector<fs::path> found;
    if (!IsRealFolder(folder))
        return found;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& p = it->path();
        if (p.filename().native().starts_with(prefix) && IsFileOrLink(p))
            found.push_back(p);
    }
    std::sort(found.begin(), found.end());
    return found;
}

void AddWipe(std::vector<TPrivacyPlace>& places, const fs::path& folder) {
    if (IsRealFolder(folder))
        places.push_back({TPlaceAction::Wipe, folder});
}

void AddDelete(std::vector<TPrivacyPlace>& places, const fs::path& file) {
    if (IsFileOrLink(file))
        places.push_back({TPlaceAction::DeleteFile, file});
}

} // namespace Platform::PrivacyFiles
