// Special files, birth times and owners as the Linux walker and queries report them.
#include "platform/FileOwnership.h"
#include "platform/TDirWalker.h"
#include "platform/linux/StatxAttributes.h"

#include "support/TTempDir.h"

#include <gtest/gtest.h>

#include <map>

#include <grp.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace Platform;

namespace {

// A socket bound in the folder, as a running program leaves one.
void MakeSocket(const fs::path& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);
}

} // namespace

// Only regular files hold data of their own; the listing and a query must tell the
// others apart in a names-only walk and in a detailed one.
TEST(EntryKinds, FifosAndSocketsAreSpecialFilesAreNot) {
    TTempDir dir;
    dir.Write("empty", "");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    MakeSocket(dir / "sock");
    for (const bool details : {true, false}) {
        std::map<std::string, bool> special;
        TWalkOptions options;
        options.Details = details;
        TDirWalker().Walk(
            dir.Path(),
            [&](const TDirEntry& e) {
                special[std::string(e.Name)] = e.Special;
                return TVisit::Continue;
            },
            options);
        EXPECT_EQ(special,
                  (std::map<std::string, bool>{{"empty", false}, {"fifo", true}, {"sock", true}}))
            << "details " << details;
    }
    EXPECT_TRUE(QueryEntry(dir / "fifo")->Special);
    EXPECT_FALSE(QueryEntry(dir / "empty")->Special);
    EXPECT_TRUE(QueryEntry("/dev/null")->Special);
}

// A file system that reports a birth time of exactly the epoch keeps none; the change
// time stands in, as where the field is missing.
TEST(EntryKinds, CreationFallsBackToTheChangeTime) {
    struct statx st {};
    st.stx_ctime.tv_sec = 1700000000;
    st.stx_btime.tv_sec = 1600000000;
    st.stx_mask = STATX_BTIME;
    EXPECT_EQ(CreatedOf(st).Ticks, ToFileTime(st.stx_btime).Ticks);
    st.stx_btime = {};
    EXPECT_EQ(CreatedOf(st).Ticks, ToFileTime(st.stx_ctime).Ticks);
    st.stx_btime.tv_sec = 1600000000;
    st.stx_mask = 0;
    EXPECT_EQ(CreatedOf(st).Ticks, ToFileTime(st.stx_ctime).Ticks);
}

TEST(EntryKinds, OwnershipComesFromTheNamesOwnBytes) {
    TTempDir dir;
    const fs::path odd = dir.Write(std::string("caf\xe9-\xff.txt"), "x"); // not UTF-8
    ASSERT_EQ(chmod(odd.c_str(), 0640), 0);
    const std::optional<TOwnership> o = QueryOwnership(odd);
    ASSERT_TRUE(o);
    const passwd* me = getpwuid(geteuid());
    const group* myGroup = getgrgid(getegid());
    EXPECT_EQ(o->Owner, me ? std::string(me->pw_name) : std::to_string(geteuid()));
    EXPECT_EQ(o->Group, myGroup ? std::string(myGroup->gr_name) : std::to_string(getegid()));
    EXPECT_EQ(o->Permissions, "rw-r-----");
    // A link is shown as the link, whatever it points to.
    fs::create_symlink(odd, dir / "link");
    EXPECT_EQ(QueryOwnership(dir / "link")->Permissions, "rwxrwxrwx");
    EXPECT_FALSE(QueryOwnership(dir / "missing"));
}
