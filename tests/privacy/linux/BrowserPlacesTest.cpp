#include "privacy/FakeHome.h"

#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A Firefox history-and-bookmarks database: two bookmarked places (one visited), two
// places only visited, and a bookmark folder.
void MakePlaces(const fs::path& file) {
    fs::create_directories(file.parent_path());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    const char* sql =
        "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT, title TEXT,"
        " visit_count INTEGER DEFAULT 0, last_visit_date INTEGER);"
        "CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY, place_id INTEGER, visit_date INTEGER);"
        "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER, parent INTEGER, title TEXT);"
        "INSERT INTO moz_places VALUES (1, 'https://kept.example/', 'Kept', 3, 100),"
        " (2, 'https://visited.example/', 'Visited', 1, 200),"
        " (3, 'https://other.example/', 'Other', 2, 300),"
        " (4, 'https://unvisited-bookmark.example/', 'Mark', 0, NULL);"
        "INSERT INTO moz_historyvisits VALUES (1, 1, 100), (2, 2, 200), (3, 3, 300), (4, 3, 301);"
        "INSERT INTO moz_bookmarks VALUES (1, 2, NULL, 0, 'menu'), (2, 1, 1, 1, 'Kept'), (3, 1, 4, 1, 'Mark');";
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

std::vector<std::string> Column(const fs::path& file, const std::string& query) {
    std::vector<std::string> values;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return {"<cannot open>"};
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, query.c_str(), -1, &stmt, nullptr) == SQLITE_OK) {
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            const unsigned char* text = sqlite3_column_text(stmt, 0);
            values.emplace_back(text ? reinterpret_cast<const char*>(text) : "NULL");
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return values;
}

class BrowserPlaces : public TFakeHomeTest {
protected:
    void SetUp() override {
        TFakeHomeTest::SetUp();
        Chromium = Home / ".config/chromium";
        Firefox = Home / ".mozilla/firefox/abcd.default-release";
        for (const fs::path& profile : {Chromium / "Default", Chromium / "Profile 1"})
            for (const char* keep : {"Bookmarks", "Login Data", "Preferences", "Favicons"})
                Temp.Write(profile / keep, "keep");
        for (const char* keep : {"logins.json", "favicons.sqlite", "key4.db", "prefs.js"})
            Temp.Write(Firefox / keep, "keep");
    }

    // Everything a test set up as "keep" is still there with its bytes.
    void ExpectNeighboursKept() {
        for (const fs::path& profile : {Chromium / "Default", Chromium / "Profile 1"})
            for (const char* keep : {"Bookmarks", "Login Data", "Preferences", "Favicons"})
                EXPECT_EQ(TTempDir::Read(profile / keep), "keep") << profile / keep;
        for (const char* keep : {"logins.json", "favicons.sqlite", "key4.db", "prefs.js"})
            EXPECT_EQ(TTempDir::Read(Firefox / keep), "keep") << keep;
    }

    fs::path Chromium;
    fs::path Firefox;
};

TEST_F(BrowserPlaces, TemporaryFilesEmptyEveryCacheFolderOfEveryBrowserHome) {
    const std::vector<fs::path> caches = {
        Home / ".cache/mozilla", Home / ".cache/chromium", Home / ".cache/google-chrome-beta",
        Chromium / "Default/Cache", Chromium / "Default/Code Cache", Chromium / "Profile 1/GPUCache",
        Home / ".config/google-chrome/Default/Cache",
        Home / "snap/chromium/common/chromium/Default/Cache",
        Home / ".var/app/org.chromium.Chromium/config/chromium/Default/GPUCache",
        // A packaged browser's cache home holds nothing but its caches: it is emptied whole.
        Home / "snap/firefox/common/.cache", Home / "snap/chromium/common/.cache",
        Home / ".var/app/org.mozilla.firefox/cache", Home / ".var/app/org.chromium.Chromium/cache"};
    for (const fs::path& cache : caches)
        Temp.Write(cache / "sub/entry", "cached");
    Put(".cache/fontconfig/cache-1", "keep");
    Put(".config/chromium/Default/Cache-not/entry", "keep");
    Put("snap/chromium/common/chromium/Default/Bookmarks", "keep");

    Routines().CleanTemporaryInternetFiles();

    for (const fs::path& cache : caches)
        EXPECT_TRUE(IsEmptyFolder(cache)) << cache;
    EXPECT_TRUE(Exists(Home / ".cache/fontconfig/cache-1"));
    EXPECT_TRUE(Exists(Home / ".config/chromium/Default/Cache-not/entry"));
    EXPECT_TRUE(Exists(Home / "snap/chromium/common/chromium/Default/Bookmarks"));
    ExpectNeighboursKept();
}

TEST_F(BrowserPlaces, AFolderLinkInACacheIsRemovedAsALinkOnly) {
    const fs::path outside = Temp.Write("outside/precious", "keep");
    fs::create_directories(Home / ".cache/chromium");
    fs::create_directory_symlink(outside.parent_path(), Home / ".cache/chromium/link");

    Routines().CleanTemporaryInternetFiles();

    EXPECT_FALSE(Exists(Home / ".cache/chromium/link"));
    EXPECT_EQ(TTempDir::Read(outside), "keep");
}

