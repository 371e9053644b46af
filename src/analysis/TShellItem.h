#pragma once

#include "platform/IShellNamespace.h"

#include <cstdint>
#include <string>

// One child of the current location. Made when the location is read; the fields after
// NeedsDetails are filled once, when the row is about to be shown.
struct TShellItem {
    Platform::TIdList FullIdList;   // absolute id list; set with the details
    std::string IdList;             // the child's relative id
    bool NeedsDetails = true;
    std::string DisplayName;
    bool IsFolder = false;
    std::string TypeName;
    int IconIndex = 0;
    std::string IconName;           // icon theme name (Linux)
    int64_t SizeKB = 1;             // (bytes + 1023) div 1024, 0 becomes 1; full 64 bits
    uint32_t Attributes = 0;        // Platform::Attr bits
    std::string ModifiedText;       // local last-write time, empty when unknown
    Platform::TFileTime LastWrite;  // for sorting by date; zero when unknown
};
