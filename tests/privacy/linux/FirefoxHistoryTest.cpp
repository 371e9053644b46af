#include "privacy/FakeHome.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// places.sqlite of a current Firefox, as the browser creates it.
const char* const CurrentPlacesSchema = R"sql(
CREATE TABLE moz_origins ( id INTEGER PRIMARY KEY, prefix TEXT NOT NULL, host TEXT NOT NULL,
  frecency INTEGER NOT NULL, recalc_frecency INTEGER NOT NULL DEFAULT 0, alt_frecency INTEGER,
  recalc_alt_frecency INTEGER NOT NULL DEFAULT 0, UNIQUE (prefix, host) );
CREATE TABLE moz_places ( id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, rev_host LONGVARCHAR,
  visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL, typed INTEGER DEFAULT 0 NOT NULL,
  frecency INTEGER DEFAULT -1 NOT NULL, last_visit_date INTEGER , guid TEXT,
  foreign_count INTEGER DEFAULT 0 NOT NULL, url_hash INTEGER DEFAULT 0 NOT NULL , description TEXT,
  preview_image_url TEXT, site_name TEXT, origin_id INTEGER REFERENCES moz_origins(id),
  recalc_frecency INTEGER NOT NULL DEFAULT 0, alt_frecency INTEGER, recalc_alt_frecency INTEGER NOT NULL DEFAULT 0);
CREATE TABLE moz_places_extra ( place_id INTEGER PRIMARY KEY NOT NULL, sync_json TEXT,
  FOREIGN KEY (place_id) REFERENCES moz_places(id) ON DELETE CASCADE );
CREATE TABLE moz_historyvisits ( id INTEGER PRIMARY KEY, from_visit INTEGER, place_id INTEGER,
  visit_date INTEGER, visit_type INTEGER, session INTEGER, source INTEGER DEFAULT 0 NOT NULL,
  triggeringPlaceId INTEGER);
CREATE TABLE moz_historyvisits_extra ( visit_id INTEGER PRIMARY KEY NOT NULL, sync_json TEXT,
  FOREIGN KEY (visit_id) REFERENCES moz_historyvisits(id) ON DELETE CASCADE );
CREATE TABLE moz_inputhistory ( place_id INTEGER NOT NULL, input LONGVARCHAR NOT NULL, use_count INTEGER,
  PRIMARY KEY (place_id, input));
CREATE TABLE moz_bookmarks ( id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL, parent INTEGER,
  position INTEGER, title LONGVARCHAR, keyword_id INTEGER, folder_type TEXT, dateAdded INTEGER,
  lastModified INTEGER, guid TEXT, syncStatus INTEGER NOT NULL DEFAULT 0,
  syncChangeCounter INTEGER NOT NULL DEFAULT 1);
CREATE TABLE moz_bookmarks_deleted ( guid TEXT PRIMARY KEY, dateRemoved INTEGER NOT NULL DEFAULT 0);
CREATE TABLE moz_keywords ( id INTEGER PRIMARY KEY AUTOINCREMENT, keyword TEXT UNIQUE, place_id INTEGER,
  post_data TEXT);
CREATE TABLE moz_anno_attributes ( id INTEGER PRIMARY KEY, name VARCHAR(32) UNIQUE NOT NULL);
CREATE TABLE moz_annos ( id INTEGER PRIMARY KEY, place_id INTEGER NOT NULL, anno_attribute_id INTEGER,
  content LONGVARCHAR, flags INTEGER DEFAULT 0, expiration INTEGER DEFAULT 0, type INTEGER DEFAULT 0,
  dateAdded INTEGER DEFAULT 0, lastModified INTEGER DEFAULT 0);
CREATE TABLE moz_items_annos ( id INTEGER PRIMARY KEY, item_id INTEGER NOT NULL, anno_attribute_id INTEGER,
  content LONGVARCHAR, flags INTEGER DEFAULT 0, expiration INTEGER DEFAULT 0, type INTEGER DEFAULT 0,
  dateAdded INTEGER DEFAULT 0, lastModified INTEGER DEFAULT 0);