TEST_F(BrowserPlaces, HistoryGoesWhileBookmarksStay) {
    const std::vector<std::string> history = {"History", "History-journal", "Archived History",
                                              "Top Sites", "Top Sites-journal", "Shortcuts",
                                              "Visited Links", "Network Action Predictor"};
    for (const std::string& name : history)
        Temp.Write(Chromium / "Default" / name, "h");
    Temp.Write(Chromium / "Default/Cookies", "keep");
    MakePlaces(Firefox / "places.sqlite");
    Temp.Write(Firefox / "downloads.sqlite", "d");

    Routines().CleanHistory();

    for (const std::string& name : history)
        EXPECT_FALSE(Exists(Chromium / "Default" / name)) << name;
    EXPECT_TRUE(Exists(Chromium / "Default/Cookies"));
    EXPECT_FALSE(Exists(Firefox / "downloads.sqlite"));
    const fs::path places = Firefox / "places.sqlite";
    EXPECT_THAT(Column(places, "SELECT COUNT(*) FROM moz_historyvisits"), ::testing::ElementsAre("0"));
    EXPECT_THAT(Column(places, "SELECT p.url FROM moz_bookmarks b JOIN moz_places p ON p.id = b.fk ORDER BY b.id"),
                ::testing::ElementsAre("https://kept.example/", "https://unvisited-bookmark.example/"));
    EXPECT_THAT(Column(places, "SELECT id FROM moz_places ORDER BY id"), ::testing::ElementsAre("1", "4"));
    EXPECT_THAT(Column(places, "SELECT title FROM moz_bookmarks ORDER BY id"),
                ::testing::ElementsAre("menu", "Kept", "Mark"));
    EXPECT_THAT(Column(places, "SELECT DISTINCT visit_count FROM moz_places"), ::testing::ElementsAre("0"));
    // Nothing of the forgotten addresses is left in the file's free pages either.
    const std::string bytes = TTempDir::Read(places);
    EXPECT_EQ(bytes.find("visited.example"), std::string::npos);
    EXPECT_EQ(bytes.find("other.example"), std::string::npos);
    ExpectNeighboursKept();
}

TEST_F(BrowserPlaces, CookiesGoWithTheirJournalsAndNothingElse) {
    const std::vector<fs::path> cookies = {
        Firefox / "cookies.sqlite", Firefox / "cookies.sqlite-wal", Firefox / "cookies.sqlite-shm",
        Firefox / "cookies.txt", Chromium / "Default/Cookies", Chromium / "Default/Cookies-journal",
        Chromium / "Profile 1/Network/Cookies", Chromium / "Profile 1/Network/Cookies-journal",
        Chromium / "Default/Extension Cookies"};
    for (const fs::path& file : cookies)
        Temp.Write(file, "c");
    Temp.Write(Chromium / "Profile 1/Network/TransportSecurity", "keep");
    MakePlaces(Firefox / "places.sqlite");

    Routines().CleanCookies();

    for (const fs::path& file : cookies)
        EXPECT_FALSE(Exists(file)) << file;
    EXPECT_TRUE(Exists(Chromium / "Profile 1/Network/TransportSecurity"));
    EXPECT_THAT(Column(Firefox / "places.sqlite", "SELECT COUNT(*) FROM moz_historyvisits"),
                ::testing::ElementsAre("4"));
    ExpectNeighboursKept();
}

TEST_F(BrowserPlaces, ARunningBrowserIsLeftAlone) {
    fs::create_symlink("127.0.1.1:+4242", Firefox / "lock");
    fs::create_symlink("host-4343", Chromium / "SingletonLock");
    MakePlaces(Firefox / "places.sqlite");
    Temp.Write(Firefox / "cookies.sqlite", "c");
    Temp.Write(Chromium / "Default/History", "h");
    Temp.Write(Chromium / "Default/Cookies", "c");
    Temp.Write(Chromium / "Default/Cache/entry", "c");
    Put(".cache/chromium/Default/Cache/entry", "c");
    Put(".cache/mozilla/firefox/abcd.default-release/cache2/entry", "c");
    // Another, idle Chrome is cleaned all the same.
    Put(".config/google-chrome/Default/History", "h");

    auto routines = Routines();
    routines.CleanTemporaryInternetFiles();
    routines.CleanHistory();
    routines.CleanCookies();

    EXPECT_THAT(Column(Firefox / "places.sqlite", "SELECT COUNT(*) FROM moz_historyvisits"),
                ::testing::ElementsAre("4"));
    for (const fs::path& file : {Firefox / "cookies.sqlite", Chromium / "Default/History",
                                 Chromium / "Default/Cookies", Chromium / "Default/Cache/entry",
                                 Home / ".cache/chromium/Default/Cache/entry",
                                 Home / ".cache/mozilla/firefox/abcd.default-release/cache2/entry"})
        EXPECT_TRUE(Exists(file)) << file;
    EXPECT_FALSE(Exists(Home / ".config/google-chrome/Default/History"));
}

TEST_F(BrowserPlaces, ADatabaseThatIsNotHistoryIsLeftAsItWas) {
    Temp.Write(Firefox / "places.sqlite", "not a database at all");
    Routines().CleanHistory();
    EXPECT_EQ(TTempDir::Read(Firefox / "places.sqlite"), "not a database at all");
}

} // namespace
