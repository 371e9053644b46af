#include "analysis/SpaceAnalysis.h"
#include "platform/TDirWalker.h"
#include "support/TTempDir.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

// Records the steps and the threads they came from: the window's progress bar may only
// be moved from the thread that asked for the pie.
struct TThreadProgress : IAnalysisProgress {
    uint64_t Steps = 0;
    bool OtherThread = false;
    std::thread::id Caller = std::this_thread::get_id();
    void Reset() override { OtherThread |= std::this_thread::get_id() != Caller; }
    void Advance(uint64_t steps) override {
        Steps += steps;
        OtherThread |= std::this_thread::get_id() != Caller;
    }
};

// A sparse file of the given size: big folders without the disk space.
void Sized(const fs::path& path, uintmax_t size) {
    fs::create_directories(path.parent_path());
    std::ofstream(path).flush();
    fs::resize_file(path, size);
}

} // namespace

// The folders of a pie are totalled several at a time; the points must still come in
// listing order, each with its own folder's total, and the steps on the caller's thread.
TEST(PieFolderTotals, ManyFoldersKeepListingOrderTheirOwnTotalsAndTheCallersThread) {
    TTempDir dir;
    for (int i = 0; i < 30; ++i) {
        const fs::path folder = dir / ("d" + std::to_string(i));
        Sized(folder / "f", static_cast<uintmax_t>(i) * 1048576 + 524288);
        for (int j = 0; j < i % 4; ++j) // some deeper folders, so the walks differ in length
            Sized(folder / ("s" + std::to_string(j)) / "g", 1048576);
    }
    Sized(dir / "file", 3 * 1048576);
    fs::create_directory_symlink(dir / "d1", dir / "link");

    std::vector<std::string> listed;
    Platform::TDirWalker walker;
    walker.Walk(dir.Path(), [&](const Platform::TDirEntry& e) {
        listed.emplace_back(e.Name);
        return Platform::TVisit::Continue;
    });

    TThreadProgress progress;
    const std::vector<TBreakdownPoint> pie =
        DirectoryBreakdown(dir.Path().string(), false, &progress);
    std::vector<std::string> labels;
    for (const TBreakdownPoint& p : pie) {
        labels.push_back(p.Label);
        if (p.Label[0] == 'd') {
            const int i = std::stoi(p.Label.substr(1));
            EXPECT_DOUBLE_EQ(p.Value, i + 0.5 + i % 4) << p.Label;
        }
    }
    EXPECT_EQ(labels, listed);
    EXPECT_EQ(
        pie[static_cast<size_t>(std::find(labels.begin(), labels.end(), "link") - labels.begin())]
            .Value,
        0);
    // One step per entry listed below the folder, "." and ".." of each included: d<i>
    // lists f, its i % 4 folders and the two dots, each of those folders g and the two
    // dots; then one for the file. The link is not walked and steps nothing.
    uint64_t below = 0;
    for (int i = 0; i < 30; ++i)
        below += 3 + i % 4 + 3 * (i % 4);
    EXPECT_EQ(progress.Steps, below + 1);
    EXPECT_FALSE(progress.OtherThread);

    TThreadProgress popup;
    const std::vector<TBreakdownPoint> whole =
        DirectoryBreakdown(dir.Path().string(), true, &popup);
    ASSERT_EQ(whole.size(), pie.size());
    for (size_t i = 0; i < whole.size(); ++i)
        EXPECT_EQ(whole[i].Value, std::trunc(pie[i].Value)) << whole[i].Label;
    // The popup steps for every entry of the folder itself, "." and ".." included.
    EXPECT_EQ(popup.Steps, below + 32 + 2);
    EXPECT_FALSE(popup.OtherThread);
}
