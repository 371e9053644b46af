#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace Platform {

// The places where the system and the browsers keep usage traces, and how each kind is
// removed. Every routine passes over what is missing, locked or in use, in silence.
class IPrivacyRoutines {
public:
    virtual ~IPrivacyRoutines() = default;
    virtual void CleanTemporaryInternetFiles() = 0;
    virtual void CleanHistory() = 0;
    virtual void CleanCookies() = 0;
    virtual void CleanRecentFolders() = 0;
    virtual void CleanTempFolders() = 0;
    // Empty when done (or nothing to do); otherwise the text of the error to show.
    virtual std::string EmptyRecycleBin() = 0;
    virtual void CleanBrokenShortcuts() = 0;
};

IPrivacyRoutines& PrivacyRoutines();
// Installs a replacement and returns the previous instance.
std::unique_ptr<IPrivacyRoutines> SetPrivacyRoutines(std::unique_ptr<IPrivacyRoutines> routines);
// The system's own routines; defined once by each backend.
std::unique_ptr<IPrivacyRoutines> CreateNativePrivacyRoutines();

// Deletes everything inside a folder, permanently, and keeps the folder, through the
// deletion engine. Sub-folders go with their contents; links are removed as links. What
// is in use stays, with the folders that hold it. A folder that is a link, the root, the
// home folder or a folder holding it, or (where the system has owners) one that is not
// the user's own, is left alone, and so is one that cannot be listed.
void WipeFolderContents(const std::filesystem::path& folder);

} // namespace Platform
