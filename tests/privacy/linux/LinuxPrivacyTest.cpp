// The Linux privacy routines on a fake home: exactly the listed traces go.
#include "../../core/FakeVolumes.h"
#include "platform/linux/TLinuxPrivacyRoutines.h"
#include "support/PathExists.h"
#include "support/TTempDir.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Platform::TLinuxPrivacyRoutines;
using Platform::TPrivacyPlaces;

namespace {

class LinuxPrivacy : public ::testing::Test {
protected:
    LinuxPrivacy() : FOldCwd(fs::current_path()) {
        Places.Home = Home.Path();
        Places.ConfigHome = Home / ".config";
        Places.CacheHome = Home / ".cache";
        Places.DataHome = Home / ".local/share";
        Places.Desktop = Home / "Desktop";
        Places.SystemTemp = Temp.Path();
        Places.Uid = getuid();
        Places.Now =
            static_cast<int64_t>(std::time(nullptr)) + 2 * 3600; // what the tests make is old
        Firefox = Home / ".mozilla/firefox/abc.default";
        Chrome = Home / ".config/google-chrome/Default";
        Home.Write(".mozilla/firefox/abc.default/prefs.js", "user_pref");
        for (const char* f : {"Bookmarks", "Login Data", "History", "History-journal", "Top Sites",
                              "Cookies", "Cookies-journal", "Network/Cookies", "Cache/data_0",
                              "Code Cache/js/x", "GPUCache/y"})
            Home.Write(fs::path(".config/google-chrome/Default") / f, "x");
        for (const char* f : {"logins.json", "favicons.sqlite", "cookies.sqlite",
                              "cookies.sqlite-wal", "downloads.sqlite"})
            Home.Write(fs::path(".mozilla/firefox/abc.default") / f, "x");
    }
    ~LinuxPrivacy() override { fs::current_path(FOldCwd); }

    TLinuxPrivacyRoutines Routines() const { return TLinuxPrivacyRoutines(Places); }

    TTempDir Home;
    TTempDir Temp;
    TPrivacyPlaces Places;
    fs::path Firefox;
    fs::path Chrome;

private:
    fs::path FOldCwd;
};

void Sql(sqlite3* db, const char* text) {
    ASSERT_EQ(sqlite3_exec(db, text, nullptr, nullptr, nullptr), SQLITE_OK) << text;
}

int Count(const fs::path& file, const char* query) {
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, query, -1, &st, nullptr);
    const int n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
    sqlite3_finalize(st);
    sqlite3_close(db);
    return n;
}

} // namespace

TEST_F(LinuxPrivacy, BrowserCachesAreEmptiedAndTheProfilesStay) {
    Home.Write(".cache/mozilla/firefox/abc.default/cache2/entry", "x");
    Home.Write(".cache/google-chrome/Default/Cache/f", "x");
    Routines().CleanTemporaryInternetFiles();
    EXPECT_TRUE(fs::is_empty(Home / ".cache/mozilla"));
    EXPECT_TRUE(fs::is_empty(Home / ".cache/google-chrome"));
    EXPECT_TRUE(fs::is_empty(Chrome / "Cache"));
    EXPECT_TRUE(fs::is_empty(Chrome / "Code Cache"));
    EXPECT_TRUE(PathExists(Chrome / "Bookmarks"));
    EXPECT_TRUE(PathExists(Chrome / "History"));
    // The last folder entered stays the current folder.
    EXPECT_EQ(fs::current_path(), fs::canonical(Chrome / "GPUCache"));
}

TEST_F(LinuxPrivacy, ARunningBrowserIsLeftAlone) {
    fs::create_symlink("host-1234", Chrome.parent_path() / "SingletonLock");
    fs::create_symlink("127.0.0.1:+1", Firefox / "lock");
    Home.Write(".cache/mozilla/firefox/entry", "x");
    Routines().CleanHistory();
    Routines().CleanCookies();
    Routines().CleanTemporaryInternetFiles();
    EXPECT_TRUE(PathExists(Chrome / "History"));
    EXPECT_TRUE(PathExists(Chrome / "Cookies"));
    EXPECT_TRUE(PathExists(Chrome / "Cache/data_0"));
    EXPECT_TRUE(PathExists(Firefox / "cookies.sqlite"));
    EXPECT_TRUE(PathExists(Home / ".cache/mozilla/firefox/entry"));
}