CREATE TABLE moz_meta (key TEXT PRIMARY KEY, value NOT NULL) WITHOUT ROWID ;
CREATE TABLE moz_places_metadata ( id INTEGER PRIMARY KEY, place_id INTEGER NOT NULL,
  referrer_place_id INTEGER, created_at INTEGER NOT NULL DEFAULT 0, updated_at INTEGER NOT NULL DEFAULT 0,
  total_view_time INTEGER NOT NULL DEFAULT 0, typing_time INTEGER NOT NULL DEFAULT 0,
  key_presses INTEGER NOT NULL DEFAULT 0, scrolling_time INTEGER NOT NULL DEFAULT 0,
  scrolling_distance INTEGER NOT NULL DEFAULT 0, document_type INTEGER NOT NULL DEFAULT 0,
  search_query_id INTEGER, FOREIGN KEY (place_id) REFERENCES moz_places(id) ON DELETE CASCADE,
  FOREIGN KEY (referrer_place_id) REFERENCES moz_places(id) ON DELETE CASCADE,
  FOREIGN KEY(search_query_id) REFERENCES moz_places_metadata_search_queries(id) ON DELETE CASCADE
  CHECK(place_id != referrer_place_id) );
CREATE TABLE moz_places_metadata_search_queries ( id INTEGER PRIMARY KEY, terms TEXT NOT NULL UNIQUE );
CREATE TABLE moz_previews_tombstones ( hash TEXT PRIMARY KEY ) WITHOUT ROWID;
CREATE INDEX moz_places_hostindex ON moz_places (rev_host);
CREATE INDEX moz_places_visitcount ON moz_places (visit_count);
CREATE INDEX moz_places_frecencyindex ON moz_places (frecency);
CREATE INDEX moz_places_lastvisitdateindex ON moz_places (last_visit_date);
CREATE UNIQUE INDEX moz_places_guid_uniqueindex ON moz_places (guid);
CREATE INDEX moz_places_url_hashindex ON moz_places (url_hash);
CREATE INDEX moz_places_originidindex ON moz_places (origin_id);
CREATE INDEX moz_places_altfrecencyindex ON moz_places (alt_frecency);
CREATE INDEX moz_historyvisits_placedateindex ON moz_historyvisits (place_id, visit_date);
CREATE INDEX moz_historyvisits_fromindex ON moz_historyvisits (from_visit);
CREATE INDEX moz_historyvisits_dateindex ON moz_historyvisits (visit_date);
CREATE INDEX moz_bookmarks_itemindex ON moz_bookmarks (fk, type);
CREATE INDEX moz_bookmarks_parentindex ON moz_bookmarks (parent, position);
CREATE INDEX moz_bookmarks_itemlastmodifiedindex ON moz_bookmarks (fk, lastModified);
CREATE INDEX moz_bookmarks_dateaddedindex ON moz_bookmarks (dateAdded);
CREATE UNIQUE INDEX moz_bookmarks_guid_uniqueindex ON moz_bookmarks (guid);
CREATE UNIQUE INDEX moz_keywords_placepostdata_uniqueindex ON moz_keywords (place_id, post_data);
CREATE UNIQUE INDEX moz_annos_placeattributeindex ON moz_annos (place_id, anno_attribute_id);
CREATE UNIQUE INDEX moz_items_annos_itemattributeindex ON moz_items_annos (item_id, anno_attribute_id);
CREATE UNIQUE INDEX moz_places_metadata_placecreated_uniqueindex ON moz_places_metadata (place_id, created_at);
CREATE INDEX moz_places_metadata_referrerindex ON moz_places_metadata (referrer_place_id);
PRAGMA user_version = 77;
)sql";

// A profile's life: a bookmarked and visited page with a download from it, a keyword
// search, a tagged page, a bookmark never visited; pages only visited, one with a download,
// one reached from another site, with interaction metadata and search terms.
const char* const CurrentPlacesRows = R"sql(
INSERT INTO moz_origins VALUES (1, 'https://', 'kept.example', 200, 0, NULL, 0),
  (2, 'https://', 'keyword.example', 100, 0, NULL, 0), (3, 'https://', 'visited.example', 300, 0, NULL, 0),
  (4, 'https://', 'downloaded.example', 50, 0, NULL, 0), (5, 'https://', 'tagged.example', 90, 0, NULL, 0),
  (6, 'https://', 'unvisitedmark.example', 10, 0, NULL, 0), (7, 'https://', 'referrer-site.example', 5, 0, NULL, 0);
