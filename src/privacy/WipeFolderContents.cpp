#include "privacy/WipeFolderContents.h"

#include "core/FileRoutines.h"
#include "platform/TDirWalker.h"

#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The entries are listed before any is deleted: a listing that changes under it may
// skip or repeat entries.
std::vector<fs::path> Entries(const fs::path& folder) {
    std::vector<fs::path> entries;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        entries.push_back(it->path());
    return entries;
}

bool IsRealFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(fs::symlink_status(path, ec));
}

void DeleteAsFile(const fs::path& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

bool TreeHoldsInUse(const fs::path& folder, const Platform::TInUseProbe& inUse) {
    bool found = false;
    Platform::TDirWalker walker;
    Platform::TWalkOptions options;
    options.Details = false;
    options.FollowStartLink = false;
    walker.Walk(
        folder,
        [&](const Platform::TDirEntry& entry) {
            if (inUse(entry.Path())) {
                found = true;
                return Platform::TVisit::Stop;
            }
            return entry.IsDirectory() ? Platform::TVisit::Descend : Platform::TVisit::Continue;
        },
        options);
    return found;
}

void Wipe(const fs::path& folder, const Platform::TInUseProbe* inUse) {
    for (const fs::path& entry : Entries(folder)) {
        if (inUse && (*inUse)(entry))
            continue;
        if (!IsRealFolder(entry)) {
            DeleteAsFile(entry);
        } else if (inUse && TreeHoldsInUse(entry, *inUse)) {
            if (IsRealFolder(entry)) // checked again: never follow a folder swapped for a link
                Wipe(entry, inUse);
        } else {
            DeletePath(entry);
        }
    }
}

} // namespace

void WipeFolderContents(const fs::path& folder) { Wipe(folder, nullptr); }

void WipeFolderContents(const fs::path& folder, const Platform::TInUseProbe& inUse) {
    Wipe(folder, &inUse);
}
