#include "platform/linux/TLinuxPrivacyRoutines.h"

#include <string>

#include <sqlite3.h>

namespace Platform {

namespace {

bool HasTable(sqlite3* db, const char* name) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?", -1, &st,
                           nullptr) != SQLITE_OK)
        return false;
    sqlite3_bind_text(st, 1, name, -1, SQLITE_STATIC);
    const bool found = sqlite3_step(st) == SQLITE_ROW;
    sqlite3_finalize(st);
    return found;
}

} // namespace

bool PruneFirefoxHistory(const std::filesystem::path& places) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(places.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    sqlite3_busy_timeout(db, 2000);
    if (!HasTable(db, "moz_places") || !HasTable(db, "moz_historyvisits") || !HasTable(db, "moz_bookmarks")) {
        sqlite3_close(db);
        return false;
    }
    std::string script = "BEGIN IMMEDIATE;"
                         "DELETE FROM moz_historyvisits;"
                         "DELETE FROM moz_places WHERE id NOT IN "
                         "(SELECT fk FROM moz_bookmarks WHERE fk IS NOT NULL)";
    if (HasTable(db, "moz_keywords"))
        script += " AND id NOT IN (SELECT place_id FROM moz_keywords WHERE place_id IS NOT NULL)";
    script += ";UPDATE moz_places SET visit_count = 0, last_visit_date = NULL;";
    if (HasTable(db, "moz_inputhistory"))
        script += "DELETE FROM moz_inputhistory;";
    script += "COMMIT;";
    // One transaction: a database the browser holds locked stays exactly as it was.
    const bool ok = sqlite3_exec(db, script.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok)
        sqlite3_exec(db, "ROLLBACK;", nullptr, nullptr, nullptr);
    else // deleted rows linger in the file's free pages until it is rewritten
        sqlite3_exec(db, "VACUUM;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return ok;
}

} // namespace Platform
