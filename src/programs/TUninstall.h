#pragma once

#include "platform/IInstalledPrograms.h"

#include <string>

// One installed program as the program manager lists it.
struct TUninstall {
    std::string Name;
    std::string Location;
    double Size = 0; // KB
    double LastUsed = 0; // the moment the list was built
    std::string UninstallString;
    Platform::TUninstallKey Key; // what the system said, for starting the uninstaller
};
