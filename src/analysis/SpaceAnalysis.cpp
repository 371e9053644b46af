// The computing side of the space charts: folder totals, the pie breakdown of a folder
// and the drive bars. Each chart is one walk of the tree through the platform's walker.
#include "analysis/SpaceAnalysis.h"

#include "core/TDisk.h"
#include "platform/TDirWalker.h"
#include "platform/Volumes.h"

#include <cmath>

namespace fs = std::filesystem;
using Platform::TDirEntry;
using Platform::TVisit;

namespace {

struct TListed {
    std::string Name;
    uint32_t Attributes = 0;
    int64_t Size = 0;
};

// The direct children of a folder in listing order; empty when it cannot be listed.
// The charted folder itself may be a link the user chose; links below it are not followed.
std::vector<TListed> ListFolder(const fs::path& folder) {
    std::vector<TListed> listed;
    Platform::TDirWalker walker;
    Platform::TWalkOptions options;
    walker.Walk(folder, [&](const TDirEntry& e) {
        listed.push_back({std::string(e.Name), e.Attributes, e.Size});
        return TVisit::Continue;
    }, options);
    return listed;
}

// Below the charted folder only plain folders are entered: exactly the directory bit, so
// a link, a hidden (dot-named) folder or one marked otherwise adds nothing. On Linux a
// name beginning with "." carries the hidden bit, which gives the dot-folder rule.
bool EnteredBelow(const TDirEntry& e) {
    return e.Attributes == Platform::Attr::Directory && e.Name[0] != '.';
}

// The folder's own children follow the same rule as deeper ones (exactly a folder, no dot
// name), so one parallel walk gives the whole total. The walk runs on worker threads, so
// the activity step is made once per folder total, on the calling thread.
int64_t TotalBytes(const fs::path& folder, IAnalysisProgress* progress) {
    const int64_t total = Platform::SumTree(folder, EnteredBelow).Bytes;
    if (progress)
        progress->Step();
    return total;
}

double InUnit(int64_t total, int unit) {
    const double bytes = static_cast<double>(total);
    switch (unit) {
    case SizeUnit::MB: return std::trunc(bytes * 1000 / 1048576) / 1000;
    case SizeUnit::KB: return std::trunc(bytes * 1000 / 1024) / 1000;
    case SizeUnit::GB: return std::trunc(bytes * 1000 / 1073741824) / 1000;
    default: return bytes;
    }
}

bool EndsWithSeparator(const std::string& path) {
    return !path.empty() && (path.back() == '/' || path.back() == static_cast<char>(fs::path::preferred_separator));
}

} // namespace

double CalcDirectorySize(const fs::path& path, int unit, IAnalysisProgress* progress) {
    return InUnit(TotalBytes(path, progress), unit);
}

std::vector<TBreakdownPoint> DirectoryBreakdown(const std::string& path, bool wholeMB,
                                                IAnalysisProgress* progress) {
    const std::string folder = ChartedPath(path);
    std::vector<TBreakdownPoint> points;
    if (progress)
        progress->Reset();
    for (const TListed& child : ListFolder(folder)) {
        if (child.Attributes & Platform::Attr::Directory) {
            // A link to a folder keeps its slice but is never entered.
            const bool link = (child.Attributes & Platform::Attr::ReparsePoint) != 0;
            double mb = link ? 0 : CalcDirectorySize(folder + child.Name, SizeUnit::MB, progress);
            if (wholeMB)
                mb = std::trunc(mb);
            points.push_back({child.Name, mb});
            if (wholeMB && progress)
                progress->Step();
            continue;
        }
        if (child.Size > 1024)
            points.push_back({child.Name, static_cast<double>(child.Size / 1048576)});
        if (progress)
            progress->Step();
    }
    return points;
}

std::vector<TDriveBar> DriveBars(const TDisk& disk) {
    std::vector<TDriveBar> bars;
    for (int i = 0; i < disk.Count(); ++i) {
        const std::string root = disk.RootAt(i);
        int64_t total = -1, free = -1;
        if (!Platform::Volumes().Space(root, total, free))
            total = free = -1;
        bars.push_back({root, static_cast<double>(total / 1048576), static_cast<double>(free / 1048576)});
    }
    return bars;
}

std::string ChartedPath(const std::string& path) {
    if (EndsWithSeparator(path))
        return path;
    return path + static_cast<char>(fs::path::preferred_separator);
}
