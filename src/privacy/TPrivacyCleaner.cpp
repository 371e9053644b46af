#include "privacy/TPrivacyCleaner.h"

#include "core/FileRoutines.h"
#include "core/IMessageBoxHook.h"
#include "privacy/IWipeProgress.h"
#include "privacy/PrivacyItemList.h"
#include "privacy/WipeFolderContents.h"

#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;
using Platform::TPlaceAction;
using Platform::TPrivacyRoutine;

namespace {

// A folder is cleaned only when it can be made the current directory, and it stays the
// current directory afterwards (the program categories file is opened relative to it).
bool Enter(const fs::path& folder) {
    std::error_code ec;
    fs::current_path(folder, ec);
    return !ec;
}

void CleanPlace(const Platform::TPrivacyPlace& place) {
    switch (place.Action) {
    case TPlaceAction::WipeIfEntered:
        if (Enter(place.Path))
            WipeFolderContents(place.Path);
        break;
    case TPlaceAction::Wipe:
        WipeFolderContents(place.Path);
        break;
    case TPlaceAction::DeleteFile:
        DeletePath(place.Path);
        break;
    case TPlaceAction::PruneHistory:
        Platform::PruneBrowserHistory(place.Path);
        break;
    }
}

} // namespace

void TPrivacyCleaner::Clean(const TSetting& setting, IWipeProgress& progress) {
    progress.SetMaximum(PrivacyItemCount);
    progress.SetPosition(1);
    const auto& items = PrivacyItemList();
    for (int i = 0; i < PrivacyItemCount; ++i) {
        if ((setting.*items[i].Ticked)())
            RunItem(i);
        if (i < PrivacyItemCount - 1)
            progress.SetPosition(progress.Position() + 1);
    }
    progress.SetPosition(progress.Maximum());
}

void TPrivacyCleaner::RunItem(int index) {
    switch (index) {
    case 0: CleanTemporaryInternetFiles(); break;
    case 1: CleanHistory(); break;
    case 2: CleanCookies(); break;
    case 3:
    case 4:
    case 5: CleanRecentFolders(); break;
    case 6: CleanTempFolders(); break;
    case 7: EmptyRecycleBin(); break;
    case 8: CleanBrokenShortcuts(); break;
    default: break;
    }
}

void TPrivacyCleaner::CleanPlaces(TPrivacyRoutine routine) {
    for (const Platform::TPrivacyPlace& place : Platform::PrivacyPlaces(routine))
        CleanPlace(place);
}

void TPrivacyCleaner::CleanTemporaryInternetFiles() { CleanPlaces(TPrivacyRoutine::TemporaryInternetFiles); }
void TPrivacyCleaner::CleanHistory() { CleanPlaces(TPrivacyRoutine::History); }
void TPrivacyCleaner::CleanCookies() { CleanPlaces(TPrivacyRoutine::Cookies); }
void TPrivacyCleaner::CleanRecentFolders() { CleanPlaces(TPrivacyRoutine::RecentFolders); }

void TPrivacyCleaner::CleanTempFolders() {
    const Platform::TInUseProbe inUse = Platform::MakeInUseProbe();
    if (const char* tmpdir = std::getenv("TMPDIR"); tmpdir && *tmpdir)
        WipeFolderContents(fs::path(tmpdir), inUse);
    const fs::path system = Platform::SystemTempFolder();
    if (!system.empty())
        WipeFolderContents(system, inUse);
}

void TPrivacyCleaner::EmptyRecycleBin() {
    CleanPlaces(TPrivacyRoutine::RecycleBin);
    if (Platform::EmptyShellRecycleBin(FOwnerWindow) == Platform::TRecycleBinResult::NoLibrary)
        MessageBoxHook().Show("Failed to load Shell32.dll.", "");
}

void TPrivacyCleaner::CleanBrokenShortcuts() {
    for (const fs::path& shortcut : Platform::BrokenShortcuts())
        DeletePath(shortcut);
}
