#include "analysis/TPieSlices.h"
#include "support/TTempDir.h"

#include <gmock/gmock.h>

#include <filesystem>

// The walk never follows a link, so a link slice is worth nothing to drill into.
TEST(PieSlices, DoubleClickOnALinkToAFolderShowsTheShare) {
    TTempDir dir;
    std::filesystem::create_directory(dir / "sub");
    std::filesystem::create_directory_symlink(dir / "sub", dir / "link");
    const TPieSlices pie({{"link", 5}}, 0);
    EXPECT_EQ(TPieSlices::DoubleClickAction(pie.Drawn()[0], dir.Path().string() + "/"),
              TSliceAction::ShareMessage);
}
