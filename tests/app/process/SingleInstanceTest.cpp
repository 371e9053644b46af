// Starts the built program itself (see TProgram.h).
#include "TProgram.h"

#include "app/FileVersion.h"
#include "support/TTempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(SingleInstance, SecondCopyEndsAtOnceAndAKilledCopyDoesNotBlock) {
    TTempDir dir;
    const fs::path runtime = dir / "runtime";
    fs::create_directories(runtime);

    TProgram first(dir, "first");
    first.Start(runtime);
    ASSERT_TRUE(first.WaitStarted(20s));

    TProgram second(dir, "second");
    second.Start(runtime);
    EXPECT_EQ(second.WaitExit(1s), 0);
    // It made no window: no tips page, no settings file.
    EXPECT_FALSE(fs::exists(second.Folder() / "tips.htm"));
    EXPECT_FALSE(fs::exists(second.Folder() / "Morvane.cfg"));
    EXPECT_EQ(first.WaitExit(0ms), -1); // the first runs on, untouched

    first.Kill();
    fs::remove(first.Folder() / "tips.htm");
    TProgram third(dir, "third");
    third.Start(runtime);
    EXPECT_TRUE(third.WaitStarted(20s));
    EXPECT_EQ(third.WaitExit(0ms), -1);
}

TEST(SingleInstance, LockThatCannotBeMadeDoesNotStopTheStart) {
    TTempDir dir;
    TProgram program(dir, "only");
    program.Start(dir / "no-such-folder");
    EXPECT_TRUE(program.WaitStarted(20s));
}

TEST(ProgramFile, CarriesTheReleaseVersion) {
    EXPECT_EQ(GetFileVersionText(MORVANE_PROGRAM), "8.0.0.3");
}
