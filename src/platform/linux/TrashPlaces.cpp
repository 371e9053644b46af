#include "platform/linux/TrashPlaces.h"

#include "platform/Volumes.h"
#include "platform/linux/PrivacyFiles.h"
#include "platform/linux/XdgFolders.h"

#include <algorithm>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace Platform::PrivacyFiles;

namespace Platform {
namespace {

bool OwnFolder(const fs::path& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid();
}

// A shared ".Trash" is trusted only as a real, sticky folder, so that nobody can plant
// a link or a folder of their own there.
bool SharedTrashUsable(const fs::path& shared) {
    struct stat st;
    return lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) != 0;
}

void AddTrash(std::vector<TPrivacyPlace>& places, std::vector<fs::path>& seen, const fs::path& trash) {
    if (!OwnFolder(trash) || std::find(seen.begin(), seen.end(), trash) != seen.end())
        return;
    seen.push_back(trash);
    AddWipe(places, trash / "files");
    AddWipe(places, trash / "info");
    AddWipe(places, trash / "expunged");
    AddDelete(places, trash / "directorysizes");
}

} // namespace

std::vector<TPrivacyPlace> TrashPlaces() {
    std::vector<TPrivacyPlace> places;
    std::vector<fs::path> seen;
    if (const fs::path data = Xdg::DataHome(); !data.empty())
        AddTrash(places, seen, data / "Trash");
    const std::string uid = std::to_string(geteuid());
    for (const TVolumeInfo& volume : Volumes().List()) {
        const fs::path top(volume.Root);
        if (SharedTrashUsable(top / ".Trash"))
            AddTrash(places, seen, top / ".Trash" / uid);
        AddTrash(places, seen, top / (".Trash-" + uid));
    }
    return places;
}

} // namespace Platform
