#include "analysis/SpaceAnalysis.h"
#include "support/TTempDir.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

// Linux only: wine's server cannot map a Unix path this long, although the Windows walker
// itself works below the path limit with relative steps as well.
TEST(SpaceAnalysis, DeepTreeBeyondPathLengthIsCountedWhole) {
    TTempDir dir;
    fs::path p = dir / "top";
    fs::create_directory(p);
    const std::string name(200, 'd');
    // Build with relative steps so the path itself never has to fit PATH_MAX.
    const fs::path start = fs::current_path();
    fs::current_path(p);
    for (int i = 0; i < 30; ++i) {
        fs::create_directory(name);
        fs::current_path(name);
    }
    { std::ofstream("leaf") << std::string(777, 'x'); }
    fs::current_path(start);
    EXPECT_DOUBLE_EQ(CalcDirectorySize(dir / "top", SizeUnit::Bytes), 777);
    fs::current_path(dir.Path());
    fs::remove_all("top"); // TTempDir would hit the path length
    fs::current_path(start);
}