INSERT INTO moz_places VALUES
  (1, 'https://kept.example/page', 'Kept page', 'elpmaxe.tpek.', 5, 0, 1, 2000, 1700000000000000, 'guidKept____', 1, 11, 'Kept description', NULL, 'Kept', 1, 0, 7, 0),
  (2, 'https://keyword.example/search?q=%s', 'Keyword search', 'elpmaxe.drowyek.', 2, 0, 0, 300, 1700000001000000, 'guidKeyword_', 2, 12, NULL, NULL, NULL, 2, 0, NULL, 0),
  (3, 'https://visited.example/secret-page', 'Visited secret', 'elpmaxe.detisiv.', 3, 0, 1, 900, 1700000002000000, 'guidVisited_', 0, 13, 'Secret description', 'https://visited.example/preview.png', 'Visited', 3, 0, 4, 0),
  (4, 'https://downloaded.example/file.zip', 'Download source', 'elpmaxe.dedaolnwod.', 1, 0, 0, 100, 1700000003000000, 'guidDownload', 0, 14, NULL, NULL, NULL, 4, 0, NULL, 0),
  (5, 'https://tagged.example/', 'Tagged', 'elpmaxe.deggat.', 1, 0, 0, 120, 1700000004000000, 'guidTagged__', 1, 15, NULL, NULL, NULL, 5, 0, NULL, 0),
  (6, 'https://unvisitedmark.example/', 'Never visited', 'elpmaxe.kramdetisivnu.', 0, 0, 0, 140, NULL, 'guidUnvisit_', 1, 16, NULL, NULL, NULL, 6, 0, NULL, 0),
  (7, 'https://referrer-site.example/from', 'Referrer', 'elpmaxe.etis-rerrefer.', 1, 0, 0, 10, 1700000005000000, 'guidReferrer', 0, 17, NULL, NULL, NULL, 7, 0, NULL, 0);
INSERT INTO moz_places_extra VALUES (3, '{"seen":"visited.example"}');
INSERT INTO moz_historyvisits VALUES (1, 0, 1, 1700000000000000, 1, 0, 0, NULL),
  (2, 0, 7, 1700000005000000, 1, 0, 0, NULL), (3, 2, 3, 1700000002000000, 1, 0, 0, 7),
  (4, 0, 4, 1700000003000000, 7, 0, 0, NULL), (5, 0, 2, 1700000001000000, 2, 0, 0, NULL),
  (6, 0, 5, 1700000004000000, 1, 0, 0, NULL);
INSERT INTO moz_historyvisits_extra VALUES (3, '{"visit":"visited.example"}');
INSERT INTO moz_inputhistory VALUES (1, 'kept-typed-input', 1), (3, 'typed-secret', 2);
INSERT INTO moz_bookmarks VALUES
  (1, 2, NULL, 0, 0, '', NULL, NULL, 1, 1, 'root________', 1, 1),
  (2, 2, NULL, 1, 0, 'menu', NULL, NULL, 1, 1, 'menu________', 1, 1),
  (3, 2, NULL, 1, 1, 'toolbar', NULL, NULL, 1, 1, 'toolbar_____', 1, 1),
  (4, 2, NULL, 1, 2, 'tags', NULL, NULL, 1, 1, 'tags________', 1, 1),
  (5, 2, NULL, 1, 3, 'unfiled', NULL, NULL, 1, 1, 'unfiled_____', 1, 1),
  (6, 2, NULL, 1, 4, 'mobile', NULL, NULL, 1, 1, 'mobile______', 1, 1),
  (7, 1, 1, 2, 0, 'Kept bookmark', NULL, NULL, 5, 6, 'bmKept______', 1, 1),
  (8, 1, 2, 3, 0, 'Search with a keyword', NULL, NULL, 5, 6, 'bmKeyword___', 1, 1),
  (9, 2, NULL, 4, 0, 'mytag', NULL, NULL, 5, 6, 'tagFolder___', 1, 1),
  (10, 1, 5, 9, 0, NULL, NULL, NULL, 5, 6, 'tagEntry____', 1, 1),
  (11, 1, 6, 5, 0, 'Never visited mark', NULL, NULL, 5, 6, 'bmUnvisited_', 1, 1),
  (12, 3, NULL, 2, 1, NULL, NULL, NULL, 5, 6, 'separator___', 1, 1);
INSERT INTO moz_bookmarks_deleted VALUES ('bmGoneBefore', 1690000000000);
INSERT INTO moz_keywords VALUES (1, 'kw', 2, NULL);
INSERT INTO moz_anno_attributes VALUES (1, 'downloads/destinationFileURI'), (2, 'downloads/metaData'),
  (3, 'bookmarkProperties/description'), (4, 'URIProperties/characterSet');
