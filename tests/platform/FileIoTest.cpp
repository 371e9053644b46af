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

TEST(FileIo, ReaderRefusesWhatIsNoListFile) {
    TTempDir dir;
    std::string error;
    // A folder, and a file one byte over the limit (sparse: nothing is written).
    fs::create_directory(dir / "folder");
    EXPECT_FALSE(ReadWholeFile(dir / "folder", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_NE(UnreadableFileReason(dir / "folder"), "");

    const fs::path big = dir.Write("big.cfg", "");
    fs::resize_file(big, MaxListFileSize + 1);
    EXPECT_FALSE(ReadWholeFile(big, &error));
    EXPECT_EQ(error, "File is larger than 16 MiB");
    EXPECT_EQ(UnreadableFileReason(big), "File is larger than 16 MiB");

    // Exactly at the limit is still read.
    fs::resize_file(big, MaxListFileSize);
    EXPECT_EQ(ReadWholeFile(big, nullptr).value().size(), MaxListFileSize);
    EXPECT_EQ(UnreadableFileReason(big), "");

    // A caller's own limit, in bytes.
    const fs::path small = dir.Write("small", "12345");
    EXPECT_EQ(ReadWholeFile(small, nullptr, 5).value(), "12345");
    EXPECT_FALSE(ReadWholeFile(small, &error, 4));
    EXPECT_EQ(error, "File is larger than 4 bytes");
}

TEST(FileIo, NothingThereMayBeReplacedButAnUnreadableFileMayNot) {
    TTempDir dir;
    EXPECT_EQ(UnreadableFileReason(dir / "none"), "");
    EXPECT_EQ(UnreadableFileReason(dir.Write("ok", "x")), "");
    std::string missing;
    ReadWholeFile(dir / "none", &missing);
    EXPECT_FALSE(missing.empty()); // the reader still reports the missing file
}

TEST(FileIo, TemporaryNamesAreMatchedExactly) {
    EXPECT_TRUE(IsAtomicWriteTemporary(".Morvane.cfg.0.tmp", "Morvane.cfg"));
    EXPECT_TRUE(IsAtomicWriteTemporary(".Morvane.cfg.999999.tmp", "Morvane.cfg"));
    EXPECT_TRUE(IsAtomicWriteTemporary(".Morvane.cfg.Garbage.42.tmp", "Morvane.cfg.Garbage"));
    for (const char* other :
         {".Morvane.cfg.1234567.tmp", ".Morvane.cfg..tmp", ".Morvane.cfg.12a.tmp",
          "Morvane.cfg.12.tmp", ".Morvane.cfg.12.tmp~", ".morvane.cfg.12.tmp",
          ".Morvane.cfg.Garbage.42.tmp", ".Morvane.cfg.12.TMP", ".Morvane.cfg"})
        EXPECT_FALSE(IsAtomicWriteTemporary(other, "Morvane.cfg")) << other;
    EXPECT_FALSE(IsAtomicWriteTemporary("..1.tmp", ""));
}

TEST(FileIo, LeftoversOfKilledSavesGoAndNothingElse) {
    TTempDir dir;
    const fs::path folder = dir / "program";
    const fs::path settings = dir.Write("program/Morvane.cfg", "settings");
    dir.Write("program/.Morvane.cfg.123456.tmp", "torn");
    dir.Write("program/.Option2.CFG.7.tmp", "torn");
    // Not ours by name, or not a file: they stay.
    const std::vector<fs::path> kept = {
        dir.Write("program/.Morvane.cfg.1234567.tmp", "user's"),
        dir.Write("program/.Notes.txt.12.tmp", "user's"),
        dir.Write("program/Morvane.cfg.12.tmp", "user's"),
        dir.Write("program/.Morvane.cfg.5.tmp/inside", "user's").parent_path(),
    };
    EXPECT_EQ(RemoveAtomicWriteLeftovers(folder, {"Morvane.cfg", "Option2.CFG"}), 2);
    EXPECT_FALSE(fs::exists(folder / ".Morvane.cfg.123456.tmp"));
    EXPECT_FALSE(fs::exists(folder / ".Option2.CFG.7.tmp"));
    for (const fs::path& p : kept)
        EXPECT_TRUE(fs::exists(p)) << p;
    EXPECT_EQ(TTempDir::Read(settings), "settings");
    EXPECT_EQ(RemoveAtomicWriteLeftovers(dir / "no-such-folder", {"Morvane.cfg"}), 0);
}
