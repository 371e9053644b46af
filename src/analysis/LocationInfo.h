#pragma once

#include <string>

// The info panel's texts for the current location.
struct TLocationInfo {
    std::string DirName;    // "My Computer", the last path component, or the whole text for a root
    std::string CreateDate; // "yyyy/mm/dd,hh:mm:ss"; empty for a drive root and My Computer
    std::string ModifyDate; // the location's last write time, same form
};

// The texts of ShowLocationInfo for a location text. A drive root ("C:\", "/", see
// IsDriveRootText) gets no dates.
TLocationInfo LocationInfoOf(const std::string& locationText);
