#include "platform/IPrivacyRoutines.h"
#include "platform/TDirWalker.h"

#include <set>
#include <string>
#include <utility>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Platform {

namespace {

using TFileId = std::pair<dev_t, ino_t>;

// The files some running process holds open: Linux lets them be deleted, but a program
// that is writing its temporary file would lose it.
std::set<TFileId> OpenFiles() {
    std::set<TFileId> ids;
    DIR* proc = opendir("/proc");
    if (!proc)
        return ids;
    while (const dirent* p = readdir(proc)) {
        if (p->d_name[0] < '0' || p->d_name[0] > '9')
            continue;
        const std::string fdDir = std::string("/proc/") + p->d_name + "/fd";
        DIR* fds = opendir(fdDir.c_str());
        if (!fds)
            continue;
        while (const dirent* f = readdir(fds)) {
            struct stat st;
            if (f->d_name[0] != '.' && stat((fdDir + "/" + f->d_name).c_str(), &st) == 0)
                ids.emplace(st.st_dev, st.st_ino);
        }
        closedir(fds);
    }
    closedir(proc);
    return ids;
}

class TWiper : public IDirVisitor {
public:
    TWiper() : FOpen(OpenFiles()), FUid(getuid()) {}

    TVisit OnEntry(const TDirEntry& entry) override {
        const fs::path path = entry.Path();
        struct stat st;
        if (lstat(path.c_str(), &st) != 0)
            return TVisit::Continue;
        if (st.st_uid != FUid)
            return TVisit::Continue; // another user's: it stays, and so do its folders
        if (S_ISDIR(st.st_mode))
            return TVisit::Descend;
        if (S_ISLNK(st.st_mode) || (S_ISREG(st.st_mode) && !FOpen.count({st.st_dev, st.st_ino})))
            unlink(path.c_str());
        // Sockets, FIFOs and device nodes belong to running programs: they stay.
        return TVisit::Continue;
    }
    // A folder goes once it is empty; one that still holds something stays.
    void OnLeave(const TDirEntry& folder) override { rmdir(folder.Path().c_str()); }

private:
    std::set<TFileId> FOpen;
    uid_t FUid;
};

} // namespace

void WipeFolderContents(const fs::path& folder) {
    if (folder.empty())
        return;
    TWiper wiper;
    TDirWalker walker;
    walker.Walk(folder, wiper);
}

} // namespace Platform
