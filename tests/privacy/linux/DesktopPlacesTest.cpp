#include "platform/linux/UserSearchPath.h"
#include "privacy/FakeHome.h"

#include <ctime>
#include <filesystem>
#include <string>
#include <thread>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using RecentDocuments = TFakeHomeTest;

TEST_F(RecentDocuments, TheRecentListsGoAgainOnEveryRun) {
    for (int run : {1, 2}) {
        Put(".local/share/recently-used.xbel", "<xbel/>");
        Put(".local/share/recently-used.xbel.bak", "<xbel/>");
        Put(".recently-used", "old");
        Put(".local/share/RecentDocuments/report.desktop", "[Desktop Entry]");
        Put(".local/share/keyrings/login.keyring", "keep");

        Routines().CleanRecentFolders();

        EXPECT_FALSE(Exists(Home / ".local/share/recently-used.xbel")) << run;
        EXPECT_FALSE(Exists(Home / ".local/share/recently-used.xbel.bak")) << run;
        EXPECT_FALSE(Exists(Home / ".recently-used")) << run;
        EXPECT_TRUE(IsEmptyFolder(Home / ".local/share/RecentDocuments")) << run;
        EXPECT_TRUE(Exists(Home / ".local/share/keyrings/login.keyring")) << run;
    }
}

class TempFolders : public TFakeHomeTest {
protected:
    void TearDown() override {
        if (FChild > 0) {
            kill(FChild, SIGKILL);
            waitpid(FChild, nullptr, 0);
        }
        TFakeHomeTest::TearDown();
    }

