// Internal to the host: the persistent store of the registry and the spooler, one SQLite database
// in the host's home folder or in memory for tests. Every statement runs in its own transaction
// unless a Transaction groups several, so an interrupted write never leaves a half-written value.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "kernel/internal.h"

struct sqlite3;
struct sqlite3_stmt;

namespace host {

// The platform's code for an SQLite result: ERROR_DISK_FULL, ERROR_WRITE_PROTECT, ERROR_ACCESS_DENIED,
// ERROR_FILE_CORRUPT, ERROR_BUSY, ERROR_WRITE_FAULT, and ERROR_CANTWRITE for any other failure.
DWORD PlatformCodeForStore(int sqliteResult);

// A failed statement or an unopenable store: entry points answer the platform's code for its cause.
struct StoreError : PlatformError {
    explicit StoreError(const std::string& what) : PlatformError(ERROR_CANTWRITE, what) {}
    StoreError(int sqliteResult, const std::string& what)
        : PlatformError(PlatformCodeForStore(sqliteResult), what), result(sqliteResult) {}
    int result = 0; // the SQLite result code, 0 when the failure is not SQLite's
};

// Fault injection: the Nth statement step from now fails with this SQLite result (0 disarms).
void ArmStoreFault(unsigned nth, int sqliteResult);

// Held around every use of the store; recursive, so an operation may call helpers that lock too.
std::recursive_mutex& StoreLock();

// The open database (lock held); opens the persistent store in the home folder on first use.
sqlite3* StoreDatabase();
// Lock held. Opens the store in a folder (created if missing), or a fresh one in memory.
void OpenPersistentStore(const std::string& folder);
void OpenTemporaryStore();
// Lock held: rows changed by the most recent statement.
int ChangedRows();

class Statement {
public:
    explicit Statement(const char* sql); // lock held
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int index, int64_t value);
    Statement& Bind(int index, std::u16string_view text);
    Statement& BindBlob(int index, const void* data, size_t size);
    bool Step(); // true while rows come; throws StoreError on failure
    void Run();  // steps to the end

    int64_t Int(int column);
    std::u16string Text(int column);
    std::vector<uint8_t> Blob(int column);

private:
    sqlite3_stmt* statement_ = nullptr;
    bool stepped_ = false; // a step has run since the statement was prepared
};

// BEGIN IMMEDIATE ... COMMIT; rolled back unless Commit() was reached.
class Transaction {
public:
    Transaction();
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();

private:
    bool done_ = false;
};

} // namespace host
