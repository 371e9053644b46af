#include "analysis/LocationInfo.h"

#include "analysis/ShellTexts.h"
#include "core/FileRoutines.h"
#include "core/PathText.h"

TLocationInfo LocationInfoOf(const std::string& locationText) {
    TLocationInfo info;
    if (locationText == MyComputerText) {
        info.DirName = locationText;
        return info;
    }
    const size_t slash = locationText.find_last_of("/\\");
    info.DirName = slash == std::string::npos ? locationText : locationText.substr(slash + 1);
    if (info.DirName.empty())
        info.DirName = locationText;
    if (IsDriveRootText(locationText))
        return info;
    const std::array<std::string, 3> dates = GetFileDates(PathFromText(locationText));
    info.CreateDate = dates[0];
    // The last write time: the label reads "last modified", so the current time that
    // GetFileDates gives third would say nothing about the folder.
    info.ModifyDate = dates[1];
    return info;
}