    // Starts a child process that holds the file open, and waits until it does.
    void HoldOpenInChild(const fs::path& file) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, file.c_str(), O_RDONLY, 0);
        char sleepArg[] = "sleep";
        char seconds[] = "60";
        char* argv[] = {sleepArg, seconds, nullptr};
        ASSERT_EQ(posix_spawnp(&FChild, "sleep", &actions, nullptr, argv, environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        const fs::path stdinLink = "/proc/" + std::to_string(FChild) + "/fd/0";
        for (int i = 0; i < 200; ++i) {
            std::error_code ec;
            if (fs::equivalent(stdinLink, file, ec))
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        FAIL() << "the child did not open " << file;
    }

    void MakeSocket(const fs::path& path) {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_GE(fd, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        ASSERT_LT(path.native().size(), sizeof addr.sun_path);
        std::copy(path.native().begin(), path.native().end(), addr.sun_path);
        ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        close(fd);
    }

    pid_t FChild = -1;
};

TEST_F(TempFolders, SubfoldersGoWholeWhatIsInUseStaysWithTheFoldersHoldingIt) {
    Temp.Write("systmp/old.tmp", "1");
    Temp.Write("systmp/build/a/b/c.o", "2");
    const fs::path held = Temp.Write("systmp/held/locked.db", "open");
    Temp.Write("systmp/held/loose.tmp", "3");
    // A short folder name: socket paths are limited to about a hundred bytes.
    const fs::path sock = Temp.Path() / "systmp/s/x.sock";
    fs::create_directories(sock.parent_path());
    MakeSocket(sock);
    Temp.Write("systmp/s/other.tmp", "4");
    ASSERT_EQ(mkfifo((Temp.Path() / "systmp/pipe").c_str(), 0600), 0);
    HoldOpenInChild(held);

    Routines().CleanTempFolders();

    EXPECT_TRUE(fs::is_directory(SystemTemp));
    EXPECT_FALSE(Exists(SystemTemp / "old.tmp"));
    EXPECT_FALSE(Exists(SystemTemp / "build"));
    EXPECT_EQ(TTempDir::Read(held), "open");
    EXPECT_FALSE(Exists(SystemTemp / "held/loose.tmp"));
    EXPECT_TRUE(Exists(sock));
    EXPECT_FALSE(Exists(SystemTemp / "s/other.tmp"));
    EXPECT_TRUE(Exists(SystemTemp / "pipe"));
}

TEST_F(TempFolders, TmpdirIsCleanedFirstAndMayBeTheSystemFolderItself) {
    const fs::path own = Temp.Path() / "own-tmp";
    Temp.Write("own-tmp/mine.tmp", "1");
    Temp.Write("systmp/sys.tmp", "2");
    SetEnv("TMPDIR", own.native());
    Routines().CleanTempFolders();
    EXPECT_TRUE(IsEmptyFolder(own));
    EXPECT_TRUE(IsEmptyFolder(SystemTemp));

    Temp.Write("systmp/again/x.tmp", "3");
    SetEnv("TMPDIR", SystemTemp.native());
    EXPECT_NO_THROW(Routines().CleanTempFolders());
    EXPECT_TRUE(IsEmptyFolder(SystemTemp));
}

TEST_F(TempFolders, AnotherUsersEntryStays) {
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a file away";
    const fs::path theirs = Temp.Write("systmp/theirs/data", "keep");
    ASSERT_EQ(chown(theirs.c_str(), 65534, 65534), 0);
    Temp.Write("systmp/theirs/mine", "x");

    Routines().CleanTempFolders();

    EXPECT_TRUE(Exists(theirs));
    EXPECT_FALSE(Exists(SystemTemp / "theirs/mine"));
}

TEST_F(TempFolders, WhatRunningDisplaysAndServicesDependOnStays) {
    // A lock of a running display (this process stands for its server) and a stale one.
    Temp.Write("systmp/.X58-lock", "      " + std::to_string(getpid()) + "\n");
    pid_t ended = fork();
    if (ended == 0)
        _exit(0);
    waitpid(ended, nullptr, 0);
    Temp.Write("systmp/.X59-lock", "      " + std::to_string(ended) + "\n");
    Temp.Write("systmp/.X11-unix/X58", "socket stand-in");
    Temp.Write("systmp/.ICE-unix/1234", "socket stand-in");
    Temp.Write("systmp/systemd-private-0123abcd-colord.service-Ab12Cd/tmp/state", "service");
    Temp.Write("systmp/.X58-lock-not-a-lock", "x");
    Temp.Write("systmp/old.tmp", "x");

    Routines().CleanTempFolders();

    EXPECT_TRUE(Exists(SystemTemp / ".X58-lock"));
    EXPECT_FALSE(Exists(SystemTemp / ".X59-lock"));
    EXPECT_TRUE(Exists(SystemTemp / ".X11-unix/X58"));
    EXPECT_TRUE(Exists(SystemTemp / ".ICE-unix/1234"));
    EXPECT_TRUE(Exists(SystemTemp / "systemd-private-0123abcd-colord.service-Ab12Cd/tmp/state"));
    EXPECT_FALSE(Exists(SystemTemp / ".X58-lock-not-a-lock"));
    EXPECT_FALSE(Exists(SystemTemp / "old.tmp"));
}

TEST_F(TempFolders, WhatChangedInTheLastHourStays) {
    const fs::path fresh = Temp.Write("systmp/fresh/work.tmp", "x");
    Platform::TPrivacyPlaces places = Platform::TPrivacyPlaces::FromEnvironment();
    places.SystemTemp = SystemTemp;
    places.Now = static_cast<int64_t>(std::time(nullptr)); // just made: changed a moment ago
    Platform::TLinuxPrivacyRoutines(places).CleanTempFolders();
    EXPECT_TRUE(Exists(fresh));
    places.Now += 3601;
    Platform::TLinuxPrivacyRoutines(places).CleanTempFolders();
    EXPECT_FALSE(Exists(SystemTemp / "fresh"));
}

TEST_F(TempFolders, ATmpdirThatIsNotTheUsersOwnRealFolderIsPassedOver) {
    const fs::path theirs = Temp.Path() / "their-tmp";
    Temp.Write("their-tmp/file", "keep");
    Temp.Write("systmp/mine.tmp", "x");
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(theirs.c_str(), 65534, 65534), 0);
    }
    SetEnv("TMPDIR", theirs.native());
    Routines().CleanTempFolders();
    if (root) {
        EXPECT_TRUE(Exists(theirs / "file"));
    }
    // The item goes on with the system's temporary folder.
    EXPECT_FALSE(Exists(SystemTemp / "mine.tmp"));

    // A TMPDIR that is a link is not followed, and neither is "/" or the home taken.
    fs::create_directory_symlink(theirs, Temp.Path() / "tmp-link");
    Put("notes.txt", "mine");
    for (const fs::path& tmp : {Temp.Path() / "tmp-link", Home, Home.parent_path()}) {
        SetEnv("TMPDIR", tmp.native());
        Routines().CleanTempFolders();
    }
    EXPECT_EQ(TTempDir::Read(theirs / "file"), "keep");
    EXPECT_EQ(TTempDir::Read(Home / "notes.txt"), "mine");
}

