#include "analysis/SpaceAnalysis.h"
#include "support/TTempDir.h"
#include "support/Unprivileged.h"

#include <gmock/gmock.h>

#include <sys/stat.h>

TEST(SpaceAnalysisPermissions, UnreadableFolderAddsNothingAndTheWalkGoesOn) {
    TTempDir dir;
    dir.Write("a/f", std::string(3000, 'x'));
    dir.Write("a/locked/g", std::string(5000, 'x'));
    dir.Write("b", std::string(2000, 'x'));
    OpenToEveryone(dir.Path().string());
    for (const char* p : {"a", "a/f", "b", "a/locked/g"})
        chmod((dir / p).c_str(), 0777);
    chmod((dir / "a" / "locked").c_str(), 0);
    const std::string result = RunUnprivileged([&] {
        return std::to_string(static_cast<long long>(CalcDirectorySize(dir.Path(), SizeUnit::Bytes)));
    });
    chmod((dir / "a" / "locked").c_str(), 0755);
    EXPECT_EQ(result, "5000");
}
