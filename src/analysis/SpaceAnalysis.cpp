// The computing side of the space charts: folder totals, the pie breakdown of a folder
// and the drive bars. Each chart is one walk of the tree through the platform's walker.
#include "analysis/SpaceAnalysis.h"

#include "core/TDisk.h"
#include "platform/TDirWalker.h"
#include "platform/Volumes.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

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

// The totals of a folder's child folders for the pie, worked out a few at a time on
// threads of their own so that the cores stay busy from one folder to the next, while
// the calling thread takes them in listing order (and makes the progress steps).
class TChildTotals {
public:
    TChildTotals(const std::string& folder, const std::vector<TListed>& children)
        : FFolder(folder), FJobOf(children.size(), 0) {
        for (size_t i = 0; i < children.size(); ++i) {
            const bool link = (children[i].Attributes & Platform::Attr::ReparsePoint) != 0;
            if ((children[i].Attributes & Platform::Attr::Directory) && !link) {
                FJobOf[i] = FJobs.size();
                FJobs.push_back(children[i].Name);
            }
        }
        FResults.resize(FJobs.size());
        FDone.resize(FJobs.size(), false);
        const size_t threads = std::min<size_t>(FJobs.size(), std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
        try {
            for (size_t t = 0; t < threads; ++t)
                FThreads.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            // No thread to be had: the waiting thread works the jobs itself.
        }
    }
    ~TChildTotals() {
        FNext.store(FJobs.size()); // nothing more is taken once the caller is gone
        for (std::thread& t : FThreads)
            t.join();
    }
    TChildTotals(const TChildTotals&) = delete;
    TChildTotals& operator=(const TChildTotals&) = delete;

    // The byte total of the child at listing position index (a folder, not a link).
    int64_t Wait(size_t index) {
        const size_t k = FJobOf[index];
        if (FThreads.empty())
            return Total(k);
        std::unique_lock lock(FMutex);
        FReady.wait(lock, [&] { return FDone[k]; });
        return FResults[k];
    }

private:
    int64_t Total(size_t k) const { return Platform::SumTree(FFolder + FJobs[k], EnteredBelow).Bytes; }

    void Work() {
        for (size_t k; (k = FNext.fetch_add(1)) < FJobs.size();) {
            const int64_t bytes = Total(k);
            std::lock_guard lock(FMutex);
            FResults[k] = bytes;
            FDone[k] = true;
            FReady.notify_all();
        }
    }

    const std::string& FFolder;
    std::vector<std::string> FJobs; // the names of the folders to total, in listing order
    std::vector<size_t> FJobOf;     // listing position -> job
    std::vector<int64_t> FResults;
    std::vector<bool> FDone;
    std::atomic<size_t> FNext{0};
    std::mutex FMutex;
    std::condition_variable FReady;
    std::vector<std::thread> FThreads;
};

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
    const std::vector<TListed> children = ListFolder(folder);
    TChildTotals totals(folder, children);
    for (size_t i = 0; i < children.size(); ++i) {
        const TListed& child = children[i];
        if (child.Attributes & Platform::Attr::Directory) {
            // A link to a folder keeps its slice but is never entered.
            const bool link = (child.Attributes & Platform::Attr::ReparsePoint) != 0;
            double mb = 0;
            if (!link) {
                mb = InUnit(totals.Wait(i), SizeUnit::MB);
                if (progress)
                    progress->Step();
            }
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
