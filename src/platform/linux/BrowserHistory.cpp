#include "platform/PrivacyPlaces.h"

#include <sqlite3.h>

#include <string>

namespace fs = std::filesystem;

namespace Platform {
namespace {

class TDatabase {
public:
    explicit TDatabase(const fs::path& path) {
        // No SQLITE_OPEN_CREATE: a missing database is not made up.
        if (sqlite3_open_v2(path.c_str(), &FDb, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            sqlite3_close(FDb);
            FDb = nullptr;
        }
        if (FDb)
            sqlite3_busy_timeout(FDb, 2000);
    }
    ~TDatabase() { sqlite3_close(FDb); }
    TDatabase(const TDatabase&) = delete;
    TDatabase& operator=(const TDatabase&) = delete;

    bool Open() const { return FDb != nullptr; }
    bool Exec(const std::string& sql) {
        return sqlite3_exec(FDb, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    bool HasTable(const std::string& table) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(FDb, "SELECT 1 FROM sqlite_master WHERE type='table' AND name=?1", -1,
                               &stmt, nullptr) != SQLITE_OK)
            return false;
        sqlite3_bind_text(stmt, 1, table.c_str(), -1, SQLITE_TRANSIENT);
        const bool found = sqlite3_step(stmt) == SQLITE_ROW;
        sqlite3_finalize(stmt);
        return found;
    }

private:
    sqlite3* FDb = nullptr;
};

// The rows of the history that go; each runs only when its tables are there.
bool Prune(TDatabase& db) {
    if (!db.HasTable("moz_places"))
        return false;
    const bool bookmarks = db.HasTable("moz_bookmarks");
    const bool keywords = db.HasTable("moz_keywords");
    std::string kept = "SELECT -1";
    if (bookmarks)
        kept += " UNION SELECT fk FROM moz_bookmarks WHERE fk IS NOT NULL";
    if (keywords)
        kept += " UNION SELECT place_id FROM moz_keywords WHERE place_id IS NOT NULL";
    for (const char* table : {"moz_historyvisits", "moz_inputhistory"})
        if (db.HasTable(table) && !db.Exec(std::string("DELETE FROM ") + table))
            return false;
    if (!db.Exec("DELETE FROM moz_places WHERE id NOT IN (" + kept + ")"))
        return false;
    if (db.HasTable("moz_annos") && !db.Exec("DELETE FROM moz_annos WHERE place_id NOT IN (SELECT id FROM moz_places)"))
        return false;
    // What stays is a bookmark, not a visit: forget when and how often it was visited.
    db.Exec("UPDATE moz_places SET visit_count = 0, last_visit_date = NULL");
    return true;
}

} // namespace

bool PruneBrowserHistory(const fs::path& database) {
    TDatabase db(database);
    if (!db.Open() || !db.Exec("BEGIN IMMEDIATE"))
        return false;
    if (!Prune(db)) {
        db.Exec("ROLLBACK");
        return false;
    }
    if (!db.Exec("COMMIT")) {
        db.Exec("ROLLBACK");
        return false;
    }
    // Deleted rows linger in free pages until the file is rewritten.
    db.Exec("VACUUM");
    return true;
}

} // namespace Platform
