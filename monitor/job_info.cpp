// Reading a job's level-1 information.
#include "job_info.h"

namespace lmon {

velt::HeapPtr<JOB_INFO_1W> ReadJobInfo(HANDLE printer, DWORD jobId) {
    DWORD needed = 0;
    GetJobW(printer, jobId, 1, nullptr, 0, &needed);
    if (needed < sizeof(JOB_INFO_1W)) {
        return {};
    }
    auto info = velt::HeapAllocate<JOB_INFO_1W>(HEAP_ZERO_MEMORY, needed);
    if (!info || !GetJobW(printer, jobId, 1, reinterpret_cast<LPBYTE>(info.get()), needed, &needed)) {
        return {};
    }
    return info;
}

bool JobIsCancelled(HANDLE printer, DWORD jobId) {
    const auto info = ReadJobInfo(printer, jobId);
    return info && (info->Status & (JOB_STATUS_DELETED | JOB_STATUS_DELETING)) != 0;
}

} // namespace lmon