TEST_F(LinuxPrivacy, HistoryGoesButBookmarksStayReadable) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((Firefox / "places.sqlite").c_str(), &db), SQLITE_OK);
    Sql(db, "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT, visit_count INTEGER, "
            "last_visit_date INTEGER);"
            "CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY, place_id INTEGER);"
            "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, fk INTEGER, title TEXT);"
            "CREATE TABLE moz_keywords (id INTEGER PRIMARY KEY, place_id INTEGER);"
            "INSERT INTO moz_places VALUES (1, 'https://kept.example/', 5, 1), (2, "
            "'https://visited.example/', 3, 2),"
            " (3, 'https://keyword.example/', 1, 3);"
            "INSERT INTO moz_historyvisits VALUES (1, 1), (2, 2), (3, 2), (4, 3);"
            "INSERT INTO moz_bookmarks VALUES (1, 1, 'Kept'), (2, NULL, 'Folder');"
            "INSERT INTO moz_keywords VALUES (1, 3);");
    sqlite3_close(db);
    Routines().CleanHistory();
    const fs::path places = Firefox / "places.sqlite";
    EXPECT_EQ(Count(places, "SELECT COUNT(*) FROM moz_historyvisits"), 0);
    EXPECT_EQ(Count(places, "SELECT COUNT(*) FROM moz_places"), 2);
    EXPECT_EQ(
        Count(places, "SELECT COUNT(*) FROM moz_bookmarks b JOIN moz_places p ON p.id = b.fk"), 1);
    EXPECT_EQ(Count(places, "SELECT SUM(visit_count) FROM moz_places"), 0);
    EXPECT_FALSE(PathExists(Firefox / "downloads.sqlite"));
    EXPECT_FALSE(PathExists(Chrome / "History"));
    EXPECT_FALSE(PathExists(Chrome / "History-journal"));
    EXPECT_FALSE(PathExists(Chrome / "Top Sites"));
    EXPECT_TRUE(PathExists(Chrome / "Bookmarks"));
    EXPECT_TRUE(PathExists(Chrome / "Login Data"));
    EXPECT_TRUE(PathExists(Firefox / "favicons.sqlite"));
}

TEST_F(LinuxPrivacy, CookiesGoAndLoginsStay) {
    Routines().CleanCookies();
    EXPECT_FALSE(PathExists(Firefox / "cookies.sqlite"));
    EXPECT_FALSE(PathExists(Firefox / "cookies.sqlite-wal"));
    EXPECT_FALSE(PathExists(Chrome / "Cookies"));
    EXPECT_FALSE(PathExists(Chrome / "Cookies-journal"));
    EXPECT_FALSE(PathExists(Chrome / "Network/Cookies"));
    EXPECT_TRUE(PathExists(Firefox / "logins.json"));
    EXPECT_TRUE(PathExists(Chrome / "Login Data"));
    EXPECT_TRUE(PathExists(Chrome / "Network"));
}

TEST_F(LinuxPrivacy, RecentDocumentListsGo) {
    Home.Write(".local/share/recently-used.xbel", "x");
    Home.Write(".local/share/recently-used.xbel.bak", "x");
    Home.Write(".local/share/RecentDocuments/a.desktop", "x");
    Home.Write(".local/share/keep.txt", "x");
    Home.Write(".recently-used", "x");
    Routines().CleanRecentFolders();
    EXPECT_FALSE(PathExists(Home / ".local/share/recently-used.xbel"));
    EXPECT_FALSE(PathExists(Home / ".local/share/recently-used.xbel.bak"));
    EXPECT_FALSE(PathExists(Home / ".recently-used"));
    EXPECT_TRUE(fs::is_empty(Home / ".local/share/RecentDocuments"));
    EXPECT_TRUE(PathExists(Home / ".local/share/keep.txt"));
}

