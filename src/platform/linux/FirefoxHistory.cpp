#include "platform/linux/TLinuxPrivacyRoutines.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include <sqlite3.h>
#include <sys/stat.h>

// Firefox keeps its history in places.sqlite and the icons of the pages it has seen in
// favicons.sqlite beside it. Clearing the history forgets every visited page that no
// bookmark or keyword needs, and with it everything that names such a page or its site:
// visits, typed input, page annotations (downloads), interaction metadata and search terms,
// origins and hosts, icons. Bookmarks, keywords, tags and their places stay untouched.
// Every table is looked up first: older profiles lack some tables and columns.

namespace Platform {

namespace {

using TDb = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;

// How long a database another program holds locked is waited for.
constexpr int BusyMilliseconds = 1000;

// Tables of which every row is a trace of browsing, besides the visits themselves. The
// later names belong to older profiles.
const char* const HistoryOnlyTables[] = {
    "moz_historyvisits_extra",
    "moz_inputhistory",
    "moz_annos",
    "moz_places_metadata",
    "moz_places_metadata_search_queries",
    "moz_places_extra",
    "moz_places_metadata_groups_to_snapshots",
    "moz_places_metadata_snapshots_groups",
    "moz_places_metadata_snapshots_extra",
    "moz_places_metadata_snapshots",
    "moz_session_to_places",
    "moz_session_metadata",
};

std::string Quoted(const std::string& name) {
    std::string q = "\"";
    for (char c : name)
        q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

bool IsRegularFile(const std::filesystem::path& path) {
    struct stat st {};
    // A FIFO or device under the database's name would block the first read for ever.
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Opens an existing database for writing; never creates one.
TDb Open(const std::filesystem::path& path) {
    sqlite3* raw = nullptr;
    const bool opened =
        IsRegularFile(path) &&
        sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
    TDb db(raw, &sqlite3_close);
    if (!opened)
        return TDb(nullptr, &sqlite3_close);
    sqlite3_busy_timeout(db.get(), BusyMilliseconds);
    return db;
}

int Exec(sqlite3* db, const std::string& sql) {
    return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
}

// The first column of every row of a query; empty when it fails.
std::vector<std::string> Column(sqlite3* db, const std::string& sql) {
    std::vector<std::string> values;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK)
        while (sqlite3_step(st) == SQLITE_ROW)
            if (const unsigned char* text = sqlite3_column_text(st, 0))
                values.emplace_back(reinterpret_cast<const char*>(text));
    sqlite3_finalize(st);
    return values;
}

bool HasTable(sqlite3* db, const std::string& name) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?", -1,
                           &st, nullptr) != SQLITE_OK)
        return false;
    sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    const bool found = sqlite3_step(st) == SQLITE_ROW;
    sqlite3_finalize(st);
    return found;
}

bool HasColumn(sqlite3* db, const std::string& table, const std::string& column) {
    const auto names = Column(db, "SELECT name FROM pragma_table_info(" + Quoted(table) + ")");
    return std::find(names.begin(), names.end(), column) != names.end();
}

// The site a URL or host names, as a bare lower-case host: no scheme, user, port or
// leading "www.", so that "https://www.Example.org:8080/a" and "example.org" agree.
std::string SiteOf(std::string text) {
    if (const size_t scheme = text.find("://"); scheme != std::string::npos)
        text.erase(0, scheme + 3);
    text = text.substr(0, text.find_first_of("/?#"));
    if (const size_t at = text.rfind('@'); at != std::string::npos)
        text.erase(0, at + 1);
    if (const size_t colon = text.rfind(':');
        colon != std::string::npos && text.find(']', colon) == std::string::npos)
        text.erase(colon);
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return text.rfind("www.", 0) == 0 ? text.substr(4) : text;
}

void SiteFunction(sqlite3_context* context, int, sqlite3_value** args) {
    const unsigned char* text = sqlite3_value_text(args[0]);
    if (!text) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_text(context, SiteOf(reinterpret_cast<const char*>(text)).c_str(), -1,
                        SQLITE_TRANSIENT);
}

