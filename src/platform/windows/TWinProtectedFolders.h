#pragma once

#include "platform/TreeDelete.h"

#include <filesystem>
#include <set>
#include <string>

namespace Platform {

// The folders no delete may take on Windows: every drive root, the user's profile folder
// and every folder that holds it. The profile is taken from USERPROFILE and from the
// account's own record, each as written (with its parents as written) and as it really
// is behind junctions and links (the final path and every folder above it), compared by
// volume serial and file index as well as by text.
class TWinProtectedFolders {
public:
    static TWinProtectedFolders ForUser();

    bool HoldsIdentity(const TFileIdentity& id) const { return FIdentities.count(id) != 0; }
    bool HoldsText(const std::filesystem::path& path) const;

private:
    void AddProfile(const std::filesystem::path& profile);
    void Add(const std::filesystem::path& folder);

    std::set<TFileIdentity> FIdentities;
    std::set<std::wstring> FTexts;
};

// The absolute, upper-cased form with backslashes and no trailing separator, for
// comparing folders the way the file system does.
std::wstring CanonicalPathText(const std::filesystem::path& path);

} // namespace Platform
