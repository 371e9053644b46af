#pragma once

#include "platform/TDirWalker.h"

#include <string>
#include <string_view>

namespace Platform {

// An entry as the walker backends keep it while its folder is being walked (the views
// of TDirEntry would dangle once the buffers move on).
struct TSavedEntry {
    std::string Name;
    uint32_t Attributes = 0;
    int64_t Size = 0;
    TFileTime Created;
    TFileTime LastWrite;
    int Depth = 0;
    bool HasDetails = true;
    bool Special = false;

    void Save(const TDirEntry& e) {
        Name.assign(e.Name);
        Attributes = e.Attributes;
        Size = e.Size;
        Created = e.Created;
        LastWrite = e.LastWrite;
        Depth = e.Depth;
        HasDetails = e.HasDetails;
        Special = e.Special;
    }
    TDirEntry View(std::string_view dirPath) const {
        TDirEntry e;
        e.Name = Name;
        e.DirPath = dirPath;
        e.Attributes = Attributes;
        e.Size = Size;
        e.Created = Created;
        e.LastWrite = LastWrite;
        e.Depth = Depth;
        e.HasDetails = HasDetails;
        e.Special = Special;
        return e;
    }
};

} // namespace Platform
