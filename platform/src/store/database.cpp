#include "store/internal.h"

#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <memory>

#include "host/path_map.h"
#include "host/testing.h"

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
    throw StoreError(db ? sqlite3_extended_errcode(db) : SQLITE_CANTOPEN,
                     std::string(what) + ": " + (db ? sqlite3_errmsg(db) : "no database"));
}

struct StoreFault {
    FaultPoint point;
    std::atomic<int> result{0};
};

StoreFault& InjectedFault() {
    static StoreFault fault;
    return fault;
}

// The injected result of this step, or SQLITE_OK.
int InjectedResult() { return InjectedFault().point.Hit() ? InjectedFault().result.load() : SQLITE_OK; }

// Another process may hold the store's write lock past the busy timeout, and some busy answers come
// at once without the timeout (a store switching to its write-ahead log, or being recovered, while
// another process opens it): more tries, each after a longer pause, before the failure is reported.
constexpr int kBusyRetries = 20;

void PauseBeforeRetry(int attempt) { std::this_thread::sleep_for(std::chrono::milliseconds(5 * (attempt + 1))); }

bool Busy(int rc) { return (rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED; }

void Exec(sqlite3* db, const char* sql) {
    for (int attempt = 0;; ++attempt) {
        char* message = nullptr;
        int rc = InjectedResult();
        if (rc == SQLITE_OK) rc = sqlite3_exec(db, sql, nullptr, nullptr, &message);
        if (rc == SQLITE_OK) return;
        std::string text = message ? message : sqlite3_errstr(rc);
        sqlite3_free(message);
        if (Busy(rc) && attempt < kBusyRetries) {
            PauseBeforeRetry(attempt);
            continue;
        }
        throw StoreError(rc, text);
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

DWORD PlatformCodeForStore(int sqliteResult) {
    switch (sqliteResult & 0xFF) {
    case SQLITE_FULL: return ERROR_DISK_FULL;
    case SQLITE_READONLY: return ERROR_WRITE_PROTECT;
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_CANTOPEN: return ERROR_ACCESS_DENIED;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return ERROR_FILE_CORRUPT;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return ERROR_BUSY;
    case SQLITE_IOERR: return ERROR_WRITE_FAULT;
    default: return ERROR_CANTWRITE;
    }
}

void ArmStoreFault(unsigned nth, int sqliteResult) {
    InjectedFault().result = sqliteResult;
    InjectedFault().point.Arm(nth);
}

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
    ArmStoreFault(0, SQLITE_OK);
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
    for (int attempt = 0;; ++attempt) {
        const int injected = InjectedResult();
        const int rc = injected != SQLITE_OK ? injected : sqlite3_step(statement_);
        const bool first = !stepped_;
        stepped_ = true;
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        // Only a statement that has given no row yet can start again without repeating one.
        if (Busy(rc) && first && attempt < kBusyRetries) {
            if (injected == SQLITE_OK) PauseBeforeRetry(attempt);
            stepped_ = false;
            sqlite3_reset(statement_);
            continue;
        }
        if (injected != SQLITE_OK) throw StoreError(injected, std::string("step: ") + sqlite3_errstr(injected));
        Throw(sqlite3_db_handle(statement_), "step");
    }
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

extern "C" void HostFailStoreStatement(unsigned nth, DWORD fault) {
    host::Guarded([&] {
        int result = SQLITE_OK;
        switch (fault) {
        case HOST_STORE_BUSY: result = SQLITE_BUSY; break;
        case HOST_STORE_FULL: result = SQLITE_FULL; break;
        case HOST_STORE_IOERR: result = SQLITE_IOERR_WRITE; break;
        case HOST_STORE_CORRUPT: result = SQLITE_CORRUPT; break;
        case HOST_STORE_READONLY: result = SQLITE_READONLY; break;
        default: nth = 0;
        }
        host::ArmStoreFault(nth, result);
    });
}