class Trash : public TFakeHomeTest {
protected:
    std::string Uid() const { return std::to_string(geteuid()); }

    // A trash folder with one trashed file in each part, returns the parts' paths.
    void FillTrash(const fs::path& trash) {
        Temp.Write(trash / "files/report.txt", "t");
        Temp.Write(trash / "files/folder/inner.txt", "t");
        Temp.Write(trash / "info/report.txt.trashinfo", "[Trash Info]");
        Temp.Write(trash / "expunged/old", "t");
        Temp.Write(trash / "directorysizes", "4096 1 folder");
    }
    void ExpectEmptied(const fs::path& trash) {
        for (const char* part : {"files", "info", "expunged"})
            EXPECT_TRUE(IsEmptyFolder(trash / part)) << trash / part;
        EXPECT_FALSE(Exists(trash / "directorysizes")) << trash;
    }
    void ExpectUntouched(const fs::path& trash) {
        EXPECT_TRUE(Exists(trash / "files/report.txt")) << trash;
        EXPECT_TRUE(Exists(trash / "info/report.txt.trashinfo")) << trash;
        EXPECT_TRUE(Exists(trash / "directorysizes")) << trash;
    }
};

TEST_F(Trash, TheHomeTrashIsEmptiedAndALinkInItRemovedAsALinkOnly) {
    const fs::path trash = Home / ".local/share/Trash";
    FillTrash(trash);
    const fs::path outside = Temp.Write("outside/precious.txt", "keep");
    fs::create_directory_symlink(outside.parent_path(), trash / "files/link");

    Routines().EmptyRecycleBin();

    ExpectEmptied(trash);
    EXPECT_EQ(TTempDir::Read(outside), "keep");
}

TEST_F(Trash, VolumeTrashesAreTakenOnlyWhenTheyAreTrustworthyAndOurs) {
    const fs::path good = Temp.Path() / "vol-good";
    const fs::path unsticky = Temp.Path() / "vol-unsticky";
    const fs::path linked = Temp.Path() / "vol-linked";
    FillTrash(good / ".Trash" / Uid());
    fs::permissions(good / ".Trash", fs::perms::sticky_bit, fs::perm_options::add);
    FillTrash(good / (".Trash-" + Uid()));
    FillTrash(good / (".Trash-" + std::to_string(geteuid() + 1)));
    FillTrash(unsticky / ".Trash" / Uid());
    fs::permissions(unsticky / ".Trash", fs::perms::sticky_bit, fs::perm_options::remove);
    const fs::path elsewhere = Temp.Path() / "elsewhere-trash";
    FillTrash(elsewhere / Uid());
    fs::permissions(elsewhere, fs::perms::sticky_bit, fs::perm_options::add);
    fs::create_directories(linked);
    fs::create_directory_symlink(elsewhere, linked / ".Trash");
    UseVolumes({good.native() + "/", unsticky.native() + "/", linked.native() + "/"});

    Routines().EmptyRecycleBin();

    ExpectEmptied(good / ".Trash" / Uid());
    ExpectEmptied(good / (".Trash-" + Uid()));
    ExpectUntouched(good / (".Trash-" + std::to_string(geteuid() + 1)));
    ExpectUntouched(unsticky / ".Trash" / Uid());
    ExpectUntouched(elsewhere / Uid());
}

TEST_F(Trash, AFolderUnderASharedTrashThatSomebodyElseMadeForUsIsNotTouched) {
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can make a folder for another user";
    const fs::path top = Temp.Path() / "vol";
    const fs::path planted = top / ".Trash" / Uid();
    FillTrash(planted);
    fs::permissions(top / ".Trash", fs::perms::sticky_bit, fs::perm_options::add);
    ASSERT_EQ(chown(planted.c_str(), 65534, 65534), 0);
    UseVolumes({top.native() + "/"});

    Routines().EmptyRecycleBin();

    ExpectUntouched(planted);
}

class BrokenShortcuts : public TFakeHomeTest {
protected:
    fs::path Launcher(const std::string& rel, const std::string& entry) {
        return Put(rel, "[Desktop Entry]\nType=Application\nName=Test\n" + entry + "\n");
    }
};

