#pragma once

#include "platform/TreeDelete.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>

#include <sys/types.h>

namespace Platform {

// How the privacy items empty their folders, through the deletion engine with a keep
// filter. Every base folder must be the user's own real folder: one that is a link, the
// root, the home folder or a folder holding it, or that somebody else owns, is passed
// over (the report says it was not opened) and the item goes on with its next folder.
// Inside, what another user owns, what a running process holds open, and sockets, FIFOs
// and device nodes stay, with the folders that hold them.
class TPrivacyWipe {
public:
    // now: the time the temporary folders' recent-change rule counts back from, seconds
    // since 1970.
    TPrivacyWipe(uid_t uid, int64_t now) : FUid(uid), FNow(now) {}

    // A cache or recent-documents folder.
    TDeleteReport Wipe(const std::filesystem::path& folder);

    // A temporary folder. Besides the above, what running programs and services depend on
    // stays: the lock files of running X displays, the X and ICE socket folders, the
    // private folders of services (systemd-private-*) and everything changed in the last
    // hour. shared: the system's temporary folder, which may belong to root when it has
    // the sticky bit.
    TDeleteReport WipeTemp(const std::filesystem::path& folder, bool shared);

    // A freedesktop.org trash folder: files/, info/ and expunged/ are emptied and stay,
    // directorysizes goes, nothing else in it is touched.
    TDeleteReport WipeTrash(const std::filesystem::path& trash);

private:
    TDeleteVerdict Ordinary(const TDeleteCandidate& c);
    bool InUse(const TFileIdentity& id);
    bool OwnStart(const TDeleteCandidate& start) const { return start.Owner == FUid; }

    uid_t FUid;
    int64_t FNow;
    std::optional<std::set<TFileIdentity>> FOpenFiles; // read once, on first need
};

} // namespace Platform