INSERT INTO moz_annos VALUES (1, 4, 1, 'file:///home/u/Downloads/secret-file.zip', 0, 4, 3, 1, 1),
  (2, 4, 2, '{"state":1,"endTime":1700000003000,"fileSize":42}', 0, 4, 3, 1, 1),
  (3, 1, 1, 'file:///home/u/Downloads/from-kept.pdf', 0, 4, 3, 1, 1),
  (4, 3, 4, 'windows-1252', 0, 4, 3, 1, 1);
INSERT INTO moz_items_annos VALUES (1, 7, 3, 'My own note on the kept bookmark', 0, 4, 3, 1, 1);
INSERT INTO moz_meta VALUES ('sync/bookmarks/syncId', 'syncIdKept__');
INSERT INTO moz_places_metadata_search_queries VALUES (1, 'secret search terms');
INSERT INTO moz_places_metadata VALUES (1, 3, 7, 1700000002000, 1700000002500, 40000, 3000, 120, 500, 900, 0, 1),
  (2, 1, NULL, 1700000000000, 1700000000100, 1000, 0, 0, 0, 0, 0, NULL);
)sql";

const char* const FaviconsSchemaAndRows = R"sql(
CREATE TABLE moz_icons ( id INTEGER PRIMARY KEY, icon_url TEXT NOT NULL, fixed_icon_url_hash INTEGER NOT NULL,
  width INTEGER NOT NULL DEFAULT 0, root INTEGER NOT NULL DEFAULT 0, color INTEGER,
  expire_ms INTEGER NOT NULL DEFAULT 0, flags INTEGER NOT NULL DEFAULT 0, data BLOB );
CREATE TABLE moz_pages_w_icons ( id INTEGER PRIMARY KEY, page_url TEXT NOT NULL, page_url_hash INTEGER NOT NULL );
CREATE TABLE moz_icons_to_pages ( page_id INTEGER NOT NULL, icon_id INTEGER NOT NULL,
  expire_ms INTEGER NOT NULL DEFAULT 0, PRIMARY KEY (page_id, icon_id),
  FOREIGN KEY (page_id) REFERENCES moz_pages_w_icons ON DELETE CASCADE,
  FOREIGN KEY (icon_id) REFERENCES moz_icons ON DELETE CASCADE ) WITHOUT ROWID;
CREATE INDEX moz_icons_iconurlhashindex ON moz_icons (fixed_icon_url_hash);
CREATE INDEX moz_pages_w_icons_urlhashindex ON moz_pages_w_icons (page_url_hash);
INSERT INTO moz_icons VALUES (1, 'https://kept.example/icon.png', 1, 16, 0, NULL, 0, 0, X'89504E47'),
  (2, 'https://visited.example/favicon.ico', 2, 16, 1, NULL, 0, 0, X'00000100'),
  (3, 'https://visited.example/secret-icon.png', 3, 32, 0, NULL, 0, 0, X'89504E47'),
  (4, 'https://kept.example/favicon.ico', 4, 16, 1, NULL, 0, 0, X'00000100');
INSERT INTO moz_pages_w_icons VALUES (1, 'https://kept.example/page', 11),
  (2, 'https://visited.example/secret-page', 13);
INSERT INTO moz_icons_to_pages VALUES (1, 1, 0), (2, 3, 0), (2, 2, 0);
)sql";

// What the history of the profile above leaves readable somewhere, also reversed as the
// hosts are kept.
const std::vector<std::string> ForgottenTexts = {
    "visited.example",   "downloaded.example", "referrer-site.example", "secret search terms",
    "typed-secret",      "kept-typed-input",   "secret-file.zip",       "from-kept.pdf",
    "secret-page",       "Secret description", "windows-1252",          "elpmaxe.detisiv",
    "elpmaxe.dedaolnwod"};

void Build(const fs::path& file, const std::string& sql, bool leaveInLog = false) {
    fs::create_directories(file.parent_path());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    if (leaveInLog) // as after a crash: the rows live in the write-ahead log alone
        sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    sqlite3_close(db);
}

