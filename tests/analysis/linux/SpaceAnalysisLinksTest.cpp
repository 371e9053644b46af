// Symbolic links and names that are not UTF-8, as Linux file systems have them.
#include "analysis/SpaceAnalysis.h"
#include "support/TTempDir.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string Chart(const TTempDir& dir) { return dir.Path().string() + "/"; }

} // namespace

TEST(SpaceAnalysis, LinksAreNeverEnteredAndTotalsStayExact) {
    TTempDir dir;
    dir.Write("real/f", std::string(5000, 'x'));
    dir.Write("real/deeper/g", std::string(3000, 'x'));
    fs::create_directory_symlink(dir / "real", dir / "real" / "loop");
    fs::create_directory_symlink(dir / "real", dir / "link");
    dir.Write(std::string("bad\xff\xfe"), std::string(100, 'x'));
    const int64_t loopLink = static_cast<int64_t>((dir / "real").string().size());
    EXPECT_DOUBLE_EQ(CalcDirectorySize(dir / "real", SizeUnit::Bytes), 8000 + loopLink);
    auto pie = DirectoryBreakdown(Chart(dir), false);
    for (const auto& p : pie) {
        if (p.Label == "link") {
            EXPECT_EQ(p.Value, 0);
        }
    }
}