void AddSiteFunction(sqlite3* db) {
    sqlite3_create_function(db, "morvane_site", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                            &SiteFunction, nullptr, nullptr);
}

// Runs the statements as one transaction. A statement the schema does not fit (an older
// profile's table of another shape) is undone alone and passed over; anything else (a
// lock, a corrupt page, a full disk) undoes the whole transaction.
bool RunTransaction(sqlite3* db, const std::vector<std::string>& required,
                    const std::vector<std::string>& optional) {
    if (Exec(db, "BEGIN IMMEDIATE") != SQLITE_OK)
        return false;
    bool ok = true;
    for (const std::string& sql : required)
        ok = ok && Exec(db, sql) == SQLITE_OK;
    for (size_t i = 0; ok && i < optional.size(); ++i) {
        Exec(db, "SAVEPOINT step");
        const int rc = Exec(db, optional[i]);
        if (rc != SQLITE_OK)
            Exec(db, "ROLLBACK TO step");
        Exec(db, "RELEASE step");
        ok = rc == SQLITE_OK || rc == SQLITE_ERROR;
    }
    ok = ok && Exec(db, "COMMIT") == SQLITE_OK;
    if (!ok)
        Exec(db, "ROLLBACK");
    return ok;
}

// Forgotten rows linger in free pages and in the write-ahead log until the file is
// rewritten: rewrite it and empty the log.
void Compact(sqlite3* db) {
    Exec(db, "VACUUM");
    Exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
}

std::vector<std::string> PlacesStatements(sqlite3* db, std::vector<std::string>& optional) {
    std::string kept = "SELECT fk FROM moz_bookmarks WHERE fk IS NOT NULL";
    // Older profiles tie keywords to bookmarks (moz_bookmarks.keyword_id) instead.
    if (HasTable(db, "moz_keywords") && HasColumn(db, "moz_keywords", "place_id"))
        kept += " UNION SELECT place_id FROM moz_keywords WHERE place_id IS NOT NULL";
    std::string reset = "UPDATE moz_places SET visit_count = 0, last_visit_date = NULL";
    if (HasColumn(db, "moz_places", "typed"))
        reset += ", typed = 0";
    // The ranking of the places left is worked out afresh from their bookmarks alone.
    if (HasColumn(db, "moz_places", "recalc_frecency"))
        reset += ", recalc_frecency = 1";
    else if (HasColumn(db, "moz_places", "frecency"))
        reset += ", frecency = -1";
    if (HasColumn(db, "moz_places", "alt_frecency"))
        reset += ", alt_frecency = NULL";
    if (HasColumn(db, "moz_places", "recalc_alt_frecency"))
        reset += ", recalc_alt_frecency = 1";
    const std::vector<std::string> required = {
        "DELETE FROM moz_historyvisits", "DELETE FROM moz_places WHERE id NOT IN (" + kept + ")",
        reset};

    for (const char* table : HistoryOnlyTables)
        if (HasTable(db, table))
            optional.push_back("DELETE FROM " + Quoted(table));
    // Whatever else points at a forgotten place goes with it, in tables of any version.
    const auto refs = Column(
        db, "SELECT m.name || char(9) || p.name FROM sqlite_master m, pragma_table_info(m.name) p"
            " WHERE m.type = 'table' AND m.name <> 'moz_places'"
            " AND p.name IN ('place_id', 'referrer_place_id')");
    for (const std::string& ref : refs) {
        const size_t tab = ref.find('\t');
        optional.push_back("DELETE FROM " + Quoted(ref.substr(0, tab)) + " WHERE " +
                           Quoted(ref.substr(tab + 1)) + " NOT IN (SELECT id FROM moz_places)");
    }
    if (HasTable(db, "moz_origins") && HasColumn(db, "moz_places", "origin_id")) {
        optional.push_back("DELETE FROM moz_origins WHERE id NOT IN"
                           " (SELECT origin_id FROM moz_places WHERE origin_id IS NOT NULL)");
        if (HasColumn(db, "moz_origins", "recalc_frecency"))
            optional.push_back("UPDATE moz_origins SET recalc_frecency = 1");
    }
    if (HasTable(db, "moz_hosts"))
        optional.push_back("DELETE FROM moz_hosts WHERE morvane_site(host) NOT IN"
                           " (SELECT morvane_site(url) FROM moz_places WHERE url IS NOT NULL)");
    if (HasTable(db, "moz_favicons") && HasColumn(db, "moz_places", "favicon_id"))
        optional.push_back("DELETE FROM moz_favicons WHERE id NOT IN"
                           " (SELECT favicon_id FROM moz_places WHERE favicon_id IS NOT NULL)");
    if (HasTable(db, "moz_anno_attributes"))
        optional.push_back(
            HasTable(db, "moz_items_annos")
                ? "DELETE FROM moz_anno_attributes WHERE id NOT IN (SELECT anno_attribute_id FROM"
                  " moz_items_annos WHERE anno_attribute_id IS NOT NULL)"
                : "DELETE FROM moz_anno_attributes");
    return required;
}