// Every row of a query, its columns joined by "|".
std::vector<std::string> Rows(const fs::path& file, const std::string& query) {
    std::vector<std::string> rows;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return {"<cannot open>"};
    }
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, query.c_str(), -1, &st, nullptr) != SQLITE_OK)
        rows.push_back(std::string("<error> ") + sqlite3_errmsg(db));
    while (st && sqlite3_step(st) == SQLITE_ROW) {
        std::string row;
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
            const unsigned char* text = sqlite3_column_text(st, i);
            row +=
                (i ? "|" : "") + std::string(text ? reinterpret_cast<const char*>(text) : "NULL");
        }
        rows.push_back(row);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

std::string FileBytes(const fs::path& file) {
    std::error_code ec;
    return fs::exists(file, ec) ? TTempDir::Read(file) : std::string();
}

// The texts of ForgottenTexts found in the bytes of a database and its log.
std::vector<std::string> TracesIn(const fs::path& file) {
    const std::string bytes = FileBytes(file) + FileBytes(file.string() + "-wal");
    std::vector<std::string> found;
    for (const std::string& text : ForgottenTexts)
        if (bytes.find(text) != std::string::npos)
            found.push_back(text);
    return found;
}

class FirefoxHistory : public TFakeHomeTest {
protected:
    void SetUp() override {
        TFakeHomeTest::SetUp();
        Profile = Home / ".mozilla/firefox/abcd.default-release";
        Places = Profile / "places.sqlite";
        Favicons = Profile / "favicons.sqlite";
        Temp.Write(Profile / "prefs.js", "// a profile");
    }
    void BuildCurrentProfile(bool leaveInLog) {
        Build(Places,
              std::string("PRAGMA journal_mode = WAL;") + CurrentPlacesSchema + CurrentPlacesRows,
              leaveInLog);
        Build(Favicons, std::string("PRAGMA journal_mode = WAL;") + FaviconsSchemaAndRows,
              leaveInLog);
    }
    // Everything of the bookmarks, as they were before the cleaning.
    std::vector<std::vector<std::string>> BookmarkState() const {
        std::vector<std::vector<std::string>> state;
        for (const char* query :
             {"SELECT * FROM moz_bookmarks ORDER BY id", "SELECT * FROM moz_keywords ORDER BY id",
              "SELECT * FROM moz_items_annos ORDER BY id", "SELECT * FROM moz_bookmarks_deleted",
              "SELECT * FROM moz_meta",
              "SELECT b.id, p.url, p.title, p.guid, p.foreign_count FROM moz_bookmarks b JOIN "
              "moz_places p"
              " ON p.id = b.fk ORDER BY b.id",
              "SELECT k.keyword, p.url FROM moz_keywords k JOIN moz_places p ON p.id = k.place_id"})
            state.push_back(Rows(Places, query));
        return state;
    }

    fs::path Profile, Places, Favicons;
};

TEST_F(FirefoxHistory, TheCurrentSchemaLosesEveryHistoryTraceAndKeepsEveryBookmark) {
    BuildCurrentProfile(/*leaveInLog=*/true);
    ASSERT_GT(FileBytes(Places.string() + "-wal").size(), 0u);
    const auto bookmarks = BookmarkState();
    ASSERT_EQ(bookmarks[0].size(), 12u);

    Routines().CleanHistory();

    EXPECT_EQ(BookmarkState(), bookmarks);
    for (const char* table :
         {"moz_historyvisits", "moz_historyvisits_extra", "moz_inputhistory", "moz_annos",
          "moz_places_metadata", "moz_places_metadata_search_queries", "moz_places_extra"})
        EXPECT_THAT(Rows(Places, std::string("SELECT * FROM ") + table), IsEmpty()) << table;
    EXPECT_THAT(Rows(Places,
                     "SELECT id, visit_count, last_visit_date, typed, recalc_frecency, alt_frecency"
                     " FROM moz_places ORDER BY id"),
                ElementsAre("1|0|NULL|0|1|NULL", "2|0|NULL|0|1|NULL", "5|0|NULL|0|1|NULL",
                            "6|0|NULL|0|1|NULL"));
    // Every place left keeps its origin; no origin is left without a place.
    EXPECT_THAT(
        Rows(Places, "SELECT o.host FROM moz_origins o ORDER BY o.id"),
        ElementsAre("kept.example", "keyword.example", "tagged.example", "unvisitedmark.example"));
    EXPECT_THAT(
        Rows(Places,
             "SELECT id FROM moz_places WHERE origin_id NOT IN (SELECT id FROM moz_origins)"),
        IsEmpty());
    // The bookmark note's attribute stays; the download attributes go with their rows.
    EXPECT_THAT(Rows(Places, "SELECT name FROM moz_anno_attributes"),
                ElementsAre("bookmarkProperties/description"));
    EXPECT_THAT(Rows(Places, "PRAGMA integrity_check"), ElementsAre("ok"));

    EXPECT_THAT(Rows(Favicons, "SELECT page_url FROM moz_pages_w_icons"),
                ElementsAre("https://kept.example/page"));
    EXPECT_THAT(Rows(Favicons, "SELECT icon_url FROM moz_icons ORDER BY id"),
                ElementsAre("https://kept.example/icon.png", "https://kept.example/favicon.ico"));
    EXPECT_THAT(Rows(Favicons, "SELECT page_id, icon_id FROM moz_icons_to_pages"),
                ElementsAre("1|1"));

    // Nor is anything left in the files' free pages or logs.
    EXPECT_THAT(TracesIn(Places), IsEmpty());
    EXPECT_THAT(TracesIn(Favicons), IsEmpty());
}