TEST_F(LinuxPrivacy, TemporaryFilesGoExceptWhatIsInUse) {
    Temp.Write("old/deep/file", "x");
    Temp.Write("loose.tmp", "x");
    const fs::path held = Temp.Write("busy/held.tmp", "x");
    const int fd = open(held.c_str(), O_RDONLY); // held open by this process
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    fs::create_directory(Temp / "sock");
    const std::string sockPath = (Temp / "sock/s").string();
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", sockPath.c_str());
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    Places.TmpDir = Temp.Path(); // the same folder twice: no harm
    Routines().CleanTempFolders();
    close(fd);
    close(sock);
    EXPECT_FALSE(PathExists(Temp / "old"));
    EXPECT_FALSE(PathExists(Temp / "loose.tmp"));
    EXPECT_TRUE(PathExists(held));
    EXPECT_TRUE(PathExists(Temp / "sock/s"));
    EXPECT_TRUE(fs::is_directory(Temp.Path()));
}

TEST_F(LinuxPrivacy, TrashIsEmptiedWithoutFollowingLinksOrTouchingOthers) {
    TTempDir outside, volume;
    outside.Write("precious", "x");
    Home.Write(".local/share/Trash/files/old.txt", "x");
    Home.Write(".local/share/Trash/info/old.txt.trashinfo", "x");
    Home.Write(".local/share/Trash/directorysizes", "x");
    fs::create_directory_symlink(outside.Path(), Home / ".local/share/Trash/files/link");
    const std::string uid = std::to_string(getuid());
    // A shared .Trash without the sticky bit is not a trash; another user's is not ours.
    volume.Write(".Trash/" + uid + "/files/f", "x");
    volume.Write(".Trash-" + std::to_string(getuid() + 1) + "/files/g", "x");
    volume.Write(".Trash-" + uid + "/files/h", "x");
    TFakeVolumes* fake = nullptr;
    TVolumesScope scope(fake);
    fake->Volumes = {{volume.Path().string() + "/", Platform::DriveType::Fixed, ""}};
    Routines().EmptyRecycleBin();
    EXPECT_TRUE(fs::is_empty(Home / ".local/share/Trash/files"));
    EXPECT_TRUE(fs::is_empty(Home / ".local/share/Trash/info"));
    EXPECT_FALSE(PathExists(Home / ".local/share/Trash/directorysizes"));
    EXPECT_TRUE(PathExists(outside / "precious"));
    EXPECT_TRUE(PathExists(volume / (".Trash/" + uid + "/files/f")));
    EXPECT_TRUE(PathExists(volume / (".Trash-" + std::to_string(getuid() + 1) + "/files/g")));
    EXPECT_FALSE(PathExists(volume / (".Trash-" + uid + "/files/h")));
    // With the sticky bit the shared trash is emptied too.
    fs::permissions(volume / ".Trash", fs::perms::sticky_bit, fs::perm_options::add);
    Routines().EmptyRecycleBin();
    EXPECT_FALSE(PathExists(volume / (".Trash/" + uid + "/files/f")));
}

TEST_F(LinuxPrivacy, BrokenLinksAndLaunchersOfMissingProgramsGo) {
    fs::create_directories(Home / "Desktop");
    fs::create_symlink(Home / "gone", Home / "Desktop/dangling");
    fs::create_symlink(Home / ".mozilla", Home / "Desktop/alive");
    Home.Write("Desktop/missing.desktop",
               "[Desktop Entry]\nType=Application\nExec=/no/such/program %U\n");
    Home.Write("Desktop/shell.desktop",
               "[Desktop Entry]\nType=Application\nExec=/bin/sh -c true\n");
    Home.Write("Desktop/odd.desktop", "[Desktop Entry]\nType=Application\nExec=\"unclosed\n");
    Home.Write(".config/autostart/gone.desktop", "[Desktop Entry]\nExec=no-such-program-morvane\n");
    Home.Write("Desktop/notes.txt", "x");
    Routines().CleanBrokenShortcuts();
    EXPECT_FALSE(PathExists(Home / "Desktop/dangling"));
    EXPECT_FALSE(PathExists(Home / "Desktop/missing.desktop"));
    EXPECT_FALSE(PathExists(Home / ".config/autostart/gone.desktop"));
    EXPECT_TRUE(PathExists(Home / "Desktop/alive"));
    EXPECT_TRUE(PathExists(Home / "Desktop/shell.desktop"));
    EXPECT_TRUE(PathExists(Home / "Desktop/odd.desktop"));
    EXPECT_TRUE(PathExists(Home / "Desktop/notes.txt"));
}
