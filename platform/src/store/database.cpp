#include "store/internal.h"

#include <sqlite3.h>

#include <filesystem>
#include <memory>

#include "host/path_map.h"

namespace host {

namespace {

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS registry_keys(
    path_fold TEXT PRIMARY KEY, path TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS registry_values(
    key_fold TEXT NOT NULL, name_fold TEXT NOT NULL, name TEXT NOT NULL, type INTEGER NOT NULL, data BLOB,
    PRIMARY KEY(key_fold, name_fold));
CREATE TABLE IF NOT EXISTS printers(
    id INTEGER PRIMARY KEY, name_fold TEXT UNIQUE NOT NULL, name TEXT NOT NULL, driver TEXT NOT NULL,
    port TEXT NOT NULL, share_name TEXT, comment TEXT, location TEXT, sep_file TEXT, print_processor TEXT,
    datatype TEXT, parameters TEXT, attributes INTEGER NOT NULL, priority INTEGER NOT NULL,
    default_priority INTEGER NOT NULL, start_time INTEGER NOT NULL, until_time INTEGER NOT NULL,
    status INTEGER NOT NULL, devmode BLOB);
CREATE TABLE IF NOT EXISTS printer_data(
    printer_id INTEGER NOT NULL, name_fold TEXT NOT NULL, name TEXT NOT NULL, type INTEGER NOT NULL, data BLOB,
    PRIMARY KEY(printer_id, name_fold));
CREATE TABLE IF NOT EXISTS counters(
    name TEXT PRIMARY KEY, value INTEGER NOT NULL);
)sql";

struct CloseDatabase {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};

std::unique_ptr<sqlite3, CloseDatabase>& Database() {
    static auto* db = new std::unique_ptr<sqlite3, CloseDatabase>;
    return *db;
}

[[noreturn]] void Throw(sqlite3* db, const char* what) {
    throw StoreError(std::string(what) + ": " + (db ? sqlite3_errmsg(db) : "no database"));
}

void Exec(sqlite3* db, const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = message ? message : "unknown";
        sqlite3_free(message);
        throw StoreError(text);
    }
}

void Open(const std::string& file) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(file.c_str(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
    std::unique_ptr<sqlite3, CloseDatabase> db(raw);
    if (rc != SQLITE_OK) Throw(raw, "cannot open the store");
    sqlite3_busy_timeout(raw, 5000); // other processes (the velt command) may be writing
    if (file != ":memory:") Exec(raw, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;");
    Exec(raw, kSchema);
    Database() = std::move(db);
}

} // namespace

std::recursive_mutex& StoreLock() {
    static auto* lock = new std::recursive_mutex;
    return *lock;
}

sqlite3* StoreDatabase() {
    if (!Database()) OpenPersistentStore(HostHomeFolder());
    return Database().get();
}

void OpenPersistentStore(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) throw StoreError("cannot create the store folder " + folder);
    Database().reset();
    Open(folder + "/store.sqlite3");
}

void OpenTemporaryStore() {
    Database().reset();
    Open(":memory:");
}

int ChangedRows() { return sqlite3_changes(StoreDatabase()); }

Statement::Statement(const char* sql) {
    sqlite3* db = StoreDatabase();
    if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK) Throw(db, "bad statement");
}

Statement::~Statement() { sqlite3_finalize(statement_); }

Statement& Statement::Bind(int index, int64_t value) {
    if (sqlite3_bind_int64(statement_, index, value) != SQLITE_OK) Throw(sqlite3_db_handle(statement_), "bind");
    return *this;
}

Statement& Statement::Bind(int index, std::u16string_view text) {
    if (sqlite3_bind_text16(statement_, index, text.data() ? text.data() : u"", static_cast<int>(text.size() * 2),
                            SQLITE_TRANSIENT) != SQLITE_OK)
        Throw(sqlite3_db_handle(statement_), "bind");
    return *this;
}

Statement& Statement::BindBlob(int index, const void* data, size_t size) {
    static const char empty = 0; // a zero-length blob, not NULL
    if (sqlite3_bind_blob64(statement_, index, size ? data : &empty, size, SQLITE_TRANSIENT) != SQLITE_OK)
        Throw(sqlite3_db_handle(statement_), "bind");
    return *this;
}

bool Statement::Step() {
    const int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    Throw(sqlite3_db_handle(statement_), "step");
}

void Statement::Run() {
    while (Step()) {
    }
}

int64_t Statement::Int(int column) { return sqlite3_column_int64(statement_, column); }

std::u16string Statement::Text(int column) {
    const auto* text = static_cast<const char16_t*>(sqlite3_column_text16(statement_, column));
    if (!text) return {};
    return std::u16string(text, static_cast<size_t>(sqlite3_column_bytes16(statement_, column)) / 2);
}

std::vector<uint8_t> Statement::Blob(int column) {
    const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(statement_, column));
    const int size = sqlite3_column_bytes(statement_, column);
    if (!data || size <= 0) return {};
    return std::vector<uint8_t>(data, data + size);
}

Transaction::Transaction() { Exec(StoreDatabase(), "BEGIN IMMEDIATE"); }

Transaction::~Transaction() {
    if (!done_) sqlite3_exec(StoreDatabase(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::Commit() {
    Exec(StoreDatabase(), "COMMIT");
    done_ = true;
}

} // namespace host
