// A job's level-1 information read through a printer handle, in a heap block of its own.
#pragma once

#include "platform.h"
#include "platform_owners.h"

namespace lmon {

// The job's JOB_INFO_1W (with the strings it points to); empty when it cannot be read.
velt::HeapPtr<JOB_INFO_1W> ReadJobInfo(HANDLE printer, DWORD jobId);

// Whether the job is being deleted or was deleted; false when it cannot be read.
bool JobIsCancelled(HANDLE printer, DWORD jobId);

} // namespace lmon
