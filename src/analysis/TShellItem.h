#pragma once

#include "platform/IShellNamespace.h"

#include <cstdint>
#include <string>

// One child of the current location. Made when the location is read; the fields marked
// "details" are filled once, when the row is about to be shown. A big folder holds one
// per file, so the small fields are packed together at the end.
struct TShellItem {
    Platform::TIdList FullIdList;   // details: absolute id list
    std::string IdList;             // the child's relative id
    std::string DisplayName;
    std::string TypeName;           // details
    std::string IconName;           // details: icon theme name (Linux)
    std::string ModifiedText;       // details: local last-write time, empty when unknown
    int64_t SizeKB = 1;             // details: (bytes + 1023) div 1024, 0 becomes 1; full 64 bits
    Platform::TFileTime LastWrite;  // details: for sorting by date; zero when unknown
    int IconIndex = 0;              // details
    uint32_t Attributes = 0;        // details: Platform::Attr bits
    bool NeedsDetails = true;
    bool IsFolder = false;
};