// The icons database keeps the address of every page it has an icon for: only the pages
// still in places.sqlite keep theirs, and a site's root icon stays while a kept page is on
// that site.
void PruneFavicons(const std::filesystem::path& favicons,
                   const std::vector<std::string>& keptUrls) {
    TDb db = Open(favicons);
    if (!db || !HasTable(db.get(), "moz_pages_w_icons") || !HasTable(db.get(), "moz_icons") ||
        !HasTable(db.get(), "moz_icons_to_pages"))
        return;
    AddSiteFunction(db.get());
    if (Exec(db.get(), "CREATE TEMP TABLE kept_pages (url TEXT PRIMARY KEY) WITHOUT ROWID") !=
        SQLITE_OK)
        return;
    sqlite3_stmt* insert = nullptr;
    if (sqlite3_prepare_v2(db.get(), "INSERT OR IGNORE INTO kept_pages VALUES (?)", -1, &insert,
                           nullptr) != SQLITE_OK)
        return;
    for (const std::string& url : keptUrls) {
        sqlite3_bind_text(insert, 1, url.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    const std::string rootIcon = HasColumn(db.get(), "moz_icons", "root") ? "root = 1" : "0";
    const bool pruned = RunTransaction(
        db.get(),
        {"DELETE FROM moz_pages_w_icons WHERE page_url NOT IN (SELECT url FROM temp.kept_pages)",
         "DELETE FROM moz_icons_to_pages WHERE page_id NOT IN (SELECT id FROM moz_pages_w_icons)",
         "DELETE FROM moz_icons WHERE id NOT IN (SELECT icon_id FROM moz_icons_to_pages) AND NOT "
         "(" +
             rootIcon +
             " AND morvane_site(icon_url) IN (SELECT morvane_site(url) FROM temp.kept_pages))"},
        {});
    Exec(db.get(), "DROP TABLE temp.kept_pages");
    if (pruned)
        Compact(db.get());
}

} // namespace

bool PruneFirefoxHistory(const std::filesystem::path& places) {
    TDb db = Open(places);
    if (!db || !HasTable(db.get(), "moz_places") || !HasTable(db.get(), "moz_historyvisits") ||
        !HasTable(db.get(), "moz_bookmarks"))
        return false;
    AddSiteFunction(db.get());
    // What is deleted is overwritten at once, should the rewrite below not be possible.
    Exec(db.get(), "PRAGMA secure_delete = ON");
    std::vector<std::string> optional;
    const std::vector<std::string> required = PlacesStatements(db.get(), optional);
    if (!RunTransaction(db.get(), required, optional))
        return false; // a browser holding the file, or a broken file: it stays as it was
    Compact(db.get());
    const std::vector<std::string> keptUrls =
        Column(db.get(), "SELECT url FROM moz_places WHERE url IS NOT NULL");
    db.reset();
    PruneFavicons(places.parent_path() / "favicons.sqlite", keptUrls);
    return true;
}

} // namespace Platform
