#pragma once

#include "platform/PrivacyPlaces.h"

#include <cstdint>

class IWipeProgress;
class TSetting;

// Cleans the privacy items: browser caches, history and cookies, the recent-documents
// lists, the temporary folders, the recycle bin and broken desktop shortcuts. It runs to
// its end without a question or a report; what cannot be cleaned is passed over.
class TPrivacyCleaner {
public:
    // ownerWindow: the native handle of the window that owns what the shell may show
    // while it empties the recycle bin (0 for none).
    explicit TPrivacyCleaner(uintptr_t ownerWindow = 0) : FOwnerWindow(ownerWindow) {}

    // Runs the routine of every item whose setting is true, in index order, moving the
    // progress from 1 to 9: one step after each of the items 0 to 7, then to the end.
    void Clean(const TSetting& setting, IWipeProgress& progress);
    // The routine of item index (0 to 8); items 3, 4 and 5 share one routine.
    void RunItem(int index);

    void CleanTemporaryInternetFiles();
    void CleanHistory();
    void CleanCookies();
    void CleanRecentFolders();
    // TMPDIR when it is set and not empty, then the system's temporary folder; what is
    // in use stays.
    void CleanTempFolders();
    void EmptyRecycleBin();
    void CleanBrokenShortcuts();

private:
    void CleanPlaces(Platform::TPrivacyRoutine routine);

    uintptr_t FOwnerWindow;
};
