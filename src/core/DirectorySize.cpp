// Folder totals: the byte total, the early-exit emptiness test of the junk scan and the
// display total in a unit. All three use the platform's one walker.
#include "core/FileRoutines.h"
#include "platform/TDirWalker.h"

#include <cmath>

namespace fs = std::filesystem;
using Platform::TDirEntry;
using Platform::TVisit;

namespace {

// The junk scan asks for thousands of small totals; one walker per thread keeps its
// buffers between them.
Platform::TDirWalker& Walker() {
    thread_local Platform::TDirWalker walker;
    return walker;
}

class TEmptinessVisitor : public Platform::IDirVisitor {
public:
    bool Empty = true;

    TVisit OnEntry(const TDirEntry& e) override {
        if (e.Size > 0 || e.OtherFileSystem)
            Empty = false;
        if (!Empty)
            return TVisit::Stop;
        return e.IsDirectory() ? TVisit::Descend : TVisit::Continue;
    }
    void OnUnreadable(const TDirEntry&, int) override { Empty = false; }
};

} // namespace

int64_t GetDirectorySize(const fs::path& folder) {
    return Platform::SumTree(folder, [](const TDirEntry&) { return true; }).Bytes;
}

bool IsTreeEmpty(const fs::path& folder) {
    TEmptinessVisitor visitor;
    const Platform::TWalkResult r = Walker().Walk(folder, visitor);
    return r.Opened && visitor.Empty;
}

double GetDirectorySizeIn(const fs::path& folder, int unit) {
    // Only plain folders are counted in: a hidden, read-only or linked one is not.
    const int64_t total = Platform::SumTree(folder, [](const TDirEntry& e) {
        return e.Attributes == Platform::Attr::Directory && e.Name[0] != '.';
    }).Bytes;
    const double bytes = static_cast<double>(total);
    switch (unit) {
    case 0: return std::trunc(bytes * 1000 / 1048576) / 1000;
    case 1: return std::trunc(bytes * 1000 / 1024) / 1000;
    case 3: return std::trunc(bytes * 1000 / 1073741824) / 1000;
    default: return bytes;
    }
}
