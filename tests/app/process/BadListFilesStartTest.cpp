// The real program started over program folders prepared as an unlucky user or another
// local user could leave them: every list file a FIFO or a link to a device, a file far
// too large, the temporaries of killed saves, a lock taken by someone else.
#include "TProgram.h"

#include "platform/FileIo.h"
#include "support/TTempDir.h"
#include "support/Unprivileged.h"
#include "support/linux/TOtherUser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Far longer than a start takes; only a start that hangs runs into it.
constexpr auto StartLimit = 15s;
// How long a started copy runs on before its memory is read: its windows are drawn.
constexpr auto Settle = 500ms;
// What a copy may hold beyond a copy started over good files: room for the jitter of
// drawing, far below what a reader of an endless file takes within a second.
constexpr long SlackKiB = 8 * 1024;

const char* const ListFiles[] = {"Morvane.cfg", "Morvane.cfg.Garbage", "Option2.CFG", "kind.ini",
                                 "Tips.CFG"};

// The settings file is the one of them the start reports; the others are read silently
// (the junk types, the tips) or only when their window opens (the protected files list,
// the categories).
std::string StartMessage(const fs::path& folder, const std::string& name,
                         const std::string& reason) {
    return name == "Morvane.cfg"
               ? "Morvane Ostrel: Cannot open file \"" + (folder / name).string() + "\". " + reason
               : "";
}

// The most memory a copy over good files holds once started.
long NormalPeakKiB() {
    TTempDir dir;
    TProgram program(dir.Path(), "program");
    fs::create_directories(dir / "runtime");
    program.Start(dir / "runtime");
    EXPECT_TRUE(program.WaitStarted(StartLimit));
    std::this_thread::sleep_for(Settle);
    const long peak = program.PeakMemoryKiB();
    std::cout << "good files: at most " << peak << " KiB\n";
    return peak;
}

void ExpectStartsAndGoesOn(TProgram& program, const std::string& message, long normalPeakKiB) {
    const auto start = std::chrono::steady_clock::now();
    if (message.empty())
        EXPECT_TRUE(program.WaitStarted(StartLimit)) << program.ErrorText();
    else
        EXPECT_TRUE(program.WaitError(message, StartLimit)) << program.ErrorText();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    std::this_thread::sleep_for(Settle);
    EXPECT_EQ(program.WaitExit(0ms), -1) << "ended";
    const long memory = program.PeakMemoryKiB();
    EXPECT_LT(memory, normalPeakKiB + SlackKiB);
    std::cout << "started in " << took.count() << " ms, at most " << memory << " KiB\n";
}

} // namespace

TEST(BadListFilesStart, EachListFileAsAFifoOrADeviceLink) {
    const long normalPeak = NormalPeakKiB();
    for (const char* name : ListFiles) {
        for (const bool fifo : {true, false}) {
            const std::string what =
                std::string(name) + (fifo ? " as a FIFO" : " as a link to /dev/zero");
            SCOPED_TRACE(what);
            std::cout << what << ": ";
            TTempDir dir;
            TProgram program(dir.Path(), "program");
            const fs::path file = program.Folder() / name;
            fs::remove(file);
            if (fifo)
                ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
            else
                fs::create_symlink("/dev/zero", file);
            fs::create_directories(dir / "runtime");
            program.Start(dir / "runtime");
            ExpectStartsAndGoesOn(
                program, StartMessage(program.Folder(), name, "Not a regular file"), normalPeak);
            program.Kill();
            EXPECT_TRUE(fifo ? fs::is_fifo(file) : fs::is_symlink(file));
        }
    }
}

TEST(BadListFilesStart, SettingsFileOverTheLimitIsReportedAndKept) {
    const long normalPeak = NormalPeakKiB();
    TTempDir dir;
    TProgram program(dir.Path(), "program");
    const fs::path cfg = program.Folder() / "Morvane.cfg";
    std::ofstream(cfg).put('x');
    fs::resize_file(cfg, Platform::MaxListFileSize + 1);
    fs::create_directories(dir / "runtime");
    program.Start(dir / "runtime");
    ExpectStartsAndGoesOn(
        program, StartMessage(program.Folder(), "Morvane.cfg", "File is larger than 16 MiB"),
        normalPeak);
    program.Kill();
    EXPECT_EQ(fs::file_size(cfg), Platform::MaxListFileSize + 1);
}

TEST(BadListFilesStart, TemporariesOfKilledSavesAreGoneAfterTheNextStart) {
    TTempDir dir;
    TProgram program(dir.Path(), "program");
    const fs::path folder = program.Folder();
    // Every file the program saves in its folder; then what it never saves there.
    for (const char* name : {".Morvane.cfg.123456.tmp", ".Morvane.cfg.Garbage.7.tmp",
                             ".Option2.CFG.42.tmp", ".tips.htm.0.tmp"})
        std::ofstream(folder / name) << "torn";
    for (const char* name : {".notes.txt.1.tmp", ".kind.ini.5.tmp"})
        std::ofstream(folder / name) << "the user's";
    fs::create_directories(dir / "runtime");
    program.Start(dir / "runtime");
    ASSERT_TRUE(program.WaitStarted(StartLimit));
    std::vector<std::string> temporaries;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".tmp")
            temporaries.push_back(entry.path().filename().string());
    std::sort(temporaries.begin(), temporaries.end());
    EXPECT_EQ(temporaries, (std::vector<std::string>{".kind.ini.5.tmp", ".notes.txt.1.tmp"}));
}

TEST(BadListFilesStart, AnotherUsersLockInTheSharedTemporaryFolderDoesNotStopAStart) {
    if (geteuid() != 0)
        GTEST_SKIP() << "acting as another user needs root";
    TTempDir dir;
    const fs::path shared = dir / "shared";
    fs::create_directories(shared);
    OpenToEveryone(shared.string());
    chmod(shared.c_str(), 01777);
    // Without a runtime folder: the other user took the old fixed lock name and the name
    // of the folder the lock goes in now, and holds a lock in each.
    const std::string lockName = "Morvane_Tolvik-" + std::to_string(getuid()) + ".lock";
    const fs::path squatted = shared / ("morvane-" + std::to_string(geteuid()));
    const TOtherUser other([&] {
        mkdir(squatted.c_str(), 0777);
        chmod(squatted.c_str(), 0777);
        TOtherUser::HoldLock(squatted / lockName);
        TOtherUser::HoldLock(shared / lockName);
    });
    ASSERT_TRUE(other.Ready());

    TProgram first(dir.Path(), "first");
    first.Start({}, shared);
    EXPECT_TRUE(first.WaitStarted(StartLimit)) << first.ErrorText();
    // The lock is still a lock: a second copy of this user ends at once.
    TProgram second(dir.Path(), "second");
    second.SetHome(dir / "first-home");
    second.Start({}, shared);
    EXPECT_EQ(second.WaitExit(StartLimit), 0);
    EXPECT_FALSE(fs::exists(second.Folder() / "tips.htm"));
}
