#include "privacy/PrivacyCleaning.h"

#include "core/IMessageBoxHook.h"
#include "core/PrivacyItems.h"
#include "core/TSetting.h"
#include "platform/IPrivacyRoutines.h"

namespace {

void RunItem(size_t index, Platform::IPrivacyRoutines& routines) {
    switch (index) {
    case 0: routines.CleanTemporaryInternetFiles(); break;
    case 1: routines.CleanHistory(); break;
    case 2: routines.CleanCookies(); break;
    case 3:
    case 4:
    case 5: routines.CleanRecentFolders(); break;
    case 6: routines.CleanTempFolders(); break;
    case 7:
        if (const std::string error = routines.EmptyRecycleBin(); !error.empty())
            MessageBoxHook().Show(error, "");
        break;
    default: routines.CleanBrokenShortcuts(); break;
    }
}

} // namespace

void CleanPrivacyItems(const TSetting& setting, Platform::IPrivacyRoutines& routines,
                       const std::function<void(int position)>& progress) {
    int position = 1;
    progress(position);
    const auto& items = PrivacyItems();
    for (size_t i = 0; i < items.size(); ++i) {
        if ((setting.*items[i].Get)())
            RunItem(i, routines);
        if (i < 8)
            progress(++position);
    }
    progress(PrivacyProgressMaximum);
}
