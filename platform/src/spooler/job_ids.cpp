// Job ids: one counter in the store, so that every process that shares the store (two velt commands
// printing at once) gives its jobs ids no other job has, and each job's files keep apart.
#include "spooler/internal.h"
#include "store/internal.h"

namespace host {

DWORD NextJobId() {
    Transaction transaction; // BEGIN IMMEDIATE: one process at a time takes the next number
    Statement("INSERT OR IGNORE INTO counters(name, value) VALUES('job_id', 0)").Run();
    Statement("UPDATE counters SET value = CASE WHEN value >= 4294967295 THEN 1 ELSE value + 1 END "
              "WHERE name = 'job_id'")
        .Run();
    Statement read("SELECT value FROM counters WHERE name = 'job_id'");
    read.Step();
    const auto id = static_cast<DWORD>(read.Int(0));
    transaction.Commit();
    return id;
}

} // namespace host
