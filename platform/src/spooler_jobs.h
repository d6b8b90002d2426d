// The spooler's jobs as the other spooler parts see them.
#pragma once

#include <cstdint>

#include "printer_handle.h"

namespace host {

// A handle closed with its document still open: the document ends as with EndDocPrinter.
void EndHandleDocument(PrinterHandle& handle);
// The printer is gone: its queued jobs go with it.
void ForgetPrinterJobs(int64_t printerId);
// A new store: no jobs, no job ids used.
void ResetJobs();

} // namespace host