TEST_F(BrokenShortcuts, DanglingLinksAndLaunchersOfMissingProgramsGo) {
    const fs::path target = Put("Documents/plan.txt", "keep");
    fs::create_directories(Home / "Desktop");
    fs::create_symlink(Home / "Documents/gone.txt", Home / "Desktop/gone-link");
    fs::create_symlink(target, Home / "Desktop/plan-link");
    const fs::path missing =
        Launcher("Desktop/missing.desktop", "Exec=no-such-program-here --flag %U");
    const fs::path missingPath =
        Launcher(".local/share/applications/abs.desktop", "Exec=/nonexistent/bin/tool");
    const fs::path tryExec =
        Launcher(".config/autostart/try.desktop", "TryExec=/nonexistent/tool\nExec=/bin/sh");
    const fs::path shell = Launcher("Desktop/shell.desktop", "Exec=/bin/sh -c true");
    const fs::path quoted = Launcher("Desktop/quoted.desktop", "Exec=\"/bin/sh\" -c \"echo hi\"");
    const fs::path onPath = Launcher(".local/share/applications/sh.desktop", "Exec=sh");
    const fs::path unparsable = Launcher("Desktop/odd.desktop", "Exec=\"/nonexistent/unclosed");
    const fs::path relative = Launcher("Desktop/relative.desktop", "Exec=bin/local-tool");
    const fs::path link =
        Put("Desktop/site.desktop", "[Desktop Entry]\nType=Link\nURL=https://example.com/\n");
    const fs::path notLauncher = Put("Desktop/notes.txt", "Exec=/nonexistent");

    Routines().CleanBrokenShortcuts();

    for (const fs::path& gone : {Home / "Desktop/gone-link", missing, missingPath, tryExec})
        EXPECT_FALSE(Exists(gone)) << gone;
    for (const fs::path& stays : {Home / "Desktop/plan-link", target, shell, quoted, onPath,
                                  unparsable, relative, link, notLauncher})
        EXPECT_TRUE(Exists(stays)) << stays;
}

TEST_F(BrokenShortcuts, ALauncherWhoseProgramIsOnTheUsersOwnPathStays) {
    const fs::path local = Put(".local/bin/morvane-local-tool", "#!/bin/sh\n");
    fs::permissions(local, fs::perms::owner_all);
    const fs::path loginOnly = Temp.Write("login-bin/morvane-login-tool", "#!/bin/sh\n");
    fs::permissions(loginOnly, fs::perms::owner_all);
    // A login shell whose profile puts login-bin on the PATH.
    const fs::path shell =
        Temp.Write("login-shell", "#!/bin/sh\nPATH=\"" + loginOnly.parent_path().native() +
                                      ":$PATH\"\nexport PATH\nexec /bin/sh -c \"$3\"\n");
    fs::permissions(shell, fs::perms::owner_all);
    const fs::path inLocal = Launcher("Desktop/local.desktop", "Exec=morvane-local-tool %F");
    const fs::path inLogin =
        Launcher(".local/share/applications/login.desktop", "Exec=morvane-login-tool");
    const fs::path nowhere = Launcher("Desktop/nowhere.desktop", "Exec=morvane-tool-nowhere");

    Platform::TPrivacyPlaces places = Platform::TPrivacyPlaces::FromEnvironment();
    places.Shell = shell;
    Platform::TLinuxPrivacyRoutines(places).CleanBrokenShortcuts();

    EXPECT_TRUE(Exists(inLocal));
    EXPECT_TRUE(Exists(inLogin));
    EXPECT_FALSE(Exists(nowhere));
    EXPECT_EQ(Platform::LoginShellPath(shell).rfind(loginOnly.parent_path().native() + ":", 0), 0u);
}

TEST_F(BrokenShortcuts, TheDesktopFolderComesFromTheUserDirsFile) {
    Put(".config/user-dirs.dirs",
        "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    const fs::path moved = Launcher("Schreibtisch/missing.desktop", "Exec=no-such-program-here");
    const fs::path plain = Launcher("Desktop/missing.desktop", "Exec=no-such-program-here");

    Routines().CleanBrokenShortcuts();

    EXPECT_FALSE(Exists(moved));
    EXPECT_TRUE(Exists(plain));
}

} // namespace