// An older profile: favicons and hosts inside places.sqlite, keywords tied to bookmarks, no
// origins and no metadata.
TEST_F(FirefoxHistory, AnOlderSchemaIsClearedAsFarAsItGoes) {
    Build(Places, R"sql(
CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, rev_host LONGVARCHAR,
  visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL, typed INTEGER DEFAULT 0 NOT NULL,
  favicon_id INTEGER, frecency INTEGER DEFAULT -1 NOT NULL, last_visit_date INTEGER, guid TEXT);
CREATE TABLE moz_favicons (id INTEGER PRIMARY KEY, url LONGVARCHAR UNIQUE, data BLOB, mime_type VARCHAR(32),
  expiration LONG, guid TEXT);
CREATE TABLE moz_hosts (id INTEGER PRIMARY KEY, host TEXT NOT NULL UNIQUE, frecency INTEGER, typed INTEGER
  NOT NULL DEFAULT 0, prefix TEXT);
CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY, from_visit INTEGER, place_id INTEGER,
  visit_date INTEGER, visit_type INTEGER, session INTEGER);
CREATE TABLE moz_inputhistory (place_id INTEGER NOT NULL, input LONGVARCHAR NOT NULL, use_count INTEGER,
  PRIMARY KEY (place_id, input));
CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL, parent INTEGER,
  position INTEGER, title LONGVARCHAR, keyword_id INTEGER, folder_type TEXT, dateAdded INTEGER,
  lastModified INTEGER, guid TEXT);
CREATE TABLE moz_keywords (id INTEGER PRIMARY KEY AUTOINCREMENT, keyword TEXT UNIQUE);
CREATE TABLE moz_anno_attributes (id INTEGER PRIMARY KEY, name VARCHAR(32) UNIQUE NOT NULL);
CREATE TABLE moz_annos (id INTEGER PRIMARY KEY, place_id INTEGER NOT NULL, anno_attribute_id INTEGER,
  mime_type VARCHAR(32) DEFAULT NULL, content LONGVARCHAR, flags INTEGER DEFAULT 0,
  expiration INTEGER DEFAULT 0, type INTEGER DEFAULT 0, dateAdded INTEGER DEFAULT 0,
  lastModified INTEGER DEFAULT 0);
INSERT INTO moz_favicons VALUES (1, 'https://kept.example/favicon.ico', X'00', 'image/x-icon', 0, 'f1'),
  (2, 'https://visited.example/favicon.ico', X'00', 'image/x-icon', 0, 'f2');
INSERT INTO moz_places VALUES (1, 'https://www.kept.example/', 'Kept', 'elpmaxe.tpek.www.', 2, 0, 1, 1, 100, 5, 'p1'),
  (2, 'https://visited.example/secret-page', 'Visited', 'elpmaxe.detisiv.', 4, 0, 1, 2, 400, 6, 'p2');
INSERT INTO moz_hosts VALUES (1, 'kept.example', 100, 1, 'www.'), (2, 'visited.example', 400, 1, NULL);
INSERT INTO moz_historyvisits VALUES (1, 0, 1, 5, 1, 0), (2, 0, 2, 6, 1, 0);
INSERT INTO moz_inputhistory VALUES (2, 'typed-secret', 1);
INSERT INTO moz_keywords VALUES (1, 'k');
INSERT INTO moz_bookmarks VALUES (1, 2, NULL, 0, 0, '', NULL, NULL, 1, 1, 'root'),
  (2, 1, 1, 1, 0, 'Kept', 1, NULL, 1, 1, 'b2');
