// A folder where another file system is mounted, below the charted folder: the size
// walks count it 0 and the browsing list says why. Made in a namespace of its own.
#include "analysis/SpaceAnalysis.h"
#include "platform/IShellNamespace.h"
#include "platform/TDirWalker.h"
#include "support/TTempDir.h"
#include "support/linux/MountNamespace.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct TCounting : IAnalysisProgress {
    uint64_t Steps = 0;
    void Reset() override {}
    void Advance(uint64_t steps) override { Steps += steps; }
};

void Sized(const fs::path& path, uintmax_t size) {
    fs::create_directories(path.parent_path());
    std::ofstream(path).flush();
    fs::resize_file(path, size);
}

// "prefix name=value" lines of a breakdown.
std::string Lines(const std::string& prefix, const std::vector<TBreakdownPoint>& points) {
    std::ostringstream out;
    for (const TBreakdownPoint& p : points)
        out << prefix << p.Label << '=' << p.Value << '\n';
    return out.str();
}

std::string TypeOf(Platform::IShellNamespace& ns, const fs::path& folder, const std::string& name) {
    Platform::TIdList list = ns.MyComputer();
    list.Items.push_back(folder.string());
    list.Items.push_back(name);
    return ns.Details(list, false).TypeName;
}

} // namespace

TEST(PieMountPoint, AMountedFolderCountsNothingAndIsMarkedInTheList) {
    TTempDir dir;
    Sized(dir / "sub" / "f", 2 * 1048576);
    fs::create_directory(dir / "mnt");
    fs::create_directory(dir / "sub" / "deep");
    std::string whyNot;
    const std::optional<std::string> result = RunInMountNamespace(
        [&]() -> std::string {
            for (const fs::path& at : {dir / "mnt", dir / "sub" / "deep"}) {
                if (const std::string error = MountTmpfs(at.string()); !error.empty())
                    return "mount failed: " + error;
            }
            Sized(dir / "mnt" / "big", 3 * 1048576);
            Sized(dir / "sub" / "deep" / "big", 5 * 1048576);
            std::ostringstream out;
            TCounting pie, popup;
            out << Lines("pie ", DirectoryBreakdown(dir.Path().string(), false, &pie));
            out << Lines("popup ", DirectoryBreakdown(dir.Path().string(), true, &popup));
            out << "steps=" << pie.Steps << ' ' << popup.Steps << '\n';
            out << "total=" << static_cast<int64_t>(CalcDirectorySize(dir.Path(), SizeUnit::Bytes))
                << '\n';
            out << "inside="
                << static_cast<int64_t>(CalcDirectorySize(dir / "mnt", SizeUnit::Bytes)) << '\n';
            const Platform::TChildTotals children = Platform::SumChildren(
                dir.Path(), [](const Platform::TDirEntry&) { return true; },
                [](const Platform::TDirEntry&) { return true; });
            for (const Platform::TChildTotal& c : children.Children)
                out << "child " << c.Name << '=' << (c.OtherFileSystem ? "other " : "")
                    << (c.Entered ? "entered " : "") << c.TreeBytes << '\n';
            const auto ns = Platform::CreateShellNamespace();
            out << "type mnt=" << TypeOf(*ns, dir.Path(), "mnt") << '\n';
            out << "type sub=" << TypeOf(*ns, dir.Path(), "sub") << '\n';
            return out.str();
        },
        whyNot);
    if (!result)
        GTEST_SKIP() << "no user and mount namespace here: " << whyNot;
    std::map<std::string, std::string> seen;
    std::istringstream in(*result);
    for (std::string line; std::getline(in, line);) {
        const size_t equals = line.find('=');
        seen[line.substr(0, equals)] = line.substr(equals + 1);
    }
    ASSERT_EQ(seen.count("pie mnt"), 1u) << *result;
    EXPECT_EQ(seen["pie mnt"], "0"); // the slice stays, with nothing in it
    EXPECT_EQ(seen["pie sub"], "2"); // a mount point deeper down adds nothing either
    EXPECT_EQ(seen["popup mnt"], "0");
    // Nothing below a mount point is listed: sub's walk lists f, deep and the two dots;
    // the popup adds the two children and the two dots of the charted folder.
    EXPECT_EQ(seen["steps"], "4 8");
    EXPECT_EQ(seen["total"], std::to_string(2 * 1048576));
    EXPECT_EQ(seen["inside"], std::to_string(3 * 1048576)); // charted itself, it is walked
    EXPECT_EQ(seen["child mnt"], "other 0");
    EXPECT_EQ(seen["child sub"], "entered " + std::to_string(2 * 1048576));
    EXPECT_EQ(seen["type mnt"], "Mount Point");
    EXPECT_EQ(seen["type sub"], "Folder");
}
