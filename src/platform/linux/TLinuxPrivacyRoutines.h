#pragma once

#include "platform/IPrivacyRoutines.h"
#include "platform/linux/TPrivacyPlaces.h"
#include "platform/linux/TPrivacyWipe.h"

#include <functional>
#include <string>
#include <vector>

namespace Platform {

// The folders a bare program name is looked up in, made on the first call.
using TSearchPathSource = std::function<const std::vector<std::string>&()>;

// The privacy routines on a Linux desktop: the caches, histories and cookies of Firefox
// and Chromium/Chrome (native, snap and flatpak), the recent-documents lists, the
// temporary folders, the freedesktop.org trash and broken launchers and links. A browser
// that is running is left alone.
class TLinuxPrivacyRoutines : public IPrivacyRoutines {
public:
    explicit TLinuxPrivacyRoutines(TPrivacyPlaces places) : FPlaces(std::move(places)) {}

    void CleanTemporaryInternetFiles() override;
    void CleanHistory() override;
    void CleanCookies() override;
    void CleanRecentFolders() override;
    void CleanTempFolders() override;
    std::string EmptyRecycleBin() override;
    void CleanBrokenShortcuts() override;

    // The profiles of browsers that are not running.
    std::vector<std::filesystem::path> FirefoxProfiles() const;
    std::vector<std::filesystem::path> ChromiumProfiles() const;

private:
    std::vector<std::filesystem::path> ChromiumDataFolders() const;
    TPrivacyWipe Wiper() const;
    void WipeEntered(TPrivacyWipe& wiper, const std::filesystem::path& folder) const;
    void RemoveBrokenLaunchersIn(const std::filesystem::path& folder,
                                 const TSearchPathSource& searchPath) const;
    // A real folder (not a link) owned by this user.
    bool OwnFolder(const std::filesystem::path& path) const;

    TPrivacyPlaces FPlaces;
};

// Removes the visits from a Firefox places database and the places that no bookmark or
// keyword needs; bookmarks stay readable. False when the database could not be changed.
bool PruneFirefoxHistory(const std::filesystem::path& places);

} // namespace Platform