INSERT INTO moz_anno_attributes VALUES (1, 'downloads/destinationFileURI');
INSERT INTO moz_annos VALUES (1, 2, 1, NULL, 'file:///home/u/secret-file.zip', 0, 4, 3, 1, 1);
)sql");

    EXPECT_TRUE(Platform::PruneFirefoxHistory(Places));

    EXPECT_THAT(
        Rows(Places, "SELECT id, visit_count, last_visit_date, typed, frecency FROM moz_places"),
        ElementsAre("1|0|NULL|0|-1"));
    EXPECT_THAT(Rows(Places, "SELECT b.title, k.keyword FROM moz_bookmarks b JOIN moz_keywords k"
                             " ON k.id = b.keyword_id"),
                ElementsAre("Kept|k"));
    EXPECT_THAT(Rows(Places, "SELECT url FROM moz_favicons"),
                ElementsAre("https://kept.example/favicon.ico"));
    EXPECT_THAT(Rows(Places, "SELECT host FROM moz_hosts"), ElementsAre("kept.example"));
    for (const char* table :
         {"moz_historyvisits", "moz_inputhistory", "moz_annos", "moz_anno_attributes"})
        EXPECT_THAT(Rows(Places, std::string("SELECT * FROM ") + table), IsEmpty()) << table;
    EXPECT_THAT(TracesIn(Places), IsEmpty());
}

TEST_F(FirefoxHistory, ALockedDatabaseStaysAsItWasAndTheCleaningEndsSoon) {
    Build(Places, std::string(CurrentPlacesSchema) + CurrentPlacesRows);
    sqlite3* browser = nullptr;
    ASSERT_EQ(sqlite3_open(Places.c_str(), &browser), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(browser, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    Temp.Write(Profile / "downloads.sqlite", "d");

    const auto start = std::chrono::steady_clock::now();
    Routines().CleanHistory();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    sqlite3_exec(browser, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(browser);

    EXPECT_THAT(Rows(Places, "SELECT COUNT(*) FROM moz_historyvisits"), ElementsAre("6"));
    EXPECT_THAT(Rows(Places, "SELECT COUNT(*) FROM moz_places"), ElementsAre("7"));
    EXPECT_FALSE(Exists(Profile / "downloads.sqlite")); // the item went on
}

TEST_F(FirefoxHistory, BrokenFilesAreLeftAsTheyWereAndOtherProfilesAreStillCleaned) {
    // A database whose tables lie on pages of garbage, with the journal of a rollback.
    Build(Places,
          std::string("PRAGMA page_size = 4096;") + CurrentPlacesSchema + CurrentPlacesRows);
    std::string bytes = TTempDir::Read(Places);
    ASSERT_GT(bytes.size(), 3 * 4096u);
    for (size_t i = 2 * 4096; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(0xA5 ^ (i * 7));
    Temp.Write(Places, bytes);
    // A special file under the database's name must not block the cleaning.
    const fs::path fifoProfile = Home / ".mozilla/firefox/fifo.default";
    fs::create_directories(fifoProfile);
    ASSERT_EQ(mkfifo((fifoProfile / "places.sqlite").c_str(), 0600), 0);
    const fs::path fine = Home / ".mozilla/firefox/zzzz.other";
    Temp.Write(fine / "prefs.js", "// a profile");
    Temp.Write(fifoProfile / "prefs.js", "// a profile");
    Build(fine / "places.sqlite", std::string(CurrentPlacesSchema) + CurrentPlacesRows);
    // Favicons that are no database are not touched.
    Temp.Write(fine / "favicons.sqlite", "not a database");

    EXPECT_FALSE(Platform::PruneFirefoxHistory(Places));
    EXPECT_FALSE(Platform::PruneFirefoxHistory(fifoProfile / "places.sqlite"));
    EXPECT_FALSE(Platform::PruneFirefoxHistory(Profile / "missing.sqlite"));
    EXPECT_FALSE(Exists(Profile / "missing.sqlite"));
    Routines().CleanHistory();

    EXPECT_EQ(TTempDir::Read(Places), bytes);
    EXPECT_THAT(Rows(fine / "places.sqlite", "SELECT COUNT(*) FROM moz_historyvisits"),
                ElementsAre("0"));
    EXPECT_EQ(TTempDir::Read(fine / "favicons.sqlite"), "not a database");
}

} // namespace
