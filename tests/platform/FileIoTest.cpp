#include "platform/FileIo.h"

#include "support/TTempDir.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace Platform;

TEST(FileIo, AtomicWriteReplacesWholeFileAndLeavesNoTemporary) {
    TTempDir dir;
    const fs::path p = dir.Write("a.cfg", "old contents");
    EXPECT_EQ(WriteFileAtomically(p, std::string("new\0bytes", 9)), "");
    EXPECT_EQ(TTempDir::Read(p), std::string("new\0bytes", 9));
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.Path()))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST(FileIo, FailedWriteKeepsOldFile) {
    if (!PermissionsCanRefuseWrites())
        GTEST_SKIP() << "folder permissions do not refuse writes here";
    TTempDir dir;
    const fs::path p = dir.Write("ro/a.cfg", "old");
    OpenToEveryone((dir / "ro").string());
    fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    EXPECT_EQ(RunUnprivileged([&] { return WriteFileAtomically(p, "new"); }), "Permission denied");
    EXPECT_EQ(TTempDir::Read(p), "old");
}

TEST(FileIo, ReadWholeFileReportsMissingFile) {
    TTempDir dir;
    std::string error;
    EXPECT_FALSE(ReadWholeFile(dir / "none", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadWholeFile(dir.Write("x", "abc"), nullptr).value(), "abc");
}
