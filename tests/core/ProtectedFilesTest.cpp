#include "core/EMorvaneError.h"
#include "core/TProtectedFiles.h"

#include "platform/FileIo.h"
#include "platform/ProgramFolder.h"
#include "support/TTempDir.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

TEST(ProtectedFiles, SplitsAtEveryLineEndAndStopsAtNul) {
    EXPECT_EQ(SplitTextLines("a\r\nb\rc\nd", true), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitTextLines("a\r\n\r\nb\r\n", true), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitTextLines("a\n\r", true), (Lines{"a", ""}));
    EXPECT_EQ(SplitTextLines("a\r\r\n", true), (Lines{"a", ""}));
    EXPECT_EQ(SplitTextLines(std::string("a\r\nb\0c\r\nd", 9), true), (Lines{"a", "b"}));
    EXPECT_EQ(SplitTextLines(std::string("b\0c", 3), false), (Lines{std::string("b\0c", 3)}));
    EXPECT_EQ(SplitTextLines("", true), Lines{});
    EXPECT_EQ(SplitTextLines("\r\n", true), Lines{""});
}

TEST(ProtectedFiles, FileRoundTripsByteForByte) {
    TTempDir dir;
    const std::string bytes = "C:\\boot.ini\r\n\r\nreport.doc\r\n";
    const fs::path p = dir.Write("Option2.CFG", bytes);
    const Lines entries = LoadProtectedFiles(p);
    EXPECT_EQ(entries, (Lines{"C:\\boot.ini", "", "report.doc"}));
    SaveProtectedFiles(p, entries);
    EXPECT_EQ(TTempDir::Read(p), bytes);

    SaveProtectedFiles(p, {});
    EXPECT_EQ(TTempDir::Read(p), "");
    EXPECT_EQ(LoadProtectedFiles(p), Lines{});
}

TEST(ProtectedFiles, MissingOrUnwritableFileGivesTheFrameworkErrors) {
    TTempDir dir;
    const fs::path missing = dir / "Option2.CFG";
    try {
        LoadProtectedFiles(missing);
        FAIL();
    } catch (const EMorvaneError& e) {
        std::string reason;
        Platform::ReadWholeFile(missing, &reason);
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + missing.string() + "\". " + reason);
        EXPECT_FALSE(reason.empty());
    }
    EXPECT_THROW(SaveProtectedFiles(dir / "no/such/Option2.CFG", {"x"}), EMorvaneError);

    Platform::SetProgramFolder(dir.Path());
    EXPECT_EQ(ProtectedFilesPath(), dir / "Option2.CFG");
}

TEST(ProtectedFiles, OversizedFileIsRefusedAndKept) {
    TTempDir dir;
    const fs::path path = dir.Write("Option2.CFG", "");
    fs::resize_file(path, Platform::MaxListFileSize + 1);
    EXPECT_THROW(LoadProtectedFiles(path), EMorvaneError);
    try {
        SaveProtectedFiles(path, {"a.txt"});
        ADD_FAILURE() << "written";
    } catch (const EMorvaneError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file \"" + path.string() +
                      "\". The file cannot be read (File is larger than 16 MiB), "
                      "so it is kept as it is");
    }
    EXPECT_EQ(fs::file_size(path), Platform::MaxListFileSize + 1);
}
