// The system's requests to end reach the real program: it saves its settings and ends
// normally, also from inside a modal window.
#include "TProgram.h"

#include "core/TSetting.h"
#include "support/TTempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A settings file of one record, AutoUpdate False, so that no update check runs.
void SeedSettings(const fs::path& folder) {
    std::ofstream(folder / "Morvane.cfg", std::ios::binary) << "\x0a"
                                                               "AutoUpdate"
                                                               "\x08";
}

} // namespace

TEST(SessionEnd, EachEndSignalSavesTheSettingsAndEndsWithCodeZero) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        TTempDir dir;
        TProgram program(dir.Path(), "program");
        SeedSettings(program.Folder());
        program.Start(dir.Path());
        ASSERT_TRUE(program.WaitStarted(20s)) << signal;
        std::this_thread::sleep_for(300ms); // into the message loop
        program.Signal(signal);
        EXPECT_EQ(program.WaitExit(10s), 0) << signal;
        // Written whole, every property.
        EXPECT_EQ(fs::file_size(program.Folder() / "Morvane.cfg"), 443u) << signal;
    }
}

TEST(SessionEnd, RequestWhileAModalWindowIsOpenEndsEveryLoop) {
    TTempDir dir;
    TProgram program(dir.Path(), "program");
    {
        // The tips come up modally over the launcher at start.
        TSetting settings(program.Folder() / "Morvane.cfg");
        settings.SetShowTips(true);
        settings.SetAutoUpdate(false);
        settings.SetSlicePercent(37);
        settings.SaveToFile(program.Folder() / "Morvane.cfg");
    }
    program.Start(dir.Path());
    ASSERT_TRUE(program.WaitStarted(20s));
    std::this_thread::sleep_for(1s);
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitExit(10s), 0);
    const TSetting saved(program.Folder() / "Morvane.cfg");
    EXPECT_EQ(saved.SlicePercent(), 37);
    EXPECT_TRUE(saved.ShowTips());
}

TEST(SessionEnd, RequestWhileStartUpWaitsOnAnErrorBoxStillEndsTheProgram) {
    TTempDir dir;
    TProgram program(dir.Path(), "program");
    SeedSettings(program.Folder());
    // The tips page cannot be written: start-up shows the error and waits for its OK.
    fs::create_directory(program.Folder() / "tips.htm");
    program.Start(dir.Path());
    std::this_thread::sleep_for(2s);
    EXPECT_EQ(program.WaitExit(0ms), -1);
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitExit(10s), 0);
    EXPECT_EQ(fs::file_size(program.Folder() / "Morvane.cfg"), 443u); // written whole
}
