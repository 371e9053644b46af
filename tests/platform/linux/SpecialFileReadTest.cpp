// The reader meets what a list file name may turn out to be on Linux: FIFOs, devices,
// sockets, files of the kernel, and temporaries that a save still holds.
#include "platform/FileIo.h"

#include "support/TTempDir.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace Platform;

namespace {

// A FIFO, a link to /dev/zero, a link to a terminal-like device and a socket, each
// standing where a list file should be. An open that waits for a writer hangs this test
// (the test program's time limit then fails it); a read of /dev/zero would never end.
std::vector<fs::path> SpecialFiles(const TTempDir& dir) {
    std::vector<fs::path> files = {dir / "fifo.cfg", dir / "zero.cfg", dir / "null.cfg",
                                   dir / "socket.cfg"};
    EXPECT_EQ(mkfifo(files[0].c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", files[1]);
    fs::create_symlink("/dev/null", files[2]);
    const int s = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", files[3].c_str());
    EXPECT_EQ(bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(s);
    return files;
}

} // namespace

TEST(SpecialFileRead, FifoDeviceAndSocketAreRefusedAtOnceAndKeptBySaves) {
    TTempDir dir;
    for (const fs::path& file : SpecialFiles(dir)) {
        std::string error;
        EXPECT_FALSE(ReadWholeFile(file, &error)) << file;
        EXPECT_EQ(error, "Not a regular file") << file;
        EXPECT_EQ(UnreadableFileReason(file), "Not a regular file") << file;
    }
    EXPECT_TRUE(fs::is_fifo(dir / "fifo.cfg"));
}

TEST(SpecialFileRead, KernelFilesWithoutASizeAreReadToTheirEnd) {
    // /proc reports size 0 for its files: the reader must not trust the size alone.
    const auto status = ReadWholeFile("/proc/self/status", nullptr);
    ASSERT_TRUE(status);
    EXPECT_NE(status->find("VmRSS"), std::string::npos);
    std::string error;
    EXPECT_FALSE(ReadWholeFile("/proc/self/status", &error, 16));
    EXPECT_EQ(error, "File is larger than 16 bytes");
}

TEST(SpecialFileRead, UnreadableFileIsReportedAndNotToBeReplaced) {
    TTempDir dir;
    const fs::path file = dir.Write("locked.cfg", "x");
    OpenToEveryone(dir.Path().string());
    fs::permissions(file, fs::perms::none);
    EXPECT_EQ(RunUnprivileged([&] {
                  std::string error;
                  ReadWholeFile(file, &error);
                  return error + "|" + UnreadableFileReason(file);
              }),
              "Permission denied|Permission denied");
}

TEST(SpecialFileRead, TemporaryOfASaveThatStillRunsOrOfAnotherUserStays) {
    TTempDir dir;
    const fs::path held = dir.Write(".Morvane.cfg.11.tmp", "being written");
    const int fd = open(held.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    const fs::path link = dir / ".Morvane.cfg.12.tmp";
    fs::create_symlink(dir.Write("target", "t"), link);
    fs::path foreign;
    if (geteuid() == 0) {
        foreign = dir.Write(".Morvane.cfg.13.tmp", "another user's");
        ASSERT_EQ(chown(foreign.c_str(), 65534, 65534), 0);
    }
    EXPECT_EQ(RemoveAtomicWriteLeftovers(dir.Path(), {"Morvane.cfg"}), 0);
    EXPECT_TRUE(fs::exists(held));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::exists(dir / "target"));
    if (!foreign.empty()) {
        EXPECT_TRUE(fs::exists(foreign));
    }
    close(fd);
    EXPECT_EQ(RemoveAtomicWriteLeftovers(dir.Path(), {"Morvane.cfg"}), 1); // the save has ended
    EXPECT_FALSE(fs::exists(held));
}
