// The computing side of the space charts: folder totals, the pie breakdown of a folder
// and the drive bars. Each chart is one walk of the tree through the platform's walker.
#include "analysis/SpaceAnalysis.h"

#include "core/TDisk.h"
#include "platform/TDirWalker.h"
#include "platform/Volumes.h"

#include <algorithm>
#include <cmath>

namespace fs = std::filesystem;
using Platform::TDirEntry;

namespace {

// Below the charted folder only plain folders are entered: exactly the directory bit, so
// a link, a hidden (dot-named) folder or one marked otherwise adds nothing. On Linux a
// name beginning with "." carries the hidden bit, which gives the dot-folder rule.
bool EnteredBelow(const TDirEntry& e) {
    return e.Attributes == Platform::Attr::Directory && e.Name[0] != '.';
}

// The charted folder's own child folders are all totalled, whatever their other bits,
// except links: the charted folder may be a link the user chose, links below it are not
// followed.
bool ChildFolder(const TDirEntry& e) {
    return e.IsDirectory();
}

// Turns the walk's count of listed entries into progress steps, passed on as they come.
class TStepCounter {
public:
    explicit TStepCounter(IAnalysisProgress* progress) : FProgress(progress) {
        FWalk.Tick = [this](uint64_t listed) { Reached(listed); };
    }
    // What to hand to the walk; null without a progress to show.
    const Platform::TWalkProgress* Walk() const { return FProgress ? &FWalk : nullptr; }
    // The steps reach listed (the walk's entries below the start) plus more.
    void Reached(uint64_t listed, uint64_t more = 0) {
        FListed = std::max(FListed, listed);
        if (!FProgress || listed + more <= FDone)
            return;
        FProgress->Advance(listed + more - FDone);
        FDone = listed + more;
    }
    // After the walk: its last count plus the steps of the start folder's own entries.
    void Finish(uint64_t more) { Reached(FListed, more); }

private:
    IAnalysisProgress* FProgress;
    Platform::TWalkProgress FWalk;
    uint64_t FListed = 0;
    uint64_t FDone = 0;
};

double InUnit(int64_t total, int unit) {
    const double bytes = static_cast<double>(total);
    switch (unit) {
    case SizeUnit::MB:
        return std::trunc(bytes * 1000 / 1048576) / 1000;
    case SizeUnit::KB:
        return std::trunc(bytes * 1000 / 1024) / 1000;
    case SizeUnit::GB:
        return std::trunc(bytes * 1000 / 1073741824) / 1000;
    default:
        return bytes;
    }
}

bool EndsWithSeparator(const std::string& path) {
    return !path.empty() &&
           (path.back() == '/' || path.back() == static_cast<char>(fs::path::preferred_separator));
}

} // namespace

double CalcDirectorySize(const fs::path& path, int unit, IAnalysisProgress* progress) {
    TStepCounter steps(progress);
    const Platform::TTreeTotal total = Platform::SumTree(path, EnteredBelow, steps.Walk());
    // One step per entry listed, "." and ".." of every folder included.
    steps.Reached(total.Listed);
    return InUnit(total.Bytes, unit);
}

std::vector<TBreakdownPoint> DirectoryBreakdown(const std::string& path, bool wholeMB,
                                                IAnalysisProgress* progress) {
    const std::string folder = ChartedPath(path);
    std::vector<TBreakdownPoint> points;
    if (progress)
        progress->Reset();
    TStepCounter steps(progress);
    const Platform::TChildTotals totals =
        Platform::SumChildren(folder, ChildFolder, EnteredBelow, steps.Walk());
    // The walk of each child folder steps once per entry it lists; of the charted folder's
    // own entries the files step once each, and the popup analysis steps for every entry,
    // "." and ".." included.
    uint64_t ownSteps = wholeMB && totals.Opened ? 2 : 0;
    for (const Platform::TChildTotal& child : totals.Children) {
        if (child.Attributes & Platform::Attr::Directory) {
            // A link or a mount point keeps its slice but is never entered.
            double mb = child.Entered ? InUnit(child.TreeBytes, SizeUnit::MB) : 0;
            if (wholeMB)
                mb = std::trunc(mb);
            points.push_back({child.Name, mb});
            ownSteps += wholeMB ? 1 : 0;
            continue;
        }
        if (child.Size > 1024)
            points.push_back({child.Name, static_cast<double>(child.Size / 1048576)});
        ++ownSteps;
    }
    steps.Finish(ownSteps);
    return points;
}

std::vector<TDriveBar> DriveBars(const TDisk& disk) {
    std::vector<TDriveBar> bars;
    for (int i = 0; i < disk.Count(); ++i) {
        const std::string root = disk.RootAt(i);
        int64_t total = -1, free = -1;
        if (!Platform::Volumes().Space(root, total, free))
            total = free = -1;
        bars.push_back(
            {root, static_cast<double>(total / 1048576), static_cast<double>(free / 1048576)});
    }
    return bars;
}

std::string ChartedPath(const std::string& path) {
    if (EndsWithSeparator(path))
        return path;
    return path + static_cast<char>(fs::path::preferred_separator);
}
